#include "driver/command_file.h"

#include <gtest/gtest.h>

#include <vector>

#include "support/temp_dir.h"

using namespace tarvik;
using testsupport::TempDir;

TEST(ReadInteger, WholeDecimalIntegersWithBlanksAndSign) {
    struct Case {
        std::string text;
        std::optional<int> expected;
    };
    const Case cases[] = {
        {"0", 0},
        {"500", 500},
        {"  42", 42},
        {"+7", 7},
        {"-250", -250},
        {" -1", -1},
        {"2147483647", 2147483647},
        {"-2147483648", -2147483647 - 1},
        {"2147483648", std::nullopt},
        {"99999999999999999999", std::nullopt},
        {"", std::nullopt},
        {" ", std::nullopt},
        {"-", std::nullopt},
        {"12 ", std::nullopt},
        {"1a", std::nullopt},
        {"0x10", std::nullopt},
        {"$10", std::nullopt},
        {"- 1", std::nullopt},
        {"1.5", std::nullopt},
    };
    for (const Case& c : cases) EXPECT_EQ(readInteger(c.text), c.expected) << "'" << c.text << "'";
    EXPECT_EQ(integerValue("abc"), 0);
    EXPECT_EQ(integerValue("abc", 1), 1);
}

TEST(SplitCommandLine, FirstEqualsSignSplitsAndKeywordIsUpperCased) {
    struct Case {
        std::string line, keyword, value;
        bool damaged;
    };
    const Case cases[] = {
        {"PORT=3", "PORT", "3", false},
        {"port=3", "PORT", "3", false},
        {" PORT=3", " PORT", "3", false},
        {"COMMAND=LI=x = y ", "COMMAND", "LI=x = y ", false},
        {"FILE=", "FILE", "", false},
        {"FOO", "FOO", "", false},
        {"=x", "", "x", false},
        {"\xe4kw=\xe4", "\xe4KW", "\xe4", false},  // only ASCII letters change case
        {std::string("FILE=a\0b", 8), "FILE", "a", true},
        {std::string("\0PORT=1", 7), "", "", true},
    };
    for (const Case& c : cases) {
        CommandLine l = splitCommandLine(c.line);
        EXPECT_EQ(l.keyword, c.keyword) << c.line;
        EXPECT_EQ(l.value, c.value) << c.line;
        EXPECT_EQ(l.damaged, c.damaged) << c.line;
    }
}

namespace {

std::vector<CommandLine> readAll(const std::string& contents) {
    TempDir dir;
    dir.write("cmd", contents);
    plat::File f;
    EXPECT_TRUE(f.open(dir.file("cmd"), plat::File::Mode::Read));
    CommandFileReader reader;
    reader.attach(&f);
    std::vector<CommandLine> out;
    CommandLine l;
    while (reader.next(l)) out.push_back(l);
    // At the end the reader leaves the last line as it was.
    if (!out.empty()) {
        EXPECT_EQ(l.keyword, out.back().keyword);
        EXPECT_EQ(l.value, out.back().value);
    }
    return out;
}

std::string joined(const std::vector<CommandLine>& lines) {
    std::string s;
    for (const CommandLine& l : lines) s += "[" + l.keyword + "|" + l.value + "]";
    return s;
}

}  // namespace

TEST(CommandFileReader, LinesCommentsCarriageReturnsAndTheLastLine) {
    struct Case {
        std::string contents, expected;
    };
    const Case cases[] = {
        {"", ""},
        {"\n\r\n\n", ""},
        {"A=1\nB=2", "[A|1][B|2]"},
        {"A=1\r\nB=2\r\n", "[A|1][B|2]"},
        {"A=\r1\r\r\n", "[A|1]"},  // carriage returns dropped anywhere
        {"\rA=1\n", "[A|1]"},
        {";comment\n;X=1\nA=1\n ;not a comment\n", "[A|1][ ;NOT A COMMENT|]"},
        {"\n\nWAIT=5\n\n", "[WAIT|5]"},
        {"\r", ""},  // nothing but a dropped CR is an empty line
        {"x=\xff\x01\x7f\n", std::string("[X|\xff\x01\x7f]")},
    };
    for (const Case& c : cases) EXPECT_EQ(joined(readAll(c.contents)), c.expected) << c.contents;
}

TEST(CommandFileReader, LongLinesKeep1055CharactersAndTheNextLineIsIntact) {
    std::string exact = "V=" + std::string(1053, 'a');              // 1055 characters
    std::string longer = "V=" + std::string(5000, 'b');             // far beyond the buffer
    std::string crs = "V=" + std::string(1053, 'c') + "\r\r\r\rd";  // CRs do not count
    auto lines = readAll(exact + "\n" + longer + "\r\nNEXT=1\n" + crs + "\n");
    ASSERT_EQ(lines.size(), 4u);
    EXPECT_EQ(lines[0].value, std::string(1053, 'a'));
    EXPECT_EQ(lines[1].value, std::string(1053, 'b'));
    EXPECT_EQ(lines[2].keyword, "NEXT");
    EXPECT_EQ(lines[3].value, std::string(1053, 'c'));
}

TEST(CommandFileReader, NulBytesMarkTheLineDamaged) {
    auto lines = readAll(std::string("A=1\0x\n\0\nB=2\n;c\0\n", 16));
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_TRUE(lines[0].damaged);
    EXPECT_EQ(lines[0].value, "1");
    EXPECT_TRUE(lines[1].damaged);  // a line of one NUL is not an empty line
    EXPECT_FALSE(lines[2].damaged);
    EXPECT_EQ(lines[2].keyword, "B");
}

TEST(LineReader, CutsLinesAtItsLimit) {
    TempDir dir;
    dir.write("f", "12345678\r\n12\n1234");
    plat::File f;
    ASSERT_TRUE(f.open(dir.file("f"), plat::File::Mode::Read));
    LineReader r(4);
    r.attach(&f);
    std::string line;
    std::vector<std::string> got;
    while (r.next(line)) got.push_back(line);
    EXPECT_EQ(got, (std::vector<std::string>{"1234", "12", "1234"}));
}
