#include "UNotesList.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <string>

TEST(NotesListEntryText, ChatBeforeSystemBeforePlainNote) {
    const struct {
        int32_t id;
        bool isChat;
        bool isSystemNote;
        std::string expected;
    } rows[] = {
        {7, false, false, "Vorn-Note [7]"},
        {12, false, true, "System Vorn-Note [12]"},
        {1024, true, false, "Vorn-Chat [1024]"},
        {3, true, true, "Vorn-Chat [3]"},
        {0, false, false, "Vorn-Note [0]"},
        {-1, false, false, "Vorn-Note [-1]"},
        {std::numeric_limits<int32_t>::max(), false, true, "System Vorn-Note [2147483647]"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.expected);
        EXPECT_EQ(NotesListEntryText(row.id, row.isChat, row.isSystemNote), row.expected);
    }
}

TEST(NoteMatches, ByteWiseWithOptionalAsciiCaseFolding) {
    const struct {
        std::string note;
        std::string search;
        bool matchCase;
        bool expected;
    } rows[] = {
        {"shopping: Milk, ABC bread", "ABC", true, true},
        {"shopping: Milk, abc bread", "ABC", true, false},
        {"shopping: Milk, aBc bread", "ABC", false, true},
        {"shopping: Milk, abc bread", "AbC", false, true},
        {"ABC", "abc", false, true},
        {"ABC", "abc", true, false},
        // At both ends, across a line break, and longer than the note.
        {"abc", "abc", true, true},
        {"xyzabc", "ABC", false, true},
        {"first line\r\nsecond", "line\r\nSEC", false, true},
        {"ab", "abc", false, false},
        // Only A to Z fold: the neighbours of the letters in the code table stay apart.
        {"a@b", "A`B", false, false},
        {"a[b", "A{B", false, false},
        {"a^b", "A~B", false, false},
        // Letters outside ASCII are not folded, whether UTF-8 or Latin-1.
        {"Gr\xC3\xBC\xC3\x9F", "GR\xC3\x9C\xC3\x9F", false, false},
        {"Gr\xC3\xBC\xC3\x9F", "gR\xC3\xBC\xC3\x9F", false, true},
        {"caf\xE9", "CAF\xC9", false, false},
        {"caf\xE9", "CAF\xE9", false, true},
        // Embedded NUL bytes are ordinary bytes.
        {std::string("a\0B", 3), std::string("\0b", 2), false, true},
        {std::string("a\0B", 3), std::string("\0b", 2), true, false},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.note + " / " + row.search + (row.matchCase ? " (match case)" : ""));
        EXPECT_EQ(NoteMatches(row.note, row.search, row.matchCase), row.expected);
    }
}

TEST(NoteMatches, EmptySearchTextMatchesNoNote) {
    for (const bool matchCase : {false, true}) {
        EXPECT_FALSE(NoteMatches("", "", matchCase));
        EXPECT_FALSE(NoteMatches("any text", "", matchCase));
    }
}

TEST(NoMatchMessage, QuotesTheSearchTextAsUsed) {
    const struct {
        std::string search;
        bool matchCase;
        std::string expected;
    } rows[] = {
        {"ABC", false, "Searched all notes and did not find \"abc\""},
        {"ABC", true, "Searched all notes and did not find \"ABC\""},
        {"Gr\xC3\x9C\xC3\x9F Zeit", false,
         "Searched all notes and did not find \"gr\xC3\x9C\xC3\x9F zeit\""},
        {"say \"hi\"", true, "Searched all notes and did not find \"say \"hi\"\""},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.search);
        EXPECT_EQ(NoMatchMessage(row.search, row.matchCase), row.expected);
    }
}

TEST(UndeleteMessages, RenameFailedNamesBothFiles) {
    EXPECT_EQ(UndeleteRenameFailedMessage("/home/ann/vorn/vornnotes/vorn_note_5.~txt",
                                          "/home/ann/vorn/vornnotes/vorn_note_5.txt"),
              "Cannot rename file /home/ann/vorn/vornnotes/vorn_note_5.~txt to \r\n"
              "/home/ann/vorn/vornnotes/vorn_note_5.txt.\r\n"
              "Will create a new note");
}

TEST(UndeleteMessages, WithoutNumberNamesTheFileAndTheOutcome) {
    const std::string file = "/home/ann/my notes/shopping.~txt";
    const std::string message = UndeleteWithoutNumberMessage(file);
    EXPECT_NE(message.find("\"" + file + "\""), std::string::npos) << message;
    EXPECT_NE(message.find("new note"), std::string::npos) << message;
}
