#include "PanelRun.h"

#include "UFileUtil.h"
#include "UNoteFiles.h"
#include "UNotesList.h"
#include "UQtColors.h"
#include "UfrmFind.h"

#include <QAction>
#include <QCheckBox>
#include <QCoreApplication>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabWidget>

#include <limits>
#include <string>
#include <vector>

namespace {

// A started program with notes whose texts and flags the test chooses.
struct NotesRun : Panel {
    // A note file and record of that number, opened the way start-up opens stored notes.
    TfrmNote& OpenStored(int32_t id, const std::string& text, bool systemNote, bool chat) {
        WriteFixture(NoteFileName(Folder.Path(), id), text);
        TNoteConfig record = TNoteConfig::CreateWithId(Main().NoteDefaults(), id);
        record.SystemNote = systemNote;
        record.Chat = chat;
        Main().Store().Add(id, record);
        Main().NoteNumbers().Raise(id);
        return App->Factory().OpenNoteWindow(id);
    }
    TfrmNote* AddText(const std::string& text, int32_t left = 10, int32_t top = 20) {
        return App->Factory().CreateNoteWindow(text, left, top, 128, 128, -1, "", -1, -1, false,
                                               false);
    }
    void Select(int row) {
        QListView* list = Main().lbNotes;
        list->setCurrentIndex(list->model()->index(row, 0));
    }
    std::vector<std::string> EntryTexts() {
        std::vector<std::string> texts;
        QAbstractItemModel* model = Main().lbNotes->model();
        for (int row = 0; row < model->rowCount(); ++row)
            texts.push_back(model->index(row, 0).data().toString().toStdString());
        return texts;
    }
    TfrmNote* NoteWithId(int32_t id) {
        for (TfrmNote* note : Main().Notes())
            if (note->NoteId() == id)
                return note;
        return nullptr;
    }
    QString Pos() { return Main().lblPos->text(); }
    QString Size() { return Main().lblSize->text(); }
};

TEST(NotesList, EntriesInOpeningOrderWithTheirKindAndNumber) {
    NotesRun run;
    ASSERT_TRUE(run.started);
    run.OpenStored(12, "chat", false, true);
    run.OpenStored(7, "system", true, false);
    run.OpenStored(9, "both flags: the chat wins", true, true);
    TfrmNote* plain = run.AddText("plain");
    ASSERT_NE(plain, nullptr);
    EXPECT_EQ(run.EntryTexts(),
              (std::vector<std::string>{"Vorn-Chat [12]", "System Vorn-Note [7]", "Vorn-Chat [9]",
                                        "Vorn-Note [" + std::to_string(plain->NoteId()) + "]"}));
    EXPECT_EQ(run.Main().Notes().back(), plain);
    // every listed note has a record
    EXPECT_NE(run.Main().Store().Get(plain->NoteId()), nullptr);
}

TEST(NotesList, EntriesAreDrawnInTheirNotesColours) {
    NotesRun run;
    ASSERT_TRUE(run.started);
    TfrmNote* red = run.AddText("a");
    TfrmNote* blue = run.AddText("b");
    ASSERT_TRUE(red && blue);
    red->SetNoteColor(0x0000FF);
    blue->SetNoteColor(0xFF0000);
    blue->SetBodyFont("DejaVu Sans", 10, 0xFFFFFF);
    TfrmMain& main = run.Main();
    main.pcMain->setCurrentWidget(main.tabNotes);
    const QImage list = main.lbNotes->viewport()->grab().toImage();
    const QRect first = main.lbNotes->visualRect(main.lbNotes->model()->index(0, 0));
    const QRect second = main.lbNotes->visualRect(main.lbNotes->model()->index(1, 0));
    EXPECT_EQ(first.height(), 16);
    EXPECT_EQ(list.pixelColor(first.right() - 2, first.center().y()), QColor(255, 0, 0));
    EXPECT_EQ(list.pixelColor(second.right() - 2, second.center().y()), QColor(0, 0, 255));
    // the entry text is written in the note's font colour
    bool white = false;
    for (int x = second.left(); x < second.left() + 40 && !white; ++x)
        for (int y = second.top(); y <= second.bottom() && !white; ++y)
            white = list.pixelColor(x, y).lightness() > 200;
    EXPECT_TRUE(white);
}

TEST(NotesDetails, SelectedNoteShowsItsPlaceNormalSizeAndText) {
    NotesRun run;
    ASSERT_TRUE(run.started);
    TfrmMain& main = run.Main();
    EXPECT_EQ(run.Pos(), QStringLiteral("..."));
    EXPECT_EQ(run.Size(), QStringLiteral("..."));
    EXPECT_FALSE(main.btnUpdate->isEnabled());

    TfrmNote* note = run.AddText("first\r\nsecond", 40, 60);
    ASSERT_NE(note, nullptr);
    note->resize(150, 90);
    note->SetNoteColor(0x00FFFF);
    run.Select(0);
    EXPECT_EQ(run.Pos(), QStringLiteral("40, 60"));
    EXPECT_EQ(run.Size(), QStringLiteral("150 x 90 pixels"));
    EXPECT_EQ(main.memContents->toPlainText(), QStringLiteral("first\nsecond"));
    EXPECT_EQ(main.memContents->palette().color(QPalette::Base), QColor(255, 255, 0));
    EXPECT_TRUE(main.btnUpdate->isEnabled());

    // a rolled-up note shows the size it returns to
    main.ppmMinimize->trigger();
    EXPECT_TRUE(note->IsMinimized());
    EXPECT_EQ(run.Size(), QStringLiteral("150 x 90 pixels"));
    main.ppmMaximize->trigger();
    EXPECT_FALSE(note->IsMinimized());
    EXPECT_EQ(note->size(), QSize(150, 90));

    // the pane is not refreshed by changes in the note itself
    note->move(70, 80);
    EXPECT_EQ(run.Pos(), QStringLiteral("40, 60"));
    main.ShowNoteDetails();
    EXPECT_EQ(run.Pos(), QStringLiteral("70, 80"));

    // read-only notes cannot be changed from the pane
    note->SetReadOnly(true);
    main.ShowNoteDetails();
    EXPECT_TRUE(main.memContents->isReadOnly());
    EXPECT_FALSE(main.btnUpdate->isEnabled());
}

TEST(NotesDetails, UpdateReplacesTheTextAndMarksTheNoteModified) {
    NotesRun run;
    ASSERT_TRUE(run.started);
    TfrmMain& main = run.Main();
    TfrmNote* note = run.AddText("old");
    ASSERT_NE(note, nullptr);
    run.Select(0);
    main.memContents->setPlainText(QStringLiteral("new\nlines"));
    main.btnUpdate->click();
    EXPECT_EQ(note->Text(), "new\r\nlines");
    EXPECT_TRUE(note->IsModified());
    EXPECT_EQ(ReadFixture(NoteFileName(run.Folder.Path(), note->NoteId())), "old");
    run.Find<QAction>("pmSaveAllNotesnow")->trigger();
    EXPECT_EQ(ReadFixture(NoteFileName(run.Folder.Path(), note->NoteId())), "new\r\nlines");
}

TEST(NotesDetails, ChatEntryKeepsTheTextShownBefore) {
    NotesRun run;
    ASSERT_TRUE(run.started);
    run.OpenStored(3, "plain text", false, false);
    run.OpenStored(4, "chat text", false, true);
    run.Select(0);
    run.Select(1);
    EXPECT_EQ(run.Main().memContents->toPlainText(), QStringLiteral("plain text"));
    EXPECT_EQ(run.Pos(),
              QStringLiteral("%1, %2").arg(run.NoteWithId(4)->x()).arg(run.NoteWithId(4)->y()));
}

TEST(NotesPopup, RightClickSelectsTheEntryAndNamesItsKind) {
    NotesRun run;
    ASSERT_TRUE(run.started);
    TfrmMain& main = run.Main();
    run.OpenStored(5, "plain", false, false);
    run.OpenStored(6, "chat", false, true);
    main.pcMain->setCurrentWidget(main.tabNotes);
    const auto centre = [&main](int row) {
        return main.lbNotes->visualRect(main.lbNotes->model()->index(row, 0)).center();
    };

    main.lbNotesRightClick(centre(1));
    EXPECT_EQ(main.SelectedNote(), run.NoteWithId(6));
    EXPECT_EQ(main.ppmDelete->text(), QStringLiteral("&Delete this Vorn-Chat"));
    EXPECT_FALSE(main.cmSendNoteOverNetwork->isVisible());

    main.lbNotesRightClick(centre(0));
    EXPECT_EQ(main.SelectedNote(), run.NoteWithId(5));
    EXPECT_EQ(main.ppmDelete->text(), QStringLiteral("&Delete this Vorn-Note"));
    EXPECT_EQ(run.Pos(),
              QStringLiteral("%1, %2").arg(run.NoteWithId(5)->x()).arg(run.NoteWithId(5)->y()));

    // below the last entry nothing changes
    main.lbNotesRightClick(QPoint(10, centre(1).y() + 40));
    EXPECT_EQ(main.SelectedNote(), run.NoteWithId(5));
    EXPECT_EQ(main.ppmDelete->text(), QStringLiteral("&Delete this Vorn-Note"));

    const std::vector<QString> captions = [&main] {
        std::vector<QString> texts;
        for (const QAction* action : main.ppmNotes->actions())
            texts.push_back(action->isSeparator() ? QStringLiteral("-") : action->text());
        return texts;
    }();
    EXPECT_EQ(captions, (std::vector<QString>{QStringLiteral("通过网络发送这个 Vorn-Note (&S)..."),
                                              QStringLiteral("-"), QStringLiteral("最&小化"),
                                              QStringLiteral("最&大化"), QStringLiteral("-"),
                                              QStringLiteral("&Delete this Vorn-Note")}));
}

TEST(NotesPopup, DeleteRemovesTheEntryAndClearsThePane) {
    NotesRun run;
    ASSERT_TRUE(run.started);
    TfrmMain& main = run.Main();
    TfrmNote* keep = run.AddText("keep");
    TfrmNote* gone = run.AddText("gone");
    ASSERT_TRUE(keep && gone);
    const int32_t id = gone->NoteId();
    run.Select(1);
    ASSERT_EQ(main.memContents->toPlainText(), QStringLiteral("gone"));

    run.Prompt.Answers = {true}; // deleting asks by default
    main.ppmDelete->trigger();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(run.Prompt.Questions,
              std::vector<std::string>{"Are you sure you want to delete this VornNote?"});
    EXPECT_EQ(main.Notes(), std::vector<TfrmNote*>{keep});
    EXPECT_EQ(run.EntryTexts().size(), 1u);
    EXPECT_EQ(run.Pos(), QStringLiteral("..."));
    EXPECT_EQ(run.Size(), QStringLiteral("..."));
    EXPECT_TRUE(main.memContents->toPlainText().isEmpty());
    EXPECT_FALSE(main.btnUpdate->isEnabled());
    EXPECT_FALSE(FileExists(NoteFileName(run.Folder.Path(), id)));
    EXPECT_EQ(ReadFixture(DeletedNoteFileName(run.Folder.Path(), id)), "gone");
    EXPECT_NE(main.Store().Get(id), nullptr); // kept for undelete

    // with nothing selected the popup's commands do nothing
    main.ppmDelete->trigger();
    main.ppmMinimize->trigger();
    EXPECT_EQ(main.Notes(), std::vector<TfrmNote*>{keep});
    EXPECT_FALSE(keep->IsMinimized());
}

TEST(Find, EveryMatchingNoteIsRestoredAndTheRestLeftAlone) {
    NotesRun run;
    ASSERT_TRUE(run.started);
    TfrmNote* lower = run.AddText("one abc two");
    TfrmNote* upper = run.AddText("xABCx");
    TfrmNote* mixed = run.AddText("line\r\naBc");
    TfrmNote* other = run.AddText("nothing here");
    ASSERT_TRUE(lower && upper && mixed && other);
    const struct {
        const char* what;
        const char* text;
        bool matchCase;
        std::vector<TfrmNote*> restored;
        std::vector<std::string> messages;
    } rows[] = {
        {"three matches without match case", "ABC", false, {lower, upper, mixed}, {}},
        {"match case", "ABC", true, {upper}, {}},
        {"across a line break", "line\r\na", true, {mixed}, {}},
        {"no match quotes the small letters",
         "XYZ",
         false,
         {},
         {"Searched all notes and did not find \"xyz\""}},
        {"no match with match case",
         "XYZ",
         true,
         {},
         {"Searched all notes and did not find \"XYZ\""}},
        {"empty text", "", false, {}, {"Searched all notes and did not find \"\""}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        run.Prompt.Messages.clear();
        run.Find<QAction>("cmMinimizeAll")->trigger();
        run.Main().FindInNotes(row.text, row.matchCase);
        for (TfrmNote* note : {lower, upper, mixed, other}) {
            const bool found =
                std::find(row.restored.begin(), row.restored.end(), note) != row.restored.end();
            EXPECT_EQ(note->IsMinimized(), !found) << note->Text();
        }
        EXPECT_EQ(run.Prompt.Messages, row.messages);
    }
}

TEST(Find, TheDialogSearchesWithItsTextAndMatchCase) {
    NotesRun run;
    ASSERT_TRUE(run.started);
    TfrmNote* note = run.AddText("Needle");
    ASSERT_NE(note, nullptr);
    note->Minimize();
    run.Find<QAction>("cmFind")->trigger();
    TfrmFind* dialog = run.Main().dlgFind;
    ASSERT_NE(dialog, nullptr);
    EXPECT_TRUE(dialog->isVisible());
    EXPECT_FALSE(dialog->isModal());
    dialog->edtFind->setText(QStringLiteral("needle"));
    dialog->chkMatchCase->setChecked(true);
    dialog->btnFindNext->click();
    EXPECT_TRUE(note->IsMinimized());
    EXPECT_EQ(run.Prompt.Messages,
              std::vector<std::string>{"Searched all notes and did not find \"needle\""});
    dialog->chkMatchCase->setChecked(false);
    dialog->btnFindNext->click();
    EXPECT_FALSE(note->IsMinimized());
    // asking again shows the same dialog
    run.Find<QAction>("cmFind")->trigger();
    EXPECT_EQ(run.Main().dlgFind, dialog);
}

// The undelete dialog looks for deleted files in the notes folder and keeps its own filter.
struct UndeleteRun : NotesRun {
    const std::string ImportFilter = "Text Files (*.txt)|*.txt|All Files (*.*)|*.*";
    std::string Deleted(int32_t id) const { return DeletedNoteFileName(Folder.Path(), id); }
    std::string Live(int32_t id) const { return NoteFileName(Folder.Path(), id); }
    void Undelete(const std::string& chosen) {
        Dialogs.Files = {chosen};
        Find<QAction>("mmUndeleteVornNote")->trigger();
        ASSERT_FALSE(Dialogs.Opened.empty());
        const TFileDialogOptions& shown = Dialogs.Opened.back();
        EXPECT_EQ(shown.Filter, "Deleted Text Files (*.~txt)|*.~txt");
        EXPECT_EQ(shown.InitialDir, NotesFolder(Folder.Path()));
        EXPECT_EQ(shown.Title, "导入文本文件");
        EXPECT_EQ(shown.DefaultExt, "txt");
        EXPECT_EQ(Main().dlgOpen.Filter, ImportFilter);
    }
};

TEST(Undelete, RolledUpNoteComesBackRestoredAtItsPlace) {
    UndeleteRun run;
    ASSERT_TRUE(run.started);
    TfrmNote* note = run.AddText("deleted text", 200, 150);
    ASSERT_NE(note, nullptr);
    const int32_t id = note->NoteId();
    note->SetNoteColor(0x123456);
    note->Minimize();
    run.Prompt.Answers = {true};
    note->pmDeleteClick();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    ASSERT_TRUE(run.Main().Notes().empty());
    ASSERT_TRUE(run.Main().Store().Get(id)->Minimized);

    run.Undelete(run.Deleted(id));
    ASSERT_EQ(run.Main().Notes().size(), 1u);
    TfrmNote* back = run.Main().Notes().front();
    EXPECT_EQ(back->NoteId(), id);
    EXPECT_FALSE(back->IsMinimized());
    EXPECT_EQ(back->geometry(), QRect(200, 150, 128, 128));
    EXPECT_EQ(back->NoteColor(), 0x123456);
    EXPECT_EQ(back->Text(), "deleted text");
    EXPECT_FALSE(FileExists(run.Deleted(id)));
    EXPECT_TRUE(run.Prompt.Messages.empty());
}

TEST(Undelete, FileWhoseNoteIsLiveOpensAsANewNote) {
    UndeleteRun run;
    ASSERT_TRUE(run.started);
    TfrmNote* live = run.AddText("live");
    ASSERT_NE(live, nullptr);
    const int32_t id = live->NoteId();
    WriteFixture(run.Deleted(id), "old\nversion");
    run.Undelete(run.Deleted(id));
    ASSERT_EQ(run.Main().Notes().size(), 2u);
    TfrmNote* copy = run.Main().Notes().back();
    EXPECT_GT(copy->NoteId(), id);
    EXPECT_EQ(copy->Text(), "old\r\nversion\r\n");
    EXPECT_EQ(ReadFixture(run.Deleted(id)), "old\nversion");
    EXPECT_EQ(ReadFixture(run.Live(id)), "live");
}

TEST(Undelete, FilesThatCannotComeBackBecomeNewNotesWithAMessage) {
    UndeleteRun run;
    ASSERT_TRUE(run.started);
    const std::string folder = NotesFolder(run.Folder.Path()) + "/";
    WriteFixture(folder + "notes.~txt", "no number");
    run.Undelete(folder + "notes.~txt");
    ASSERT_EQ(run.Main().Notes().size(), 1u);
    EXPECT_EQ(run.Main().Notes().back()->Text(), "no number\r\n");
    EXPECT_EQ(run.Prompt.Messages,
              std::vector<std::string>{UndeleteWithoutNumberMessage(folder + "notes.~txt")});
    EXPECT_TRUE(FileExists(folder + "notes.~txt"));
    EXPECT_FALSE(FileExists(run.Live(-1)));

    // the file is gone by the time it is renamed
    run.Prompt.Messages.clear();
    run.Undelete(run.Deleted(99));
    EXPECT_EQ(run.Prompt.Messages,
              std::vector<std::string>{UndeleteRenameFailedMessage(run.Deleted(99), run.Live(99))});
    EXPECT_EQ(run.Main().Notes().size(), 2u);
    EXPECT_EQ(run.NoteWithId(99), nullptr);
}

TEST(Undelete, FilterComesBackAfterCancelAndAfterAnError) {
    UndeleteRun run;
    ASSERT_TRUE(run.started);
    run.Undelete(""); // cancelled
    EXPECT_TRUE(run.Main().Notes().empty());

    TfrmNote* live = run.AddText("live");
    ASSERT_NE(live, nullptr);
    WriteFixture(run.Deleted(live->NoteId()), "copy");
    run.Main().NoteNumbers().Raise(std::numeric_limits<int32_t>::max()); // no number left
    run.Undelete(run.Deleted(live->NoteId()));
    EXPECT_EQ(run.Prompt.Errors.size(), 1u);
    EXPECT_EQ(run.Main().Notes().size(), 1u);
}

} // namespace
