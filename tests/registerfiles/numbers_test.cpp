#include "interface/registerfiles/numbers.h"

#include <gtest/gtest.h>

#include <climits>
#include <string>

using namespace regfiles;

TEST(Numbers, LeadingLong) {
    const struct {
        const char* text;
        long expected;
    } cases[] = {
        {"5000", 5000},
        {"  42", 42},
        {"-7", -7},
        {"+8", 8},
        {"12ab", 12},
        {"", 0},
        {"abc", 0},
        {" ", 0},
        {"4999 ", 4999},
        {"0900", 900},
        {"- 5", 0},
        {"99999999999999999999999", LONG_MAX},
        {"-99999999999999999999999", LONG_MIN},
    };
    for (const auto& c : cases)
        EXPECT_EQ(readLeadingLong(c.text), c.expected) << '"' << c.text << '"';
}

TEST(Numbers, LeadingDoubleTheCWay) {
    const struct {
        const char* text;
        double expected;
    } cases[] = {
        {"2", 2},    {"1.5", 1.5}, {"1,5", 1},   {" -3.25x", -3.25}, {"", 0},    {"x", 0},
        {".5", 0.5}, {"5.", 5},    {"1e2", 100}, {"1e", 1},          {"inf", 0}, {"nan", 0},
        {"0x10", 0}, {"+4", 4},    {"1e999", 0}, {"  7 ", 7},
    };
    for (const auto& c : cases)
        EXPECT_DOUBLE_EQ(readLeadingDouble(c.text), c.expected) << '"' << c.text << '"';
}

TEST(Numbers, RegionalNumberWholeTextOnly) {
    const struct {
        const char* text;
        char sep;
        bool ok;
        double expected;
    } cases[] = {
        {"1900", ',', true, 1900},   {"5,80", ',', true, 5.8},  {"5.80", ',', false, 0},
        {"5.80", '.', true, 5.8},    {" 700 ", ',', true, 700}, {"-1,5", ',', true, -1.5},
        {"", ',', false, 0},         {"  ", ',', false, 0},     {"19a", ',', false, 0},
        {"1.900,00", ',', false, 0}, {"1e3", ',', true, 1000},  {",5", ',', true, 0.5},
    };
    for (const auto& c : cases) {
        double v = -99;
        EXPECT_EQ(parseRegionalNumber(c.text, c.sep, v), c.ok) << '"' << c.text << '"';
        EXPECT_DOUBLE_EQ(v, c.ok ? c.expected : -99) << '"' << c.text << '"';
    }
}

TEST(Numbers, TwoDecimalsHalvesAwayFromZero) {
    const struct {
        double value;
        char sep;
        const char* expected;
    } cases[] = {
        {19, ',', "19,00"},
        {7, '.', "7.00"},
        {2.9, ',', "2,90"},
        {0.125, ',', "0,13"},
        {-0.125, ',', "-0,13"},
        {1.005, ',', "1,01"},
        {2.675, ',', "2,68"},
        {0, ',', "0,00"},
        {-0.001, ',', "0,00"},
        {0.005, ',', "0,01"},
        {0.0049, ',', "0,00"},
        {9.995, ',', "10,00"},
        {99.999, ',', "100,00"},
        {123456.785, ',', "123456,79"},
        {1e20, '.', "100000000000000000000.00"},
        {static_cast<double>(5.8f / 2.0f), ',', "2,90"},
        {static_cast<double>(10.0f / 3.0f), ',', "3,33"},
    };
    for (const auto& c : cases) EXPECT_EQ(formatTwoDecimals(c.value, c.sep), c.expected) << c.value;
}

TEST(Numbers, ReceiptNumberThreeDigits) {
    EXPECT_EQ(receiptNumberText(1), "001");
    EXPECT_EQ(receiptNumberText(10), "010");
    EXPECT_EQ(receiptNumberText(42), "042");
    EXPECT_EQ(receiptNumberText(100), "100");
    EXPECT_EQ(receiptNumberText(123), "123");
    EXPECT_EQ(receiptNumberText(1000), "1000");
}
