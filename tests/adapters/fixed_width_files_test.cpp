#include "interface/adapters/FixedWidthFiles.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/temp_dir.h"

using fixedwidth::BlockReader;
using fixedwidth::RecordBuilder;

namespace {

std::vector<std::string> blocksOf(const std::string& bytes, std::size_t size) {
    testsupport::TempDir dir;
    dir.write("guests.dat", bytes);
    BlockReader in;
    EXPECT_TRUE(in.open(dir.file("GUESTS.DAT")));  // the name does not depend on case
    std::vector<std::string> blocks;
    std::string block;
    while (in.next(size, block)) blocks.push_back(block);
    EXPECT_FALSE(in.failed());
    return blocks;
}

}  // namespace

TEST(BlockReader, TextModeBlocks) {
    using V = std::vector<std::string>;
    const struct {
        const char* name;
        std::string bytes;
        std::size_t size;
        V blocks;
    } cases[] = {
        {"whole blocks", "abcdef", 3, V{"abc", "def"}},
        {"rest at the end", "abcdefg", 3, V{"abc", "def", "g"}},
        {"CR LF is one character", "ab\r\ncd\r\n", 3, V{"ab\n", "cd\n"}},
        {"lone CR stays", "a\rb\rc", 3, V{"a\rb", "\rc"}},
        {"LF alone", "ab\ncd\n", 3, V{"ab\n", "cd\n"}},
        {"CR before CR LF", "a\r\r\nb", 3, V{"a\r\n", "b"}},
        {"CR LF ends a block", "ab\r\ncd", 3, V{"ab\n", "cd"}},
        {"CR LF starts a block", "abc\r\nd", 3, V{"abc", "\nd"}},
        {"empty file", "", 3, V{}},
    };
    for (const auto& c : cases) EXPECT_EQ(blocksOf(c.bytes, c.size), c.blocks) << c.name;
}

TEST(BlockReader, CrLfAcrossTheReadBuffer) {
    // The CR is the last byte of the first read, the LF the first of the next.
    std::string bytes(4095, 'x');
    bytes += "\r\ny";
    const std::vector<std::string> blocks = blocksOf(bytes, 4097);
    ASSERT_EQ(blocks.size(), 1u);
    EXPECT_EQ(blocks[0], std::string(4095, 'x') + "\ny");
}

TEST(BlockReader, MissingFile) {
    testsupport::TempDir dir;
    BlockReader in;
    EXPECT_FALSE(in.open(dir.file("NONE.DAT")));
    std::string block;
    EXPECT_FALSE(in.next(3, block));
}

TEST(FixedWidth, PositionsReadControlCharactersAsBlanks) {
    const struct {
        const char* block;
        std::size_t from, to;
        const char* text;
    } cases[] = {
        {"abcdef", 2, 4, "bcd"},         {"abcdef", 5, 8, "ef  "}, {"abc", 5, 6, "  "},
        {"a\nb\rc\td", 1, 7, "a b c d"}, {"abc", 0, 2, ""},        {"abc", 3, 2, ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(fixedwidth::positions(c.block, c.from, c.to), c.text) << c.block;
}

TEST(FixedWidth, TrimAndCommaToPoint) {
    EXPECT_EQ(fixedwidth::trimBlanks("  1 01  "), "1 01");
    EXPECT_EQ(fixedwidth::trimBlanks("   "), "");
    EXPECT_EQ(fixedwidth::commaToPoint("1,234,50"), "1.234.50");
}

TEST(FixedWidth, RecordBuilderNeverOverruns) {
    const struct {
        const char* name;
        void (RecordBuilder::*add)(std::string_view, std::size_t);
        const char* text;
        std::size_t width;
        const char* out;
        bool fits;
    } cases[] = {
        {"right", &RecordBuilder::right, "12", 5, "   12", true},
        {"right full", &RecordBuilder::right, "12345", 5, "12345", true},
        {"right too long", &RecordBuilder::right, "123456", 5, "     ", false},
        {"left", &RecordBuilder::left, "12", 5, "12   ", true},
        {"left too long", &RecordBuilder::left, "123456", 5, "     ", false},
        {"left cut", &RecordBuilder::leftCut, "123456", 5, "12345", true},
        {"empty", &RecordBuilder::right, "", 3, "   ", true},
    };
    for (const auto& c : cases) {
        RecordBuilder r;
        r.fixed("<");
        (r.*c.add)(c.text, c.width);
        r.fixed(">");
        EXPECT_EQ(r.text(), std::string("<") + c.out + ">") << c.name;
        EXPECT_EQ(r.fits(), c.fits) << c.name;
    }
}

TEST(FixedWidth, NotFittingLinesMessage) {
    EXPECT_EQ(fixedwidth::notFittingLinesMessage("BOOK.DAT", {3}),
              "VZimmerBericht.csv: 1 Buchungszeile nicht übertragen, Wert zu lang für BOOK.DAT "
              "(Zeile 3)");
    EXPECT_EQ(
        fixedwidth::notFittingLinesMessage("OSUMSATZ.DAT", {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11}),
        "VZimmerBericht.csv: 11 Buchungszeilen nicht übertragen, Wert zu lang für "
        "OSUMSATZ.DAT (Zeile 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, ...)");
}
