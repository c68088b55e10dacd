#include "UNoteFiles.h"

#include "Fakes.h"
#include "UConvert.h"
#include "UDateText.h"

#include <QDir>

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>

TEST(PadNumber, ZerosFillTheField) {
    const struct {
        int32_t number;
        int width;
        const char* text;
    } rows[] = {{7, 4, "0007"},        {0, 4, "0000"}, {12345, 4, "12345"},        {-5, 4, "00-5"},
                {-12345, 4, "-12345"}, {5, 2, "05"},   {INT_MIN, 4, "-2147483648"}};
    for (const auto& row : rows) {
        SCOPED_TRACE(row.text);
        EXPECT_EQ(PadNumber(row.number, row.width), row.text);
    }
}

TEST(NoteFileNames, BothWays) {
    EXPECT_EQ(NotesFolder("/home/u/vorn/"), "/home/u/vorn/vornnotes");
    EXPECT_EQ(NoteFileName("/a/", 7), "/a/vornnotes/vornnote0007.txt");
    EXPECT_EQ(DeletedNoteFileName("/a/", 7), "/a/vornnotes/vornnote0007.~txt");
    EXPECT_EQ(NoteFileName("/a/", 123456), "/a/vornnotes/vornnote123456.txt");
    for (const int32_t id : {0, 7, 9999, 10000, 123456, INT32_MAX}) {
        SCOPED_TRACE(id);
        EXPECT_EQ(NoteIdFromFileName(NoteFileName("/a/", id)), id);
        EXPECT_EQ(NoteIdFromFileName(DeletedNoteFileName("/a/", id)), id);
    }

    const struct {
        const char* name;
        int32_t id;
    } rows[] = {
        {"VORNNOTE0012.TXT", 12},
        {"vornnote12.backup.txt", 12},
        {"vornnote0010.~txt", 10},
        {"/x/vornnote.1/vornnote3.txt", 3},
        {"vornnote$1f.txt", 31},
        {"vornnote.txt", -1},
        {"vornnoteabc.txt", -1},
        {"notes.txt", -1},
        {"vornnote12.doc", -1},
        {"vornnote12", -1},
        {"vornnote 12.txt", -1},
        {"vornnote99999999999.txt", -1},
        {"", -1},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(NoteIdFromFileName(row.name), row.id);
    }
}

TEST(ListNoteFiles, MatchesLiveAndDeletedNamesIgnoringCase) {
    TempFolder folder;
    const std::string notes = NotesFolder(folder.Path()) + "/";
    QDir().mkpath(QString::fromStdString(notes + "vornnote0009.txt")); // a folder is no note
    for (const char* name : {"vornnote0003.txt", "VORNNOTE0004.TXT", ".vornnote5.txt"})
        WriteFixture(notes + name, "");
    for (const char* name : {"vornnote0010.~txt", "vornnote0003.txt.bak", "readme.txt"})
        WriteFixture(notes + name, "");
    WriteFixture(notes + "vornnote0011.~txt", "");

    auto live = ListNoteFiles(folder.Path(), false);
    std::sort(live.begin(), live.end());
    EXPECT_EQ(live, (std::vector<std::string>{"VORNNOTE0004.TXT", "vornnote0003.txt"}));
    auto deleted = ListNoteFiles(folder.Path(), true);
    std::sort(deleted.begin(), deleted.end());
    EXPECT_EQ(deleted, (std::vector<std::string>{"vornnote0010.~txt", "vornnote0011.~txt"}));

    // New numbers continue above both kinds of file.
    TNoteCounter counter;
    for (const auto& name : live)
        counter.Raise(NoteIdFromFileName(name));
    for (const auto& name : deleted)
        counter.Raise(NoteIdFromFileName(name));
    EXPECT_EQ(counter.NextNoteId(), 12);
    EXPECT_EQ(counter.NextNoteId(), 13);

    TempFolder empty;
    EXPECT_TRUE(ListNoteFiles(empty.Path(), false).empty()) << "a missing notes folder is empty";
}

TEST(NoteCounter, RaisesOnlyUpwardAndRefusesToOverflow) {
    TNoteCounter counter;
    EXPECT_EQ(counter.HighestNoteId(), 0);
    counter.Raise(-1);
    EXPECT_EQ(counter.NextNoteId(), 1);
    counter.Raise(INT32_MAX);
    EXPECT_THROW(counter.NextNoteId(), Exception);
    EXPECT_EQ(counter.HighestNoteId(), INT32_MAX);
}

TEST(DateText, ZoneNames) {
    const struct {
        const char* name;
        TTimeZoneInfo zone;
        const char* text;
    } rows[] = {
        {"standard time", {true, true, false, "CET", "CEST"}, "CET"},
        {"daylight time", {true, true, true, "CET", "CEST"}, "CEST"},
        {"no daylight time", {true, false, false, "IST", ""}, "Unknown Timezone"},
        {"unknown zone", {false, false, false, "", ""}, "Unknown Timezone"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(TimeZoneName(row.zone), row.text);
    }
}

TEST(DateText, FormatsMonthDayYearTimeAndZone) {
    FakeClock clock;
    EXPECT_EQ(CurrentDateText(clock), "Mar 07, 2006 14:05 W. Europe Standard Time");
    clock.Now = {2026, 12, 31, 0, 9, 59};
    clock.Zone.InDaylightTime = true;
    EXPECT_EQ(CurrentDateText(clock), "Dec 31, 2026 00:09 W. Europe Daylight Time");
    clock.Zone.HasDaylightTime = false;
    EXPECT_EQ(CurrentDateText(clock), "Dec 31, 2026 00:09 Unknown Timezone");
}
