#include "qzStringTokenizer.h"

#include <gtest/gtest.h>

#include <climits>
#include <string>
#include <vector>

namespace {

using namespace std::string_literals;
using TTokens = std::vector<std::string>;

struct TSplitCase {
    const char* Name;
    std::string Source;
    std::string Delimiters;
    std::string Quotes;
    bool ReturnDelimiters;
    bool KeepQuotes;
    TTokens Expected;
};

void ExpectSplits(const TSplitCase& c) {
    SCOPED_TRACE(c.Name);
    const TStringTokenizer tokenizer(c.Source, c.Delimiters, c.Quotes, c.ReturnDelimiters,
                                     c.KeepQuotes);
    EXPECT_EQ(tokenizer.Tokens(), c.Expected);
    ASSERT_EQ(tokenizer.Count(), static_cast<int>(c.Expected.size()));
    for (int i = 0; i < tokenizer.Count(); ++i)
        EXPECT_EQ(tokenizer.Token(i), c.Expected[static_cast<size_t>(i)]) << "index " << i;
}

TEST(TStringTokenizerSplit, DelimitersAndTheirRuns) {
    const TSplitCase cases[] = {
        {"run of delimiters gives no empty token", "a,,b", ",", "", false, false, {"a", "b"}},
        {"returned delimiters keep their order",
         "a,,b",
         ",",
         "",
         true,
         false,
         {"a", ",", ",", "b"}},
        {"leading and trailing delimiters", ",a,", ",", "", false, false, {"a"}},
        {"leading and trailing delimiters returned", ",a,", ",", "", true, false, {",", "a", ","}},
        {"only delimiters", ",,,", ",", "", false, false, {}},
        {"only delimiters returned", ",,,", ",", "", true, false, {",", ",", ","}},
        {"empty source", "", ",", "\"", true, true, {}},
        {"several delimiter characters",
         "a b\tc\r\nd",
         " \t\r\n",
         "",
         false,
         false,
         {"a", "b", "c", "d"}},
        {"each returned delimiter is its own token",
         "x=1 y",
         "= ",
         "",
         true,
         false,
         {"x", "=", "1", " ", "y"}},
        {"no delimiters at all", "a b,c", "", "", true, false, {"a b,c"}},
        {"NUL is an ordinary character", "a\0b,c"s, ",", "", false, false, {"a\0b"s, "c"}},
        {"NUL as a delimiter", "a\0b"s, "\0"s, "", true, false, {"a", "\0"s, "b"}},
        {"byte above 127 as a delimiter",
         "a\xe9"
         "b\xff",
         "\xe9",
         "",
         false,
         false,
         {"a", "b\xff"}},
    };
    for (const TSplitCase& c : cases)
        ExpectSplits(c);
}

TEST(TStringTokenizerSplit, Quotes) {
    const TSplitCase cases[] = {
        {"quoted blank kept with quotes",
         "x \"a b\" y",
         " ",
         "\"",
         false,
         true,
         {"x", "\"a b\"", "y"}},
        {"quoted blank kept without quotes",
         "x \"a b\" y",
         " ",
         "\"",
         false,
         false,
         {"x", "a b", "y"}},
        {"quote inside a token", "ab\"c d\"e f", " ", "\"", false, true, {"ab\"c d\"e", "f"}},
        {"quoted delimiter is not returned",
         "\"a,b\",c",
         ",",
         "\"",
         true,
         true,
         {"\"a,b\"", ",", "c"}},
        {"unclosed quote runs to the end",
         "a \"b c, d",
         " ,",
         "\"",
         false,
         true,
         {"a", "\"b c, d"}},
        {"unclosed quote without quotes kept", "a \"b c", " ", "\"", false, false, {"a", "b c"}},
        {"other quote inside an open one dropped",
         "x 'it\"s' y",
         " ",
         "\"'",
         false,
         true,
         {"x", "'its'", "y"}},
        {"other quote dropped without quotes kept",
         "x 'it\"s' y",
         " ",
         "\"'",
         false,
         false,
         {"x", "its", "y"}},
        {"other quote does not close", "'a\" b' c", " ", "\"'", false, true, {"'a b'", "c"}},
        {"second quote kind usable after the first closes",
         "'a'\"b c\"",
         " ",
         "\"'",
         false,
         true,
         {"'a'\"b c\""}},
        {"quote that is also a delimiter is never one",
         "a\"b c\"d",
         " \"",
         "\"",
         false,
         true,
         {"a\"b c\"d"}},
        {"quote that is also a delimiter is never returned",
         "a\"b\" c",
         " \"",
         "\"",
         true,
         true,
         {"a\"b\"", " ", "c"}},
        {"empty quotes without quotes kept give nothing",
         "a \"\" b",
         " ",
         "\"",
         false,
         false,
         {"a", "b"}},
        {"empty quotes alone give nothing", "\"\"", " ", "\"", true, false, {}},
        {"empty quotes with quotes kept", "a \"\" b", " ", "\"", false, true, {"a", "\"\"", "b"}},
        {"empty quotes inside a token vanish", "a\"\"b c", " ", "\"", false, false, {"ab", "c"}},
        {"no quote characters", "\"a b\"", " ", "", false, true, {"\"a", "b\""}},
    };
    for (const TSplitCase& c : cases)
        ExpectSplits(c);
}

TEST(TStringTokenizer, KeepsItsArguments) {
    const TStringTokenizer tokenizer("a;b", ";", "'", true, false);
    EXPECT_EQ(tokenizer.Source, "a;b");
    EXPECT_EQ(tokenizer.Delimiters, ";");
    EXPECT_EQ(tokenizer.Quotes, "'");
    EXPECT_TRUE(tokenizer.ReturnDelimiters);
    EXPECT_FALSE(tokenizer.KeepQuotes);
}

TEST(TStringTokenizer, ShortFormQuotesBothKindsKeepsThemAndDropsDelimiters) {
    const TStringTokenizer tokenizer("a 'b c' \"d e\" 'f\"g'", " ");
    EXPECT_EQ(tokenizer.Quotes, "\"'");
    EXPECT_FALSE(tokenizer.ReturnDelimiters);
    EXPECT_TRUE(tokenizer.KeepQuotes);
    EXPECT_EQ(tokenizer.Tokens(), (TTokens{"a", "'b c'", "\"d e\"", "'fg'"}));
}

TEST(TStringTokenizer, TokenOutsideTheListIsEmpty) {
    const TStringTokenizer tokenizer("a b", " ");
    ASSERT_EQ(tokenizer.Count(), 2);
    EXPECT_EQ(tokenizer.Token(0), "a");
    EXPECT_EQ(tokenizer.Token(1), "b");
    for (const int index : {-1, 2, 3, INT_MIN, INT_MAX}) {
        SCOPED_TRACE(index);
        EXPECT_EQ(tokenizer.Token(index), "");
    }
    const TStringTokenizer empty("", " ");
    EXPECT_EQ(empty.Count(), 0);
    EXPECT_EQ(empty.Token(0), "");
}

} // namespace
