#include "FakeHost.h"
#include "Fakes.h"
#include "TestApplication.h"
#include "UFileUtil.h"
#include "UNoteBody.h"
#include "UNoteFiles.h"
#include "UfrmNote.h"

#include <QAction>
#include <QApplication>
#include <QDropEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QPointer>
#include <QUrl>

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace {

class NoteCommands : public ::testing::Test {
protected:
    NoteCommands() {
        EnsureApplication();
        note = std::make_unique<TfrmNote>(host);
        note->SetNoteId(7);
        note->move(100, 200);
        note->resize(200, 150);
        note->show();
    }

    QPlainTextEdit& Editor() { return *note->Body().Editor(); }
    // A key pressed and released in the body, as typing does it.
    void Key(int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier,
             const QString& text = QString()) {
        QKeyEvent press(QEvent::KeyPress, key, modifiers, text);
        QApplication::sendEvent(&Editor(), &press);
        QKeyEvent release(QEvent::KeyRelease, key, modifiers, text);
        QApplication::sendEvent(&Editor(), &release);
    }
    QAction& Entry(const char* name) {
        auto* action = note->NoteMenu().findChild<QAction*>(QString::fromLatin1(name));
        EXPECT_NE(action, nullptr) << name;
        return *action;
    }
    std::string File(const char* name) const { return host.Folder.File(name); }

    FakeHost host;
    std::unique_ptr<TfrmNote> note;
};

// ---- keys -------------------------------------------------------------------------------------

TEST(NoteKeys, TableOfReleasedKeys) {
    using C = TNoteKeyCommand;
    const Qt::KeyboardModifiers none = Qt::NoModifier;
    const Qt::KeyboardModifiers ctrl = Qt::ControlModifier;
    const Qt::KeyboardModifiers shift = Qt::ShiftModifier;
    const Qt::KeyboardModifiers alt = Qt::AltModifier;
    const struct {
        int key;
        Qt::KeyboardModifiers modifiers;
        TNoteKeyCommand want;
    } rows[] = {
        {Qt::Key_A, ctrl, C::SelectAll},
        {Qt::Key_A, ctrl | shift, C::SelectAll},
        {Qt::Key_A, none, C::None},
        {Qt::Key_S, ctrl, C::Save},
        {Qt::Key_S, none, C::None},
        {Qt::Key_F2, none, C::ControlPanel},
        {Qt::Key_F2, shift | alt, C::ControlPanel},
        {Qt::Key_F4, ctrl, C::Delete},
        {Qt::Key_F4, none, C::None},
        {Qt::Key_F4, shift, C::None},
        {Qt::Key_F5, none, C::None},
        {Qt::Key_F6, none, C::None},
        {Qt::Key_F9, none, C::BackgroundColor},
        {Qt::Key_F10, ctrl, C::NewRandomColor},
        {Qt::Key_F11, ctrl, C::Font},
        {Qt::Key_F11, ctrl | shift, C::Font},
        {Qt::Key_F11, none, C::FontColor},
        {Qt::Key_F11, Qt::KeypadModifier, C::FontColor},
        {Qt::Key_F11, shift, C::None},
        {Qt::Key_F11, alt, C::None},
        {Qt::Key_F12, alt, C::NewRandomFontColor},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(testing::Message() << std::hex << row.key << " " << row.modifiers.toInt());
        EXPECT_EQ(NoteKeyCommand(row.key, row.modifiers), row.want);
    }
}

TEST_F(NoteCommands, KeysActWhenReleasedInTheBody) {
    Key(Qt::Key_A, Qt::NoModifier, QStringLiteral("a"));
    Key(Qt::Key_B, Qt::NoModifier, QStringLiteral("b"));
    EXPECT_EQ(note->Text(), "ab") << "letters reach the body";
    EXPECT_TRUE(note->IsModified());

    Editor().moveCursor(QTextCursor::End);
    QKeyEvent selectAll(QEvent::KeyRelease, Qt::Key_A, Qt::ControlModifier);
    QApplication::sendEvent(&Editor(), &selectAll); // the release alone selects
    EXPECT_EQ(Editor().textCursor().selectedText(), QStringLiteral("ab"));

    Key(Qt::Key_S, Qt::ControlModifier);
    EXPECT_EQ(ReadFixture(host.NoteFile(7)), "ab");
    EXPECT_FALSE(note->IsModified());

    Key(Qt::Key_F2);
    EXPECT_EQ(host.Commands, std::vector<std::string>{"panel"});

    host.Dialog.ColorsShown.clear();
    Key(Qt::Key_F11, Qt::ShiftModifier);
    EXPECT_TRUE(host.Dialog.ColorsShown.empty());
    EXPECT_TRUE(host.Dialog.FontsShown.empty());
    Key(Qt::Key_F11);
    EXPECT_EQ(host.Dialog.ColorsShown, std::vector<int32_t>{note->FontColor()});
    Key(Qt::Key_F11, Qt::ControlModifier);
    EXPECT_EQ(host.Dialog.FontsShown.size(), 1u);
    Key(Qt::Key_F9);
    EXPECT_EQ(host.Dialog.ColorsShown.back(), note->NoteColor());
    EXPECT_EQ(note->Text(), "ab") << "no key of the table typed anything";
}

TEST_F(NoteCommands, KeysReachTheNoteWithoutAnEditorToo) {
    note->Minimize();
    QKeyEvent release(QEvent::KeyRelease, Qt::Key_F2, Qt::NoModifier);
    QApplication::sendEvent(note.get(), &release);
    EXPECT_EQ(host.Commands, std::vector<std::string>{"panel"});
}

TEST_F(NoteCommands, CtrlF4DeletesAndAsksForAReadOnlyNote) {
    note->SaveText();
    note->SetReadOnly(true);
    host.Prompter.Answers = {false};
    Key(Qt::Key_F4, Qt::ControlModifier);
    ASSERT_EQ(host.Prompter.Questions.size(), 1u);
    EXPECT_EQ(host.Prompter.Questions[0].rfind("This is a Read-Only VornNote!\r\n", 0), 0u);
    EXPECT_TRUE(host.Unregistered.empty());

    note->SetReadOnly(false);
    QPointer<TfrmNote> watch(note.release());
    QKeyEvent release(QEvent::KeyRelease, Qt::Key_F4, Qt::ControlModifier);
    QApplication::sendEvent(&watch->Body(), &release);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(watch.isNull());
    EXPECT_EQ(host.Prompter.Questions.size(), 1u) << "an ordinary note goes without asking";
    EXPECT_EQ(host.Unregistered, std::vector<int32_t>{7});
    EXPECT_TRUE(FileExists(DeletedNoteFileName(host.Folder.Path(), 7)));
}

// ---- the menu ---------------------------------------------------------------------------------

TEST_F(NoteCommands, MenuEntriesInOrder) {
    QMenu& menu = note->NoteMenu();
    // name, caption with the shown key after a tab; "-" a separator
    const std::vector<std::pair<std::string, std::string>> want = {
        {"pmControlPanel", "&控制面板\tF2"},
        {"-", ""},
        {"pmSaveVornNote", "保存这个VornNote\tCtrl+S"},
        {"pmSendNoteOverNetwork", "通过网络发送这个 Vorn-Note (&S)...\tF5"},
        {"-", ""},
        {"", "外观（颜色＆字体）(&&A)"},
        {"-", ""},
        {"pmImportTextFile", "导入文本文件(&I)"},
        {"pmExportTextFile", "导出文本文件(&E)"},
        {"cmOpeninDefaultTextEditor", "打开默认的文本编辑器(&O)"},
        {"-", ""},
        {"pmNewVornNote", "新建 Vorn-Note(&N)\tF4"},
        {"pmNewVornChat", "&新建 Vorn-Chat\tF6"},
        {"pmDelete", "删除这个便笺(&D)\tCtrl+F4"},
        {"-", ""},
        {"pmReadOnly", "只读(&R)"},
        {"pmStayOnTop", "保持在最前面(&T)"},
        {"-", ""},
        {"pmExitApplication", "退出应用(&X)..."},
    };
    std::vector<std::pair<std::string, std::string>> got;
    for (QAction* action : menu.actions())
        got.push_back(action->isSeparator() ? std::pair<std::string, std::string>{"-", ""}
                                            : std::pair{action->objectName().toStdString(),
                                                        action->text().toStdString()});
    EXPECT_EQ(got, want);

    QMenu* appearance = menu.findChild<QMenu*>(QStringLiteral("pmAppearance"));
    ASSERT_NE(appearance, nullptr);
    EXPECT_EQ(menu.actions()[5]->menu(), appearance);
    std::vector<std::string> sub;
    for (QAction* action : appearance->actions())
        sub.push_back(action->isSeparator() ? "-" : action->text().toStdString());
    EXPECT_EQ(sub, (std::vector<std::string>{"背景颜色(&B)\tF9", "新的随机颜色(&R)\tF10", "-",
                                             "字体(&F)\tCtrl+F11", "字体颜色(&O)\tF11",
                                             "新的随机字体颜色(&N)\tF12"}));

    EXPECT_FALSE(Entry("pmNewVornChat").isVisible());
    EXPECT_FALSE(Entry("pmNewVornChat").isEnabled());
    for (QAction* action : menu.actions())
        EXPECT_TRUE(action->shortcut().isEmpty()) << "the note's keys act, not the menu's";
}

TEST_F(NoteCommands, CheckMarksFollowTheFlagsAndTheEntriesToggleThem) {
    EXPECT_FALSE(Entry("pmReadOnly").isChecked());
    EXPECT_FALSE(Entry("pmStayOnTop").isChecked());
    note->SetReadOnly(true);
    note->SetStayOnTop(true);
    note->NoteMenu();
    EXPECT_TRUE(Entry("pmReadOnly").isChecked());
    EXPECT_TRUE(Entry("pmStayOnTop").isChecked());

    Entry("pmReadOnly").trigger();
    Entry("pmStayOnTop").trigger();
    EXPECT_FALSE(note->IsReadOnly());
    EXPECT_FALSE(note->Body().IsReadOnly());
    EXPECT_FALSE(note->IsOnTop());
    note->NoteMenu();
    EXPECT_FALSE(Entry("pmReadOnly").isChecked());
    EXPECT_FALSE(Entry("pmStayOnTop").isChecked());

    // read-only saves what was typed first
    note->SetText("typed");
    Entry("pmReadOnly").trigger();
    EXPECT_TRUE(note->IsReadOnly());
    EXPECT_EQ(ReadFixture(host.NoteFile(7)), "typed");
}

TEST_F(NoteCommands, EntriesReachTheProgramsCommands) {
    note->SetText("unsaved");
    Entry("pmSaveVornNote").trigger();
    EXPECT_EQ(ReadFixture(host.NoteFile(7)), "unsaved");
    Entry("pmSaveVornNote").trigger(); // saves although nothing changed
    EXPECT_FALSE(note->IsModified());

    Entry("pmControlPanel").trigger();
    Entry("pmSendNoteOverNetwork").trigger();
    Entry("pmNewVornNote").trigger();
    EXPECT_EQ(host.Commands, (std::vector<std::string>{"panel", "send 7", "new"}));

    // exiting destroys every note, this one too, so it waits until the menu has returned
    Entry("pmExitApplication").trigger();
    EXPECT_EQ(host.Commands.size(), 3u);
    QCoreApplication::processEvents();
    EXPECT_EQ(host.Commands.back(), "exit");
}

// ---- colours and font -------------------------------------------------------------------------

TEST_F(NoteCommands, ColourCommandsChangeTheLookButNotTheText) {
    note->SetNoteColor(PackColor(10, 20, 30));
    host.Dialog.Colors = {PackColor(200, 100, 50)};
    Entry("pmBackgroundColor").trigger();
    EXPECT_EQ(host.Dialog.ColorsShown, std::vector<int32_t>{PackColor(10, 20, 30)});
    EXPECT_EQ(note->NoteColor(), PackColor(200, 100, 50));
    EXPECT_EQ(note->TitleColors(), TitleColorsFor(PackColor(200, 100, 50)));
    Entry("pmBackgroundColor").trigger(); // cancelled
    EXPECT_EQ(note->NoteColor(), PackColor(200, 100, 50));

    note->SetBodyFont("DejaVu Sans", 9, PackColor(1, 2, 3));
    host.Dialog.Colors = {PackColor(0, 0, 255)};
    Entry("pmFontColor").trigger();
    EXPECT_EQ(host.Dialog.ColorsShown.back(), PackColor(1, 2, 3));
    EXPECT_EQ(note->FontColor(), PackColor(0, 0, 255));
    EXPECT_EQ(Editor().palette().color(QPalette::Text), QColor(0, 0, 255));
    Entry("pmFontColor").trigger(); // cancelled
    EXPECT_EQ(note->FontColor(), PackColor(0, 0, 255));

    // random colours: a run of draws that all gave the old colour would be no change at all
    bool noteChanged = false;
    bool fontChanged = false;
    for (int i = 0; i < 5; ++i) {
        const TColor before = note->NoteColor();
        const TColor fontBefore = note->FontColor();
        Entry("pmNewRandomColor").trigger();
        Entry("pmNewRandomFontColor").trigger();
        noteChanged = noteChanged || note->NoteColor() != before;
        fontChanged = fontChanged || note->FontColor() != fontBefore;
        EXPECT_EQ(note->TitleColors(), TitleColorsFor(note->NoteColor()));
    }
    EXPECT_TRUE(noteChanged);
    EXPECT_TRUE(fontChanged);
    EXPECT_FALSE(note->IsModified());
}

TEST_F(NoteCommands, FontDialogStartsWithTheBodyFontAndSetsFaceSizeAndColour) {
    note->SetBodyFont("DejaVu Sans", 9, PackColor(1, 2, 3));
    host.Dialog.Fonts = {{"DejaVu Serif", 14, PackColor(128, 0, 0)}};
    Entry("pmFont").trigger();
    ASSERT_EQ(host.Dialog.FontsShown.size(), 1u);
    EXPECT_EQ(host.Dialog.FontsShown[0].Name, "DejaVu Sans");
    EXPECT_EQ(host.Dialog.FontsShown[0].Size, 9);
    EXPECT_EQ(host.Dialog.FontsShown[0].Color, PackColor(1, 2, 3));
    EXPECT_EQ(note->BodyFont().family(), QStringLiteral("DejaVu Serif"));
    EXPECT_EQ(note->BodyFont().pointSize(), 14);
    EXPECT_EQ(note->FontColor(), PackColor(128, 0, 0));
    EXPECT_NE(note->font().family(), QStringLiteral("DejaVu Serif")) << "the title keeps its font";

    Entry("pmFont").trigger(); // cancelled
    EXPECT_EQ(note->BodyFont().pointSize(), 14);
    EXPECT_FALSE(note->IsModified());
}

// ---- import, export, editor -------------------------------------------------------------------

TEST_F(NoteCommands, ImportTakesTheWholeFileUnmodifiedAndRemembersItsFolder) {
    note->SetText("old text");
    note->SaveText();
    host.Settings.SetString("sLastImportDir", "/somewhere/");
    host.Dialog.Files = {""}; // cancelled
    Entry("pmImportTextFile").trigger();
    EXPECT_EQ(note->Text(), "old text");
    EXPECT_EQ(host.Settings.GetString("sLastImportDir"), "/somewhere/");

    QDir().mkdir(QString::fromStdString(File("in")));
    WriteFixture(File("in/lf.txt"), "one\ntwo\r\nthree\rfour\n");
    host.Dialog.Files = {File("in/lf.txt")};
    Entry("pmImportTextFile").trigger();
    ASSERT_EQ(host.Dialog.Opened.size(), 2u);
    EXPECT_EQ(host.Dialog.Opened[1].Title, "导入文本文件");
    EXPECT_EQ(host.Dialog.Opened[1].InitialDir, "/somewhere/");
    EXPECT_EQ(note->Text(), "one\r\ntwo\r\nthree\r\nfour\r\n");
    EXPECT_EQ(Editor().toPlainText(), QStringLiteral("one\ntwo\nthree\nfour\n"));
    EXPECT_FALSE(note->IsModified()) << "no modified mark";
    EXPECT_EQ(ReadFixture(host.NoteFile(7)), "old text") << "the own file waits for a save";
    EXPECT_EQ(host.Settings.GetString("sLastImportDir"), File("in/"));

    note->SaveText();
    EXPECT_EQ(ReadFixture(host.NoteFile(7)), "one\r\ntwo\r\nthree\r\nfour\r\n");

    // a read-only note is replaced too
    note->SetReadOnly(true);
    WriteFixture(File("in/b.txt"), "B");
    host.Dialog.Files = {File("in/b.txt")};
    Entry("pmImportTextFile").trigger();
    EXPECT_EQ(note->Text(), "B");
}

TEST_F(NoteCommands, ImportOfAnUnreadableFileReportsAndKeepsTheBody) {
    note->SetText("kept");
    host.Dialog.Files = {File("missing.txt")};
    Entry("pmImportTextFile").trigger();
    EXPECT_EQ(host.Prompter.Errors.size(), 1u);
    EXPECT_EQ(note->Text(), "kept");
    EXPECT_EQ(host.Settings.GetString("sLastImportDir"), "");
}

TEST_F(NoteCommands, ExportWritesTheBodyExactlyAndRemembersItsFolder) {
    const struct {
        const char* text;
        const char* bytes;
    } rows[] = {{"", ""}, {"a\r\nb", "a\r\nb"}, {"line\r\n", "line\r\n"}};
    for (const auto& row : rows) {
        SCOPED_TRACE(row.text);
        note->SetText(row.text);
        note->SetModified(true);
        WriteFixture(File("out.txt"), "an older file of that name");
        host.Dialog.Files = {File("out.txt")};
        Entry("pmExportTextFile").trigger();
        EXPECT_EQ(ReadFixture(File("out.txt")), row.bytes);
        EXPECT_TRUE(note->IsModified()) << "the modified mark is not touched";
    }
    EXPECT_EQ(ReadFixture(File("out.txt")).size(), 6u);
    EXPECT_EQ(host.Dialog.Opened.back().Title, "导出文本文件");
    EXPECT_EQ(host.Dialog.Opened.back().DefaultExt, "txt");
    EXPECT_EQ(host.Dialog.Opened.front().InitialDir, "") << "nothing remembered before";
    EXPECT_EQ(host.Settings.GetString("sLastExportDir"), host.Folder.Path());

    host.Dialog.Files = {File("no/such/folder/out.txt")};
    Entry("pmExportTextFile").trigger();
    EXPECT_EQ(host.Prompter.Errors.size(), 1u);
    EXPECT_EQ(host.Settings.GetString("sLastExportDir"), host.Folder.Path());
    EXPECT_EQ(host.Dialog.Opened.back().InitialDir, host.Folder.Path());
}

TEST_F(NoteCommands, EditorOpensTheNoteFileAsLastSaved) {
    note->SetText("saved");
    note->SaveText();
    note->SetText("typed later");
    Entry("cmOpeninDefaultTextEditor").trigger();
    EXPECT_EQ(host.Shell.Opened, std::vector<std::string>{host.NoteFile(7)});
    EXPECT_EQ(ReadFixture(host.NoteFile(7)), "saved");
    EXPECT_TRUE(host.Prompter.Messages.empty());

    host.Shell.Succeeds = false;
    Entry("cmOpeninDefaultTextEditor").trigger();
    EXPECT_EQ(host.Prompter.Messages,
              std::vector<std::string>{"Cannot open file in external editor"});
    EXPECT_EQ(note->Text(), "typed later");
}

// ---- dropped files ----------------------------------------------------------------------------

class DroppedFiles : public NoteCommands {
protected:
    // Files dragged onto a widget of the note and dropped there, as the window system does it.
    void Drop(QWidget& target, const std::vector<std::string>& paths) {
        QMimeData data;
        QList<QUrl> urls;
        for (const std::string& path : paths)
            urls.append(QUrl::fromLocalFile(QString::fromStdString(path)));
        data.setUrls(urls);
        data.setText(QStringLiteral("the names as text"));
        QDragEnterEvent enter(QPoint(20, 20), Qt::CopyAction, &data, Qt::LeftButton,
                              Qt::NoModifier);
        QApplication::sendEvent(&target, &enter);
        EXPECT_TRUE(enter.isAccepted());
        QDropEvent drop(QPointF(20, 20), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(&target, &drop);
    }
};

TEST_F(DroppedFiles, OnlyTheFirstFileIsTakenAndTheNoteStaysADropTarget) {
    WriteFixture(File("1.txt"), "first\nfile");
    WriteFixture(File("2.txt"), "second");
    WriteFixture(File("3.bin"), "third");
    note->SetText("before");
    note->SaveText();
    Drop(*Editor().viewport(), {File("1.txt"), File("2.txt"), File("3.bin")});
    EXPECT_EQ(note->Text(), "first\r\nfile");
    EXPECT_FALSE(note->IsModified());
    EXPECT_EQ(ReadFixture(host.NoteFile(7)), "before");
    EXPECT_TRUE(note->acceptDrops());

    // any file is text, and the title bar takes drops as well
    Drop(*note->findChild<QWidget*>(QStringLiteral("pb")), {File("3.bin")});
    EXPECT_EQ(note->Text(), "third");
}

TEST_F(DroppedFiles, ReadOnlyNoteWarnsAndKeepsItsText) {
    WriteFixture(File("1.txt"), "dropped");
    note->SetText("mine");
    note->SetReadOnly(true);
    Drop(*Editor().viewport(), {File("1.txt")});
    EXPECT_EQ(note->Text(), "mine");
    EXPECT_EQ(host.Prompter.Messages,
              std::vector<std::string>{"Warning! This VornNote is Read-Only.\r\nYou cannot "
                                       "overwrite its contents by dropping a file on to it."});
    EXPECT_TRUE(note->acceptDrops());
}

// ---- gestures ---------------------------------------------------------------------------------

TEST_F(NoteCommands, DragSnapsToTheScreenRefreshedAtThePress) {
    host.Snap.Edges = true;
    host.Monitors.List = {{{0, 0, 1920, 1080}, {0, 0, 1920, 1040}}};
    note->TitlePress({30, 5});
    EXPECT_EQ(host.Snapper.BottomEdges(), (std::vector<int32_t>{1080, 1040}));
    // bottom at 1045 rests on the panel
    note->TitleMove({500 + 30, 1045 - 150 + 5});
    EXPECT_EQ(note->pos(), QPoint(500, 890));
    // monitors that change during the gesture count only from the next press
    host.Monitors.List = {{{0, 0, 800, 600}, {0, 0, 800, 600}}};
    note->TitleMove({1716 + 30, 300 + 5});
    EXPECT_EQ(note->pos(), QPoint(1720, 300));
    note->TitleRelease({30, 5});

    // with the grid on, the edges do not count and the snapper is not asked again
    host.Snap = {true, false, false, 8, 8};
    note->TitlePress({30, 5});
    EXPECT_EQ(host.Snapper.BottomEdges(), (std::vector<int32_t>{1080, 1040}));
    note->TitleMove({13 + 30, 12 + 5});
    EXPECT_EQ(note->pos(), QPoint(16, 16));
    EXPECT_EQ(note->size(), QSize(200, 150));
}

TEST_F(NoteCommands, DragAndResizeSnapToOtherNotes) {
    host.Snap.Notes = true;
    host.Others = {{7, 0, 0, 5, 5, false}, {8, 100, 2000, 200, 50, false}};
    note->resize(150, 100);
    note->TitlePress({30, 5});
    note->TitleMove({303 + 30, 500 + 5});
    EXPECT_EQ(note->pos(), QPoint(299, 500));
    note->TitleMove({2 + 30, 500 + 5});
    EXPECT_EQ(note->pos(), QPoint(2, 500)) << "the note itself does not attract";
    note->TitleRelease({30, 5});

    note->move(0, 500);
    note->GripPress({4, 7});
    note->GripMove({97 - 12 + 4, 500 + 100 - 12 + 7}); // width 97 towards the other's left
    EXPECT_EQ(note->size(), QSize(101, 100));
    note->GripMove({-300, -300});
    EXPECT_EQ(note->size(), QSize(64, 36));
    host.Snap = {true, false, false, 8, 8};
    note->GripMove({100 - 12 + 4, 500 + 100 - 12 + 7});
    EXPECT_EQ(note->size(), QSize(97, 97));
}

TEST_F(NoteCommands, CtrlDraggingARolledUpNoteTakesTheOthersAlong) {
    note->TitlePress({30, 5});
    note->TitleMove({100 + 30 + 10, 200 + 5 + 4}, Qt::ControlModifier);
    EXPECT_TRUE(host.MovedMinimized.empty()) << "a normal note moves alone";
    note->TitleRelease({30, 5});

    note->Minimize();
    note->TitlePress({5, 5});
    note->TitleMove({110 + 5 + 3, 204 + 5 - 2});
    EXPECT_TRUE(host.MovedMinimized.empty()) << "without Ctrl";
    note->TitleMove({113 + 5 + 20, 202 + 5 + 30}, Qt::ControlModifier | Qt::ShiftModifier);
    note->TitleMove({133 + 5, 232 + 5}, Qt::ControlModifier); // no move, nothing follows
    EXPECT_EQ(host.MovedMinimized, (std::vector<std::array<int32_t, 3>>{{20, 30, 7}}));
}

} // namespace
