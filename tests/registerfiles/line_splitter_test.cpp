#include "interface/registerfiles/line_splitter.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/temp_dir.h"

using regfiles::LineReader;
using regfiles::splitLine;
using regfiles::SplitOptions;
using Fields = std::vector<std::string>;

namespace {

struct SplitCase {
    const char* name;
    std::string piece;
    SplitOptions options;
    Fields expected;
};

const SplitOptions kPlain{';', false, false};
const SplitOptions kPipe{'|', false, false};
const SplitOptions kQuoted{';', true, false};
const SplitOptions kUmlaut{';', true, true};

std::string s49(char c) {
    return std::string(49, c);
}

class SplitTest : public ::testing::TestWithParam<SplitCase> {};

TEST_P(SplitTest, Fields) {
    const SplitCase& c = GetParam();
    EXPECT_EQ(splitLine(c.piece, c.options), c.expected) << c.name;
}

INSTANTIATE_TEST_SUITE_P(
    Variants, SplitTest,
    ::testing::Values(
        SplitCase{"empty piece has no fields", "", kPlain, {}},
        SplitCase{"one field", "abc", kPlain, {"abc"}},
        SplitCase{"empty field between separators", "a;;b", kPlain, {"a", "", "b"}},
        SplitCase{"trailing separator opens no field", "a;b;", kPlain, {"a", "b"}},
        SplitCase{"lone separator is one empty field", ";", kPlain, {""}},
        SplitCase{"leading separator", ";a", kPlain, {"", "a"}},
        SplitCase{"plain keeps quotes and splits inside",
                  "22;\"a;b\";3",
                  kPlain,
                  {"22", "\"a", "b\"", "3"}},
        SplitCase{"blanks belong to fields", " 22 ; 101", kPlain, {" 22 ", " 101"}},
        SplitCase{"lone CR is a character", "a\rb;c", kPlain, {"a\rb", "c"}},
        SplitCase{"pipe separator", "1|101|Meier;Hans|", kPipe, {"1", "101", "Meier;Hans"}},
        SplitCase{"pipe variant leaves ; alone", "a;b", kPipe, {"a;b"}},
        SplitCase{"field of 49 kept", s49('x') + ";y", kPlain, {s49('x'), "y"}},
        SplitCase{"field of 60 cut to 49", std::string(60, 'x') + ";y", kPlain, {s49('x'), "y"}},
        SplitCase{"last field cut to 49", "y;" + std::string(80, 'z'), kPlain, {"y", s49('z')}},
        SplitCase{"quoted keeps separator inside", "\"x;y\";z", kQuoted, {"x;y", "z"}},
        SplitCase{"quoted pair skipped", "\"ab\"\"c\";d", kQuoted, {"abc", "d"}},
        SplitCase{"quoted text after closing quote", "\"ab\"cd;e", kQuoted, {"abcd", "e"}},
        SplitCase{"char after a pair taken whatever it is", "\"a\"\";b\";c", kQuoted, {"a;b", "c"}},
        SplitCase{"char after a pair may be a quote", "\"a\"\"\"b\";c", kQuoted, {"a\"b", "c"}},
        SplitCase{"pair at the end of the piece", "\"a\"\"", kQuoted, {"a"}},
        SplitCase{"unclosed quote runs to the end", "\"a;b", kQuoted, {"a;b"}},
        SplitCase{"empty quoted field", "\"\";x", kQuoted, {"", "x"}},
        SplitCase{"quote inside a field is plain", "ab\"c;d\";e", kQuoted, {"ab\"c", "d\"", "e"}},
        SplitCase{
            "quoted cut to 49", "\"" + std::string(55, 'q') + "\";r", kQuoted, {s49('q'), "r"}},
        SplitCase{"quoted with pipe", "\"a|b\"|c", SplitOptions{'|', true, false}, {"a|b", "c"}},
        SplitCase{"umlaut outside quotes mapped", "\xFC;\"\xFC\"", kUmlaut, {"\x81", "\xFC"}},
        SplitCase{"all umlauts",
                  "\xE4\xC4\xF6\xD6\xFC\xDC\xDF",
                  kUmlaut,
                  {"\x84\x8E\x94\x99\x81\x9A\xE1"}},
        SplitCase{"after closing quote is outside", "\"\xE4\"\xE4", kUmlaut, {"\xE4\x84"}},
        SplitCase{"no mapping without the option", "\xFC", kQuoted, {"\xFC"}},
        SplitCase{
            "no mapping in the plain variant", "\xFC", SplitOptions{';', false, true}, {"\xFC"}}),
    [](const ::testing::TestParamInfo<SplitCase>& p) {
        std::string n;
        for (char ch : std::string(p.param.name))
            n += std::isalnum(static_cast<unsigned char>(ch)) ? ch : '_';
        return n;
    });

struct Piece {
    std::string text;
    bool cut;
    bool startsLine;
    bool operator==(const Piece&) const = default;
};

std::ostream& operator<<(std::ostream& os, const Piece& p) {
    return os << "{\"" << p.text << "\" cut=" << p.cut << " start=" << p.startsLine << "}";
}

std::vector<Piece> readAll(const std::string& bytes) {
    testsupport::TempDir dir;
    dir.write("f.csv", bytes);
    LineReader r;
    EXPECT_TRUE(r.open(dir.file("f.csv")));
    std::vector<Piece> out;
    std::string piece;
    while (r.readLine(piece)) out.push_back({piece, r.lastPieceCut(), r.lastPieceStartsLine()});
    EXPECT_FALSE(r.failed());
    return out;
}

struct ReadCase {
    const char* name;
    std::string bytes;
    std::vector<Piece> expected;
};

class ReaderTest : public ::testing::TestWithParam<ReadCase> {};

TEST_P(ReaderTest, Pieces) {
    const ReadCase& c = GetParam();
    EXPECT_EQ(readAll(c.bytes), c.expected) << c.name;
}

const std::string k149(149, 'a');

INSTANTIATE_TEST_SUITE_P(
    Lines, ReaderTest,
    ::testing::Values(
        ReadCase{"empty file", "", {}},
        ReadCase{"CR LF lines", "a;b\r\nc\r\n", {{"a;b", false, true}, {"c", false, true}}},
        ReadCase{"LF lines", "a\nb\n", {{"a", false, true}, {"b", false, true}}},
        ReadCase{"empty line", "\r\nx\r\n", {{"", false, true}, {"x", false, true}}},
        ReadCase{"lone CR stays", "a\rb\r\n", {{"a\rb", false, true}}},
        ReadCase{"last line without line end keeps its last char",
                 "a\r\n101",
                 {{"a", false, true}, {"101", true, true}}},
        ReadCase{"149 characters and CR LF are one piece",
                 k149 + "\r\nz\r\n",
                 {{k149, false, true}, {"z", false, true}}},
        ReadCase{"149 characters and LF are one piece",
                 k149 + "\nz\n",
                 {{k149, false, true}, {"z", false, true}}},
        ReadCase{"200 characters come as 149 and 51",
                 std::string(149, 'b') + std::string(51, 'c') + "\r\n",
                 {{std::string(149, 'b'), true, true}, {std::string(51, 'c'), false, false}}},
        ReadCase{"300 characters come as 149, 149 and 2",
                 std::string(300, 'd') + "\r\nx\r\n",
                 {{std::string(149, 'd'), true, true},
                  {std::string(149, 'd'), true, false},
                  {"dd", false, false},
                  {"x", false, true}}},
        ReadCase{"CR of a CR LF right after 149 characters", k149 + "\r\n", {{k149, false, true}}},
        ReadCase{"lone CR right after 149 characters starts the next piece",
                 k149 + "\rq\r\n",
                 {{k149, true, true}, {"\rq", false, false}}}));

TEST(LineReader, MissingFileDoesNotOpen) {
    testsupport::TempDir dir;
    LineReader r;
    EXPECT_FALSE(r.open(dir.file("nothing.csv")));
    std::string piece;
    EXPECT_FALSE(r.readLine(piece));
}

TEST(LineReader, NameResolvedIgnoringCase) {
    testsupport::TempDir dir;
    dir.write("VZimmerBericht.csv", "22;101\r\n");
    LineReader r;
    ASSERT_TRUE(r.open(dir.file("VZIMMERBERICHT.CSV")));
    std::string piece;
    ASSERT_TRUE(r.readLine(piece));
    EXPECT_EQ(piece, "22;101");
}

TEST(LineReader, PositionSavedAndRestored) {
    testsupport::TempDir dir;
    // Enough lines that the reader's buffer is refilled between save and restore.
    std::string bytes;
    for (int i = 0; i < 2000; ++i) bytes += "line " + std::to_string(i) + ";x\r\n";
    bytes += std::string(200, 'L') + "\r\n";
    dir.write("f.csv", bytes);

    LineReader r;
    ASSERT_TRUE(r.open(dir.file("f.csv")));
    std::string piece;
    for (int i = 0; i < 3; ++i) ASSERT_TRUE(r.readLine(piece));
    const auto early = r.position();
    ASSERT_TRUE(r.readLine(piece));
    EXPECT_EQ(piece, "line 3;x");
    for (int i = 4; i < 1500; ++i) ASSERT_TRUE(r.readLine(piece));
    ASSERT_TRUE(r.setPosition(early));  // far behind: the file is read again
    ASSERT_TRUE(r.readLine(piece));
    EXPECT_EQ(piece, "line 3;x");
    ASSERT_TRUE(r.readLine(piece));
    const auto near = r.position();
    ASSERT_TRUE(r.readLine(piece));
    EXPECT_EQ(piece, "line 5;x");
    ASSERT_TRUE(r.setPosition(near));  // just behind: still in the buffer
    ASSERT_TRUE(r.readLine(piece));
    EXPECT_EQ(piece, "line 5;x");

    // A position in the middle of a cut line keeps knowing that.
    while (r.readLine(piece) && piece.front() != 'L') {
    }
    EXPECT_TRUE(r.lastPieceCut());
    const auto mid = r.position();
    ASSERT_TRUE(r.readLine(piece));
    EXPECT_FALSE(r.lastPieceStartsLine());
    EXPECT_FALSE(r.readLine(piece));
    ASSERT_TRUE(r.setPosition(mid));
    ASSERT_TRUE(r.readLine(piece));
    EXPECT_EQ(piece, std::string(51, 'L'));
    EXPECT_FALSE(r.lastPieceStartsLine());
    EXPECT_FALSE(r.readLine(piece));
}

}  // namespace
