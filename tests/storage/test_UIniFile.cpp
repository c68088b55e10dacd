#include "UIniFile.h"

#include <gtest/gtest.h>

#include <string>

namespace {

struct TReadCase {
    const char* Name;
    std::string File;
    const char* Section;
    const char* Key;
    std::string Expected;
};

TEST(TIniFileRead, FollowsTheProfileFileRules) {
    using namespace std::string_literals;
    const TReadCase cases[] = {
        {"plain", "[S]\r\nk=v\r\n", "S", "k", "v"},
        {"blanks around key and value", "[S]\r\n \t k \t= \t v w \t\r\n", "S", "k", "v w"},
        {"blanks around the section name", "  [ \tS  ]  trailing\r\nk=v\r\n", "S", "k", "v"},
        {"double quotes", "[S]\r\nk=\"v\"\r\n", "S", "k", "v"},
        {"single quotes", "[S]\r\nk='v'\r\n", "S", "k", "v"},
        {"blanks inside quotes kept", "[S]\r\nk=  \" v \"  \r\n", "S", "k", " v "},
        {"only one pair removed", "[S]\r\nk=\"\"v\"\"\r\n", "S", "k", "\"v\""},
        {"mismatched quotes kept", "[S]\r\nk=\"v'\r\n", "S", "k", "\"v'"},
        {"lone quote kept", "[S]\r\nk=\"\r\n", "S", "k", "\""},
        {"empty quotes", "[S]\r\nk=\"\"\r\n", "S", "k", ""},
        {"empty value is not the default", "[S]\r\nk=\r\n", "S", "k", ""},
        {"value keeps later equals signs", "[S]\r\nk=a=b\r\n", "S", "k", "a=b"},
        {"section name ignores case", "[sEcTiOn]\r\nk=v\r\n", "SECTION", "k", "v"},
        {"key name ignores case", "[S]\r\nbPLayWAV1=1\r\n", "S", "bplaywav1", "1"},
        {"first key wins", "[S]\r\nk=first\r\nK=second\r\n", "S", "k", "first"},
        {"first section wins", "[S]\r\nk=first\r\n[s]\r\nk=second\r\n", "S", "k", "first"},
        {"key only in a later duplicate section", "[S]\r\na=1\r\n[S]\r\nk=v\r\n", "S", "k",
         "default"},
        {"missing key", "[S]\r\nother=v\r\n", "S", "k", "default"},
        {"missing section", "[T]\r\nk=v\r\n", "S", "k", "default"},
        {"key of another section", "[T]\r\nk=v\r\n[S]\r\n", "S", "k", "default"},
        {"entry before any section", "k=v\r\n[S]\r\n", "S", "k", "default"},
        {"comment is no entry", "[S]\r\n;k=v\r\n  ; k=w\r\n", "S", "k", "default"},
        {"unclosed header is no section", "[S\r\nk=v\r\n", "S", "k", "default"},
        {"line without equals is no entry", "[S]\r\nk\r\n", "S", "k", "default"},
        {"LF line breaks", "[S]\nj=1\nk=v\n", "S", "k", "v"},
        {"CR line breaks", "[S]\rj=1\rk=v", "S", "k", "v"},
        {"last line without break", "[S]\r\nk=v", "S", "k", "v"},
        {"NUL bytes kept", "[S]\r\nk=a\0b\r\n"s, "S", "k", "a\0b"s},
        {"empty file", "", "S", "k", "default"},
    };
    for (const TReadCase& c : cases) {
        SCOPED_TRACE(c.Name);
        const TIniFile file(c.File);
        EXPECT_EQ(file.ReadString(c.Section, c.Key, "default"), c.Expected);
    }
}

TEST(TIniFileText, KeepsEveryLineAndEndsEachWithCRLF) {
    const TIniFile file("; head\n[S]\rk = \"v\" \r\ngarbage\n\n[T]\r\nx=1");
    EXPECT_EQ(file.Text(), "; head\r\n[S]\r\nk = \"v\" \r\ngarbage\r\n\r\n[T]\r\nx=1\r\n");
}

TEST(TIniFileWrite, UpdatesInPlaceKeepingEverythingElse) {
    TIniFile file("; settings\r\n"
                  "stray=1\r\n"
                  "[Booleans]\r\n"
                  "  BSNAPGRID = 0   ; old\r\n"
                  "foreign=yes\r\n"
                  "\r\n"
                  "; integers follow\r\n"
                  "[Other]\r\n"
                  "bSnapGrid=untouched\r\n"
                  "[Integers]\r\n"
                  "junk line\r\n");
    file.WriteString("booleans", "bSnapGrid", "1");
    file.WriteString("Booleans", "bStartup", "0");
    file.WriteString("Booleans", "bNetworking", "1");
    file.WriteString("Integers", "iGridX", "8");
    file.WriteString("Strings", "sPort", "56784");
    file.WriteString("Strings", "sIdentity", "");
    EXPECT_EQ(file.Text(), "; settings\r\n"
                           "stray=1\r\n"
                           "[Booleans]\r\n"
                           "bSnapGrid=1\r\n"
                           "foreign=yes\r\n"
                           "bStartup=0\r\n"
                           "bNetworking=1\r\n"
                           "\r\n"
                           "; integers follow\r\n"
                           "[Other]\r\n"
                           "bSnapGrid=untouched\r\n"
                           "[Integers]\r\n"
                           "iGridX=8\r\n"
                           "junk line\r\n"
                           "[Strings]\r\n"
                           "sPort=56784\r\n"
                           "sIdentity=\r\n");
}

TEST(TIniFileWrite, UpdatesOnlyTheFirstMatchOfDuplicates) {
    TIniFile file("[S]\r\nk=1\r\nk=2\r\n[s]\r\nk=3\r\n");
    file.WriteString("S", "K", "new");
    file.WriteString("S", "j", "added");
    EXPECT_EQ(file.Text(), "[S]\r\nK=new\r\nk=2\r\nj=added\r\n[s]\r\nk=3\r\n");
}

TEST(TIniFileWrite, WrittenValuesReadBackAfterReparsing) {
    TIniFile file;
    file.WriteString("A", "k", "1");
    file.WriteString("B", "k", "2");
    file.WriteString("A", "j", "");
    file.WriteString("a", "K", "3");
    const TIniFile reread(file.Text());
    EXPECT_EQ(reread.ReadString("A", "k", "default"), "3");
    EXPECT_EQ(reread.ReadString("A", "j", "default"), "");
    EXPECT_EQ(reread.ReadString("B", "k", "default"), "2");
    EXPECT_EQ(file.Text(), "[A]\r\nK=3\r\nj=\r\n[B]\r\nk=2\r\n");
}

TEST(TIniFileWrite, ValuesThatReadingWouldAlterAreQuoted) {
    const struct {
        const char* Value;
        const char* Line;
    } cases[] = {
        {"plain value", "k=plain value"}, {"", "k="},
        {" lead", "k=\" lead\""},         {"trail\t", "k=\"trail\t\""},
        {"\"both\"", "k=\"\"both\"\""},   {"'both'", "k=\"'both'\""},
        {"\"open", "k=\"open"},           {"\"", "k=\""},
        {"a \"b\" c", "k=a \"b\" c"},     {"\"a'", "k=\"a'"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Value);
        TIniFile file;
        file.WriteString("S", "k", c.Value);
        EXPECT_EQ(file.Text(), std::string("[S]\r\n") + c.Line + "\r\n");
        EXPECT_EQ(TIniFile(file.Text()).ReadString("S", "k", "default"), c.Value);
    }
}

TEST(TIniFileWrite, LineBreaksInAValueCannotAddLinesOrEntries) {
    TIniFile file("[S]\r\nk=old\r\n");
    file.WriteString("S", "k", "a\r\n[Evil]\r\nx=1\rb\nc");
    file.WriteString("S", "j", "\n\nj2=2");
    EXPECT_EQ(file.Text(), "[S]\r\nk=a  [Evil]  x=1 b c\r\nj=\"  j2=2\"\r\n");
    const TIniFile reread(file.Text());
    EXPECT_EQ(reread.ReadString("Evil", "x", "default"), "default");
    EXPECT_EQ(reread.ReadString("S", "x", "default"), "default");
    EXPECT_EQ(reread.ReadString("S", "j2", "default"), "default");
    EXPECT_EQ(reread.ReadString("S", "k", "default"), "a  [Evil]  x=1 b c");
}

TEST(TIniFileLarge, HandlesAHugeLineAndManyLines) {
    const std::string huge(10 * 1024 * 1024, 'x');
    TIniFile oneLine("[S]\r\nk=" + huge);
    EXPECT_EQ(oneLine.ReadString("S", "k", "").size(), huge.size());
    oneLine.WriteString("S", "j", "1");
    EXPECT_EQ(oneLine.Text(), "[S]\r\nk=" + huge + "\r\nj=1\r\n");

    // Many entries in one section: every lookup and insertion must stay cheap.
    std::string many = "[S]\n";
    for (int i = 0; i < 100000; ++i)
        many += "key" + std::to_string(i) + "=" + std::to_string(i) + "\n";
    TIniFile file(many);
    for (int i = 0; i < 1000; ++i)
        file.WriteString("S", "new" + std::to_string(i), "v");
    EXPECT_EQ(file.ReadString("S", "KEY99999", ""), "99999");
    EXPECT_EQ(TIniFile(file.Text()).ReadString("S", "new999", ""), "v");
}

} // namespace
