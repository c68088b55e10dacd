#include "UVornApp.h"

#include "FakeProgram.h"
#include "Fakes.h"
#include "TestApplication.h"
#include "UFileUtil.h"
#include "UNoteFiles.h"
#include "URandom.h"
#include "UScreenFunctions.h"
#include "UTConfigurationManager.h"
#include "qzRegVal.h"

#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QSpinBox>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace {

const std::string kEmptyIndex =
    "<?xml version=\"1.0\" encoding=\"ISO-8859-1\" standalone=\"yes\" ?>\r\n"
    "\r\n"
    "<vorn>\r\n"
    "</vorn>\r\n";

// Settings that keep the welcome note away.
const std::string kKnownUser = "[Strings]\r\nsIdentity=tester\r\n";

// Sets the three login-name variables for one test (null: unset) and puts them back after it.
class LoginNames {
public:
    LoginNames(const char* username, const char* user, const char* logname) {
        EnvironmentGuard::Set("USERNAME", username);
        EnvironmentGuard::Set("USER", user);
        EnvironmentGuard::Set("LOGNAME", logname);
    }

private:
    EnvironmentGuard Saved_{"USERNAME", "USER", "LOGNAME"};
};

TNoteConfig Record(int32_t id, int32_t left, int32_t top, int32_t width = 128,
                   int32_t height = 128) {
    TNoteConfig record;
    record.Id = id;
    record.Left = left;
    record.Top = top;
    record.Width = width;
    record.Height = height;
    return record;
}

// One run of the program on its own folder with fake platform services.
struct Session : FakeProgram {
    Session() { EnsureApplication(); }

    std::string NoteFile(int32_t id) const { return NoteFileName(Folder.Path(), id); }
    std::string IniPath() const { return Folder.File("vorn.ini"); }
    std::string IndexPath() const { return Folder.File("vornnotes.xml"); }

    void WriteIni(const std::string& text) const { WriteFixture(IniPath(), text); }
    void MakeNotesFolder() const {
        QDir().mkdir(QString::fromStdString(NotesFolder(Folder.Path())));
    }
    void WriteNote(int32_t id, const std::string& text) const {
        MakeNotesFolder();
        WriteFixture(NoteFile(id), text);
    }
    void WriteDeletedNote(int32_t id) const {
        MakeNotesFolder();
        WriteFixture(DeletedNoteFileName(Folder.Path(), id), "gone");
    }
    void WriteIndex(const std::vector<TNoteConfig>& records) const {
        std::string text = kEmptyIndex.substr(0, kEmptyIndex.size() - 9); // without </vorn>
        for (const TNoteConfig& record : records)
            text += "    " + record.ToXMLElement() + "\r\n";
        WriteFixture(IndexPath(), text + "</vorn>\r\n");
    }
    std::unique_ptr<TConfigurationManager> SavedIndex() const {
        return std::make_unique<TConfigurationManager>(IndexPath(), [] { return TNoteDefaults(); });
    }

    bool Start() {
        App = std::make_unique<TVornApp>(Services());
        return App->FormCreate();
    }
    TfrmMain& Main() { return App->Main(); }
    TNoteFactory& Factory() { return App->Factory(); }
    const std::vector<TfrmNote*>& Notes() { return App->Main().Notes(); }
    TfrmNote* Note(int32_t id) {
        for (TfrmNote* note : Notes())
            if (note->NoteId() == id)
                return note;
        return nullptr;
    }
    std::vector<int32_t> NoteIds() {
        std::vector<int32_t> ids;
        for (const TfrmNote* note : Notes())
            ids.push_back(note->NoteId());
        std::sort(ids.begin(), ids.end());
        return ids;
    }

    std::unique_ptr<TVornApp> App; // last: its note windows go first
};

bool OnWorkArea(const std::vector<TMonitor>& monitors, const TfrmNote& note) {
    return RectOnScreen(monitors, note.x(), note.y(), note.width(), note.height());
}

// ---- first start ------------------------------------------------------------------------------

TEST(FirstStart, EmptyFolderGetsNotesFolderIndexAndWelcomeNote) {
    LoginNames names("alice", nullptr, nullptr);
    Session run;
    ASSERT_TRUE(run.Start());
    EXPECT_TRUE(run.Prompt.Errors.empty());
    EXPECT_TRUE(run.Prompt.Messages.empty());

    EXPECT_TRUE(QDir(QString::fromStdString(NotesFolder(run.Folder.Path()))).exists());
    EXPECT_EQ(ReadFixture(run.IndexPath()), kEmptyIndex);
    EXPECT_FALSE(FileExists(run.IniPath()));
    EXPECT_EQ(run.Main().edtIdentity->text(), QStringLiteral("alice"));

    ASSERT_EQ(run.Notes().size(), 1u);
    const TfrmNote& welcome = *run.Notes().front();
    EXPECT_EQ(welcome.NoteId(), 1);
    EXPECT_EQ(welcome.geometry(), QRect(312, 284, 400, 200));
    EXPECT_EQ(welcome.Text(), WelcomeNoteText());
    EXPECT_FALSE(welcome.IsModified());
    EXPECT_FALSE(welcome.IsMinimized());
    EXPECT_EQ(ReadFixture(run.NoteFile(1)), WelcomeNoteText());
    EXPECT_TRUE(run.Main().Store().Contains(1));
    EXPECT_EQ(run.Main().NoteNumbers().HighestNoteId(), 1);
}

TEST(FirstStart, WelcomeTextHasItsElevenLines) {
    const std::vector<std::string> lines = SplitLines(WelcomeNoteText());
    ASSERT_EQ(lines.size(), 11u);
    EXPECT_EQ(lines[0], "Welcome to Vorn v2.04b");
    EXPECT_EQ(lines[1], "");
    EXPECT_EQ(lines[2], "[F2] opens Control Panel to configure Vorn");
    EXPECT_EQ(lines[3], "[F4] creates a new note on your desktop");
    EXPECT_EQ(lines[4], "Right-Click on the title bar to display a menu of available options.");
    EXPECT_EQ(lines[5], "Double-Click on the title bar to minimize/restore a note");
    EXPECT_EQ(lines[6], "");
    EXPECT_EQ(lines[7],
              "We hope you will find Vorn one of the most useful applications ever made!");
    EXPECT_EQ(lines[8], "Enjoy!");
    EXPECT_EQ(lines[9], "");
    EXPECT_FALSE(lines[10].empty());
    // joined by CR LF, nothing after the last line
    EXPECT_EQ(JoinLinesCRLF(lines), WelcomeNoteText() + "\r\n");
}

TEST(FirstStart, WelcomeNoteIsCentredOnThePrimaryScreen) {
    LoginNames names("alice", nullptr, nullptr);
    const struct {
        int32_t width;
        int32_t height;
        QPoint place;
    } rows[] = {{1024, 768, {312, 284}},
                {1280, 1024, {440, 412}},
                {1023, 767, {311, 283}},
                {399, 199, {0, 0}}, // rounds towards zero
                {300, 150, {-50, -25}}};
    for (const auto& row : rows) {
        SCOPED_TRACE(testing::Message() << row.width << "x" << row.height);
        Session run;
        const TRect bounds{0, 0, row.width, row.height};
        // the primary screen comes first; a second one must not be used
        run.Screens.List = {{bounds, bounds}, {{row.width, 0, row.width + 1920, 1080}, {}}};
        ASSERT_TRUE(run.Start());
        ASSERT_EQ(run.Notes().size(), 1u);
        EXPECT_EQ(run.Notes().front()->geometry(), QRect(row.place, QSize(400, 200)));
    }
}

TEST(FirstStart, IdentityFromTheLoginNameOrUnknown) {
    const struct {
        const char* username;
        const char* user;
        const char* logname;
        const char* identity;
    } rows[] = {{"alice", "bob", "carol", "alice"},
                {nullptr, "bob", "carol", "bob"},
                {"", "bob", "carol", "bob"},
                {nullptr, nullptr, "carol", "carol"},
                {nullptr, nullptr, nullptr, "unknown"},
                {"", "", "", "unknown"}};
    for (const auto& row : rows) {
        SCOPED_TRACE(row.identity);
        LoginNames names(row.username, row.user, row.logname);
        Session run;
        ASSERT_TRUE(run.Start());
        EXPECT_EQ(run.Main().edtIdentity->text(), QString::fromUtf8(row.identity));
        EXPECT_EQ(run.Notes().size(), 1u);
    }
}

TEST(FirstStart, StoredIdentityMeansNoWelcomeNote) {
    LoginNames names("alice", nullptr, nullptr);
    Session run;
    run.WriteIni("[Strings]\r\nsIdentity=dave\r\n");
    ASSERT_TRUE(run.Start());
    EXPECT_EQ(run.Main().edtIdentity->text(), QStringLiteral("dave"));
    EXPECT_TRUE(run.Notes().empty());
    EXPECT_FALSE(FileExists(run.NoteFile(1)));
}

// ---- the notes at start-up --------------------------------------------------------------------

TEST(StartUp, NoteFilesOpenWithTheirRecordsOrDefaultOnes) {
    Session run;
    run.WriteIni(kKnownUser);
    TNoteConfig placed = Record(3, 200, 150, 300, 250);
    placed.Color = PackColor(200, 100, 30);
    placed.ReadOnly = true;
    placed.FontSize = 12;
    const TNoteConfig orphan = Record(7, 40, 50, 160, 90); // no file
    TNoteConfig rolled = Record(8, 500, 400, 220, 140);
    rolled.Minimized = true;
    run.WriteIndex({placed, orphan, rolled});
    run.WriteNote(3, "three\nlines");
    run.WriteNote(8, "first\r\nsecond");
    run.WriteNote(5, "five");
    WriteFixture(NotesFolder(run.Folder.Path()) + "/vornnote_old.txt", "not a note");

    ASSERT_TRUE(run.Start());
    EXPECT_TRUE(run.Prompt.Errors.empty());
    ASSERT_EQ(run.NoteIds(), (std::vector<int32_t>{3, 5, 8}));

    const TfrmNote& three = *run.Note(3);
    EXPECT_EQ(three.geometry(), QRect(200, 150, 300, 250));
    EXPECT_EQ(three.NoteColor(), PackColor(200, 100, 30));
    EXPECT_TRUE(three.IsReadOnly());
    EXPECT_EQ(three.BodyFont().pointSize(), 12);
    EXPECT_EQ(three.Text(), "three\r\nlines");
    EXPECT_FALSE(three.IsModified());

    // a file without a record: default size, a place on the screen, and a record of its own
    const TfrmNote& five = *run.Note(5);
    EXPECT_EQ(five.size(), QSize(128, 128));
    EXPECT_TRUE(OnWorkArea(run.Screens.List, five));
    EXPECT_EQ(five.Text(), "five");
    ASSERT_TRUE(run.Main().Store().Contains(5));
    EXPECT_EQ(run.Main().Store().Get(5)->Left, five.x());

    // a rolled-up note shows its first line and keeps its unrolled size in the record
    const TfrmNote& eight = *run.Note(8);
    EXPECT_TRUE(eight.IsMinimized());
    EXPECT_EQ(eight.geometry(), QRect(500, 400, 17, 17));
    const auto* bar = eight.findChild<QWidget*>(QStringLiteral("pb"));
    ASSERT_NE(bar, nullptr);
    EXPECT_EQ(bar->toolTip(), QStringLiteral("first"));

    // opening writes no note file
    EXPECT_EQ(ReadFixture(run.NoteFile(3)), "three\nlines");
    EXPECT_FALSE(FileExists(run.NoteFile(7)));

    run.Main().SaveAllNotesNow();
    const auto saved = run.SavedIndex();
    ASSERT_NE(saved->Get(5), nullptr);
    EXPECT_EQ(saved->Get(5)->Top, five.y());
    ASSERT_NE(saved->Get(7), nullptr); // the record without a file stays
    EXPECT_EQ(*saved->Get(7), orphan);
    ASSERT_NE(saved->Get(3), nullptr);
    EXPECT_EQ(*saved->Get(3), placed);
    ASSERT_NE(saved->Get(8), nullptr);
    EXPECT_EQ(*saved->Get(8), rolled);
}

TEST(StartUp, NewNumbersContinueAboveLiveAndDeletedNoteFiles) {
    Session run;
    run.WriteIni(kKnownUser);
    // numbers only in the index do not count
    run.WriteIndex({Record(11, 10, 10, 300, 300), Record(20, 10, 10)});
    run.WriteNote(3, "three");
    run.WriteDeletedNote(10);
    ASSERT_TRUE(run.Start());
    EXPECT_EQ(run.NoteIds(), std::vector<int32_t>{3});
    EXPECT_EQ(run.Main().NoteNumbers().HighestNoteId(), 10);

    TfrmNote* fresh = run.Factory().CreateNewNote("");
    ASSERT_NE(fresh, nullptr);
    EXPECT_EQ(fresh->NoteId(), 11);
    EXPECT_TRUE(FileExists(run.NoteFile(11)));
    EXPECT_EQ(run.Factory().CreateNewNote("")->NoteId(), 12);

    // the new note 11 takes over the old record instead of adding a second one
    fresh->move(77, 88);
    run.Main().SaveAllNotesNow();
    const auto saved = run.SavedIndex();
    const auto& records = saved->Records();
    EXPECT_EQ(std::count_if(records.begin(), records.end(),
                            [](const auto& record) { return record.first == "11"; }),
              1);
    ASSERT_NE(saved->Get(11), nullptr);
    EXPECT_EQ(saved->Get(11)->Left, 77);
    EXPECT_EQ(saved->Get(11)->Width, 128);
}

TEST(StartUp, UnreadableIndexIsKeptAsideAndTheNotesStillOpen) {
    Session run;
    run.WriteIni(kKnownUser);
    WriteFixture(run.IndexPath(), "<vorn><note id=\"x\"/></vorn>");
    run.WriteNote(4, "four");
    ASSERT_TRUE(run.Start());
    EXPECT_EQ(run.Prompt.Errors.size(), 1u);
    EXPECT_EQ(run.NoteIds(), std::vector<int32_t>{4});
    EXPECT_EQ(ReadFixture(run.IndexPath() + ".unreadable-20060307-140500"),
              "<vorn><note id=\"x\"/></vorn>");
    EXPECT_EQ(ReadFixture(run.IndexPath()), kEmptyIndex);
}

TEST(StartUp, NotesOffEveryScreenAreMovedOntoTheNearestWorkArea) {
    Session run;
    run.WriteIni(kKnownUser);
    // the primary monitor with a panel at the bottom and one to its right; a third one, further
    // right, is gone
    run.Screens.List = {{{0, 0, 1024, 768}, {0, 0, 1024, 738}},
                        {{1024, 0, 2304, 1024}, {1024, 0, 2304, 1024}}};
    const struct {
        int32_t id;
        QPoint stored;
        QPoint opened;
    } rows[] = {{1, {1000, 100}, {1000, 100}},  // straddles both: stays
                {2, {2500, 500}, {2176, 500}},  // on the removed monitor
                {3, {-300, 200}, {0, 200}},     // left of everything
                {4, {100, 700}, {100, 610}},    // under the primary's panel
                {5, {1100, 1000}, {1100, 896}}, // below the second monitor
                {6, {0, 0}, {0, 0}}};
    std::vector<TNoteConfig> records;
    for (const auto& row : rows) {
        records.push_back(Record(row.id, row.stored.x(), row.stored.y()));
        run.WriteNote(row.id, "lost");
    }
    run.WriteIndex(records);
    ASSERT_TRUE(run.Start());

    for (const auto& row : rows) {
        SCOPED_TRACE(row.id);
        const TfrmNote* note = run.Note(row.id);
        ASSERT_NE(note, nullptr);
        EXPECT_EQ(note->pos(), row.opened);
        EXPECT_EQ(note->size(), QSize(128, 128));
    }
    run.Main().SaveAllNotesNow();
    EXPECT_EQ(run.SavedIndex()->Get(2)->Left, 2176);
}

// ---- the factory ------------------------------------------------------------------------------

TEST(NoteLimit, NoNewNoteWhile1024WindowsAreOpen) {
    Session run;
    run.WriteIni(kKnownUser);
    // opening existing notes is not limited: 1025 note files give 1025 windows
    for (int32_t id = 1; id <= 1025; ++id)
        run.WriteNote(id, "");
    ASSERT_TRUE(run.Start());
    ASSERT_EQ(run.Notes().size(), 1025u);
    EXPECT_TRUE(run.Prompt.Messages.empty());

    EXPECT_EQ(run.Factory().CreateNewNote("refused"), nullptr);
    EXPECT_EQ(run.Prompt.Messages,
              std::vector<std::string>{"Cannot create more than 1024 windows."});
    EXPECT_EQ(run.Notes().size(), 1025u);
    EXPECT_FALSE(FileExists(run.NoteFile(1026)));

    delete run.Note(1025); // leaves the registry
    ASSERT_EQ(run.Notes().size(), 1024u);
    EXPECT_EQ(run.Factory().CreateCenteredNote("refused", 100, 100), nullptr);
    EXPECT_EQ(run.Prompt.Messages.size(), 2u);
    EXPECT_EQ(run.Factory().CreateNoteFromFile(run.NoteFile(3)), nullptr);
    EXPECT_EQ(run.Prompt.Messages.size(), 3u);

    delete run.Note(1024);
    TfrmNote* accepted = run.Factory().CreateNewNote("accepted");
    ASSERT_NE(accepted, nullptr);
    EXPECT_EQ(accepted->NoteId(), 1026); // the refused attempts used up no number
    EXPECT_EQ(ReadFixture(run.NoteFile(1026)), "accepted");
    EXPECT_EQ(run.Notes().size(), 1024u);
    EXPECT_EQ(run.Prompt.Messages.size(), 3u);
}

TEST(Factory, ReceivedNoteTakesTheRecordsLookAndDefaultsWhereItHasNone) {
    Session run;
    run.WriteIni("[Booleans]\r\nbRandomColor=0\r\n"
                 "[Integers]\r\niDefaultFontSize=13\r\niDefaultFontColor=255\r\n"
                 "[Strings]\r\nsIdentity=tester\r\nsDefaultFontName=DejaVu Sans\r\n");
    ASSERT_TRUE(run.Start());

    TNoteConfig received = Record(99, 5, 6, 250, 180);
    received.Minimized = true;
    received.SystemNote = true;
    received.Chat = true;
    received.ReadOnly = true;
    received.OnTop = true;
    received.Color = -1;
    received.FontName = "";
    received.FontSize = -1;
    received.FontColor = -1;
    TfrmNote* plain = run.Factory().CreateReceivedNote("hello\r\nthere", received);
    ASSERT_NE(plain, nullptr);
    EXPECT_EQ(plain->NoteId(), 1);
    EXPECT_EQ(plain->size(), QSize(250, 180));
    EXPECT_FALSE(plain->IsMinimized());
    EXPECT_FALSE(plain->IsSystemNote());
    EXPECT_FALSE(plain->IsChat());
    EXPECT_TRUE(plain->IsReadOnly());
    EXPECT_TRUE(plain->IsOnTop());
    EXPECT_EQ(plain->NoteColor(), DefaultNoteColor);
    EXPECT_EQ(plain->BodyFont().pointSize(), 13);
    EXPECT_EQ(plain->BodyFont().family(), QStringLiteral("DejaVu Sans"));
    EXPECT_EQ(plain->FontColor(), 255);
    EXPECT_EQ(ReadFixture(run.NoteFile(1)), "hello\r\nthere");
    // a random place that leaves 128 pixels, whatever the size
    EXPECT_GE(plain->x(), 0);
    EXPECT_LT(plain->x(), 1024 - 128);
    EXPECT_GE(plain->y(), 0);
    EXPECT_LT(plain->y(), 768 - 128);

    // what the record carries is kept, random colours or not
    run.Main().chkRandomColor->setChecked(true);
    received.Color = PackColor(1, 2, 3);
    received.FontName = "DejaVu Serif";
    received.FontSize = 20;
    received.FontColor = PackColor(9, 8, 7);
    TfrmNote* styled = run.Factory().CreateReceivedNote("styled", received);
    ASSERT_NE(styled, nullptr);
    EXPECT_EQ(styled->NoteId(), 2);
    EXPECT_EQ(styled->NoteColor(), PackColor(1, 2, 3));
    EXPECT_EQ(styled->BodyFont().family(), QStringLiteral("DejaVu Serif"));
    EXPECT_EQ(styled->BodyFont().pointSize(), 20);
    EXPECT_EQ(styled->FontColor(), PackColor(9, 8, 7));
}

TEST(Factory, NewNoteColourAndPlaceFromTheRandomGenerator) {
    Session run;
    run.WriteIni(kKnownUser);
    ASSERT_TRUE(run.Start());
    TNoteDefaults screen;
    screen.ScreenWidth = 1024;
    screen.ScreenHeight = 768;

    for (const bool random : {true, false}) {
        SCOPED_TRACE(random);
        run.Main().chkRandomColor->setChecked(random);
        // top first, then left, then the colour
        RandomSeed(4711);
        const int32_t top = RandomTop(screen, 128);
        const int32_t left = RandomLeft(screen, 128);
        const TColor colour = RandomColor();

        RandomSeed(4711);
        TfrmNote* note = run.Factory().CreateNewNote("");
        ASSERT_NE(note, nullptr);
        EXPECT_EQ(note->geometry(), QRect(left, top, 128, 128));
        EXPECT_EQ(note->NoteColor(), random ? colour : DefaultNoteColor);
        EXPECT_EQ(note->BodyFont().family(), QStringLiteral("MS Sans Serif"));
        EXPECT_EQ(note->BodyFont().pointSize(), 8);
        EXPECT_FALSE(note->IsReadOnly());
        EXPECT_FALSE(note->IsOnTop());
    }
}

TEST(Factory, NoteFromAFileEndsEveryLineWithCRLF) {
    Session run;
    run.WriteIni(kKnownUser);
    ASSERT_TRUE(run.Start());
    const struct {
        const char* name;
        const char* file; // null: no such file
        const char* text;
    } rows[] = {{"two lines", "a\r\nb", "a\r\nb\r\n"},
                {"LF and CR", "a\nb\rc\n", "a\r\nb\r\nc\r\n"},
                {"empty file", "", ""},
                {"missing file", nullptr, ""}};
    int32_t expectedId = 0;
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        const std::string path = run.Folder.File("import.txt");
        std::remove(path.c_str());
        if (row.file)
            WriteFixture(path, row.file);
        TfrmNote* note = run.Factory().CreateNoteFromFile(path);
        ASSERT_NE(note, nullptr);
        EXPECT_EQ(note->NoteId(), ++expectedId);
        EXPECT_EQ(note->Text(), row.text);
        EXPECT_EQ(ReadFixture(run.NoteFile(note->NoteId())), row.text);
        if (row.file) {
            EXPECT_EQ(ReadFixture(path), row.file); // the source stays as it was
        }
    }
}

// ---- saving -----------------------------------------------------------------------------------

class Saving : public ::testing::Test {
protected:
    // The welcome note (1) and a second note (2) at (50, 60), both with unsaved text.
    void SetUp() override {
        ASSERT_TRUE(run.Start());
        second = run.Factory().CreateNewNote("second");
        ASSERT_NE(second, nullptr);
        second->move(50, 60);
        welcome = run.Note(1);
        ASSERT_NE(welcome, nullptr);
        welcome->SetText("welcome changed");
        second->SetText("second changed");
        run.Main().edtIdentity->setText(QStringLiteral("zed"));
    }

    LoginNames names{"alice", nullptr, nullptr};
    Session run;
    TfrmNote* welcome = nullptr;
    TfrmNote* second = nullptr;
};

TEST_F(Saving, SaveEverythingWritesTextsSettingsAndIndex) {
    run.Main().SaveEverything();
    EXPECT_EQ(ReadFixture(run.NoteFile(1)), "welcome changed");
    EXPECT_EQ(ReadFixture(run.NoteFile(2)), "second changed");
    EXPECT_FALSE(welcome->IsModified());
    EXPECT_FALSE(second->IsModified());
    EXPECT_NE(ReadFixture(run.IniPath()).find("sIdentity=zed\r\n"), std::string::npos);

    const auto saved = run.SavedIndex();
    ASSERT_NE(saved->Get(2), nullptr);
    EXPECT_EQ(saved->Get(2)->Left, 50);
    EXPECT_EQ(saved->Get(2)->Top, 60);
    ASSERT_NE(saved->Get(1), nullptr);
    EXPECT_EQ(saved->Get(1)->Width, 400);
}

TEST_F(Saving, SaveAllNotesNowLeavesTheSettingsAlone) {
    run.Main().SaveAllNotesNow();
    EXPECT_EQ(ReadFixture(run.NoteFile(1)), "welcome changed");
    EXPECT_EQ(ReadFixture(run.NoteFile(2)), "second changed");
    EXPECT_FALSE(FileExists(run.IniPath()));
    const auto saved = run.SavedIndex();
    ASSERT_NE(saved->Get(2), nullptr);
    EXPECT_EQ(saved->Get(2)->Left, 50);
}

TEST_F(Saving, UnwritableNoteStopsTheSequence) {
    ASSERT_EQ(std::remove(run.NoteFile(1).c_str()), 0);
    ASSERT_TRUE(QDir().mkdir(QString::fromStdString(run.NoteFile(1))));

    try {
        run.Main().SaveEverything();
        ADD_FAILURE() << "the failed note was not reported";
    } catch (const std::exception& error) {
        EXPECT_NE(std::string(error.what()).find(run.NoteFile(1)), std::string::npos)
            << error.what();
    }
    EXPECT_TRUE(welcome->IsModified());
    EXPECT_EQ(welcome->Text(), "welcome changed");
    // the other notes' texts are saved all the same, and only they lose their mark
    EXPECT_FALSE(second->IsModified());
    EXPECT_EQ(ReadFixture(run.NoteFile(2)), "second changed");
    // the sequence stops there: no settings, no index
    EXPECT_FALSE(FileExists(run.IniPath()));
    EXPECT_EQ(ReadFixture(run.IndexPath()), kEmptyIndex);

    // the exit command reports it and the program goes on
    run.App->Exit();
    EXPECT_EQ(run.Prompt.Errors.size(), 1u);
    EXPECT_FALSE(run.Main().ClosingForReal);
    EXPECT_TRUE(welcome->IsModified());

    // once the note can be written, exit saves everything
    ASSERT_TRUE(QDir().rmdir(QString::fromStdString(run.NoteFile(1))));
    run.App->Exit();
    EXPECT_EQ(run.Prompt.Errors.size(), 1u);
    EXPECT_TRUE(run.Main().ClosingForReal);
    EXPECT_EQ(ReadFixture(run.NoteFile(1)), "welcome changed");
    EXPECT_EQ(ReadFixture(run.NoteFile(2)), "second changed");
    EXPECT_TRUE(FileExists(run.IniPath()));
    EXPECT_NE(run.SavedIndex()->Get(2), nullptr);
}

TEST_F(Saving, EndSessionSavesEverythingAndTheNextStartRestoresIt) {
    welcome->move(70, 80);
    run.App->EndSession();
    EXPECT_TRUE(run.Main().ClosingForReal);
    EXPECT_EQ(ReadFixture(run.NoteFile(1)), "welcome changed");
    EXPECT_EQ(ReadFixture(run.NoteFile(2)), "second changed");
    EXPECT_TRUE(FileExists(run.IniPath()));
    ASSERT_NE(run.SavedIndex()->Get(1), nullptr);
    EXPECT_EQ(run.SavedIndex()->Get(1)->Left, 70);

    // the next start: the identity is known, so no second welcome note
    run.App.reset();
    ASSERT_TRUE(run.Start());
    EXPECT_EQ(run.NoteIds(), (std::vector<int32_t>{1, 2}));
    EXPECT_EQ(run.Main().edtIdentity->text(), QStringLiteral("zed"));
    EXPECT_EQ(run.Note(1)->geometry(), QRect(70, 80, 400, 200));
    EXPECT_EQ(run.Note(1)->Text(), "welcome changed");
    EXPECT_EQ(run.Note(2)->pos(), QPoint(50, 60));
    EXPECT_EQ(run.Main().NoteNumbers().HighestNoteId(), 2);
}

// ---- settings to controls ---------------------------------------------------------------------

TEST(Settings, EdgeOrNoteSnappingWinsOverGridSnapping) {
    const struct {
        bool grid, edges, notes;
        bool gridOn, edgesOn, notesOn;
    } rows[] = {
        {true, true, false, false, true, false},  {true, false, true, false, false, true},
        {true, false, false, true, false, false}, {false, true, true, false, true, true},
        {true, true, true, false, true, true},    {false, false, false, false, false, false}};
    for (const auto& row : rows) {
        SCOPED_TRACE(testing::Message() << row.grid << row.edges << row.notes);
        Session run;
        const auto flag = [](bool on) { return std::string(on ? "1" : "0"); };
        run.WriteIni("[Booleans]\r\nbSnapGrid=" + flag(row.grid) + "\r\nbSnapEdges=" +
                     flag(row.edges) + "\r\nbSnapNotes=" + flag(row.notes) + "\r\n" + kKnownUser);
        ASSERT_TRUE(run.Start());
        EXPECT_EQ(run.Main().chkSnapGrid->isChecked(), row.gridOn);
        EXPECT_EQ(run.Main().chkSnapEdges->isChecked(), row.edgesOn);
        EXPECT_EQ(run.Main().chkSnapNotes->isChecked(), row.notesOn);
    }
}

TEST(Settings, EveryBoundSettingReachesItsControlAndBack) {
    Session run;
    run.WriteIni("[Booleans]\r\nbRandomColor=0\r\nbSnapGrid=0\r\nbSnapEdges=0\r\nbSnapNotes=1\r\n"
                 "bStartup=0\r\nbBringToFront=1\r\nbRemoveStayOnTop=0\r\nbWinXPShadow=0\r\n"
                 "bPLayWAV1=1\r\nbPlayWAV2=0\r\nbConfirmDeletes=0\r\nbShowReadOnly=0\r\n"
                 "bShowOnTop=1\r\n"
                 "[Integers]\r\niLastX=10\r\niLastY=20\r\niGridX=16\r\niGridY=24\r\n"
                 "iDefaultFontSize=11\r\n"
                 "[Strings]\r\nsDefaultFontName=DejaVu Sans\r\nsIdentity=eve\r\n"
                 "sWAVFilename1=/a.wav\r\nsWAVFilename2=/b.wav\r\nsLastSend=host:1\r\n"
                 "sICODir=/icons\r\nsTrayIcon=/no/such.ico\r\nsNotesTitle=N $id$\r\n"
                 "sPort=1234\r\n");
    ASSERT_TRUE(run.Start());
    TfrmMain& main = run.Main();
    EXPECT_FALSE(main.chkRandomColor->isChecked());
    EXPECT_FALSE(main.chkSnapGrid->isChecked());
    EXPECT_FALSE(main.chkSnapEdges->isChecked());
    EXPECT_TRUE(main.chkSnapNotes->isChecked());
    EXPECT_FALSE(main.chkStartup->isChecked());
    EXPECT_TRUE(main.chkBringToFront->isChecked());
    EXPECT_FALSE(main.chkRemoveStayOnTop->isChecked());
    EXPECT_FALSE(main.chkWinXPShadow->isChecked());
    EXPECT_TRUE(main.chkPlayWav1->isChecked());
    EXPECT_FALSE(main.chkPlayWav2->isChecked());
    EXPECT_FALSE(main.chkConfirmDeletes->isChecked());
    EXPECT_FALSE(main.chkShowReadOnly->isChecked());
    EXPECT_TRUE(main.chkShowOnTop->isChecked());
    EXPECT_EQ(main.spnGridX->value(), 16);
    EXPECT_EQ(main.spnGridY->value(), 24);
    EXPECT_EQ(main.edtIdentity->text(), QStringLiteral("eve"));
    EXPECT_EQ(main.edtWAV1->text(), QStringLiteral("/a.wav"));
    EXPECT_EQ(main.edtWAV2->text(), QStringLiteral("/b.wav"));
    EXPECT_EQ(main.LastSendAddress, "host:1");
    EXPECT_EQ(main.IconFolder, "/icons");
    EXPECT_EQ(main.TrayIconFile, ""); // the file is missing
    EXPECT_EQ(main.edtNotesTitle->text(), QStringLiteral("N $id$"));
    EXPECT_EQ(main.edtPort->text(), QStringLiteral("1234"));
    EXPECT_EQ(main.lblFont->text(), QStringLiteral("DejaVu Sans 11pt"));
    EXPECT_EQ(main.LastPanelX, 10);
    EXPECT_EQ(main.LastPanelY, 20);
    EXPECT_EQ(main.NotesTitle(), "N $id$");
    EXPECT_FALSE(main.ShowReadOnlyMarks());
    EXPECT_TRUE(main.ShowOnTopMarks());

    main.spnGridY->setValue(32);
    main.edtWAV2->setText(QStringLiteral("/c.wav"));
    const std::string file = ReadFixture(run.IniPath());
    main.StoreControlsToSettings();
    EXPECT_EQ(ReadFixture(run.IniPath()), file); // only the lists change
    const TqzRegVal& ini = main.Ini();
    EXPECT_FALSE(ini.GetBoolean("bRandomColor"));
    EXPECT_TRUE(ini.GetBoolean("bSnapNotes"));
    EXPECT_FALSE(ini.GetBoolean("bSnapEdges"));
    EXPECT_TRUE(ini.GetBoolean("bBringToFront"));
    EXPECT_FALSE(ini.GetBoolean("bRemoveStayOnTop"));
    EXPECT_TRUE(ini.GetBoolean("bPlayWAV1"));
    EXPECT_FALSE(ini.GetBoolean("bPlayWAV2"));
    EXPECT_FALSE(ini.GetBoolean("bShowReadOnly"));
    EXPECT_TRUE(ini.GetBoolean("bShowOnTop"));
    EXPECT_FALSE(ini.GetBoolean("bNetworking"));
    EXPECT_EQ(ini.GetInteger("iGridX"), 16);
    EXPECT_EQ(ini.GetInteger("iGridY"), 32);
    EXPECT_EQ(ini.GetInteger("iLastX"), 10);
    EXPECT_EQ(ini.GetInteger("iLastY"), 20);
    EXPECT_EQ(ini.GetString("sWAVFilename1"), "/a.wav");
    EXPECT_EQ(ini.GetString("sWAVFilename2"), "/c.wav");
    EXPECT_EQ(ini.GetString("sLastSend"), "host:1");
    EXPECT_EQ(ini.GetString("sICODir"), "/icons");
    EXPECT_EQ(ini.GetString("sTrayIcon"), "");
    EXPECT_EQ(ini.GetString("sPort"), "1234");
    EXPECT_EQ(ini.GetString("sDefaultFontName"), "DejaVu Sans");
}

TEST(Settings, PanelPositionOffEveryWorkAreaIsCentred) {
    // the panel is 402 x 297: centred on 1024 x 768 at (311, 235)
    const struct {
        int32_t x, y;
        QPoint panel;
    } rows[] = {{200, 150, {200, 150}},  {3000, 100, {311, 235}}, {1024, 738, {1024, 738}},
                {1025, 100, {311, 235}}, {-1, 0, {311, 235}},     {100, 750, {311, 235}}};
    for (const auto& row : rows) {
        SCOPED_TRACE(testing::Message() << row.x << "," << row.y);
        Session run;
        run.WriteIni("[Integers]\r\niLastX=" + std::to_string(row.x) +
                     "\r\niLastY=" + std::to_string(row.y) + "\r\n" + kKnownUser);
        ASSERT_TRUE(run.Start());
        EXPECT_EQ(run.Main().LastPanelX, row.panel.x());
        EXPECT_EQ(run.Main().LastPanelY, row.panel.y());
        EXPECT_EQ(run.Main().PanelPlace(), row.panel);
    }
}

} // namespace
