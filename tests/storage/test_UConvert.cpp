#include "UConvert.h"

#include <gtest/gtest.h>

#include <cmath>

TEST(StrictInteger, AcceptsSignedDecimalAndDollarHexWithinRange) {
    const struct {
        const char* text;
        int32_t value;
    } accepted[] = {
        {"0", 0},
        {"-20", -20},
        {"+7", 7},
        {"$10", 16},
        {"$ff", 255},
        {"$FFFFFFFF", -1},
        {"2147483647", 2147483647},
        {"-2147483648", INT32_MIN},
        {"-16777208", -16777208},
        {"0007", 7},
    };
    for (const auto& row : accepted) {
        SCOPED_TRACE(row.text);
        int32_t value = 12345;
        ASSERT_TRUE(TryStrToInt(row.text, value));
        EXPECT_EQ(value, row.value);
    }
}

TEST(StrictInteger, RefusesEverythingElse) {
    const char* refused[] = {"",           "-",   "+",    "10px",       " 10",         "10 ",
                             "$",          "$1G", "0x10", "2147483648", "-2147483649", "1.5",
                             "$100000000", "--1", "-$10", "1e3"};
    for (const char* text : refused) {
        SCOPED_TRACE(text);
        int32_t value = 12345;
        EXPECT_FALSE(TryStrToInt(text, value));
        EXPECT_EQ(value, 12345) << "a refused text leaves the value alone";
    }
    EXPECT_THROW(StrToInt("10px"), EConvertError);
    try {
        StrToInt("10px");
    } catch (const EConvertError& error) {
        EXPECT_NE(std::string(error.what()).find("10px"), std::string::npos)
            << "the message names the bad text";
    }
}

TEST(StrictInteger, SixtyFourBitRange) {
    int64_t value = 0;
    ASSERT_TRUE(TryStrToInt64("4294967297", value));
    EXPECT_EQ(value, 4294967297LL);
    ASSERT_TRUE(TryStrToInt64("-9223372036854775808", value));
    EXPECT_EQ(value, INT64_MIN);
    EXPECT_FALSE(TryStrToInt64("9223372036854775808", value));
    ASSERT_TRUE(TryStrToInt64("$FFFFFFFFFFFFFFFF", value));
    EXPECT_EQ(value, -1);
    EXPECT_FALSE(TryStrToInt64("$10000000000000000", value));
}

TEST(StrictBoolean, NumbersAndWords) {
    const struct {
        const char* text;
        bool value;
    } accepted[] = {{"1", true},      {"-1", true},     {"0", false},
                    {"00", false},    {"TRUE", true},   {"true", true},
                    {"False", false}, {"fALSE", false}, {"$0", false},
                    {"$A", true},     {"2", true},      {"123456789012345678901234567890", true}};
    for (const auto& row : accepted) {
        SCOPED_TRACE(row.text);
        bool value = !row.value;
        ASSERT_TRUE(TryStrToBool(row.text, value));
        EXPECT_EQ(value, row.value);
    }
    for (const char* text : {"", "yes", "no", "T", "1x", " 1", "-", "$"}) {
        SCOPED_TRACE(text);
        bool value = false;
        EXPECT_FALSE(TryStrToBool(text, value));
    }
    EXPECT_THROW(StrToBool("yes"), EConvertError);
}

TEST(Rounding, HalvesGoToTheEvenNeighbour) {
    const struct {
        double in;
        double out;
    } rows[] = {{0.5, 0},   {1.5, 2},   {2.5, 2},    {3.5, 4},    {127.5, 128}, {-0.5, 0},
                {-1.5, -2}, {-2.5, -2}, {2.4999, 2}, {2.5001, 3}, {35.5, 36},   {34.5, 34}};
    for (const auto& row : rows) {
        SCOPED_TRACE(row.in);
        EXPECT_EQ(RoundHalfEven(row.in), row.out);
    }
}

TEST(AsciiCase, OnlyLettersAToZChange) {
    EXPECT_EQ(LowerCaseAscii("ABC xyz 09 \xC3\x84"), "abc xyz 09 \xC3\x84");
    EXPECT_TRUE(SameTextAscii("bPlayWAV1", "bPLayWAV1"));
    EXPECT_FALSE(SameTextAscii("bPlayWAV1", "bPlayWAV2"));
    EXPECT_FALSE(SameTextAscii("abc", "abcd"));
}
