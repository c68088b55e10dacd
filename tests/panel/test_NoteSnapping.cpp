#include "PanelRun.h"
#include "UNoteBody.h"
#include "UTBoxController.h"
#include "qzScreenSnapper.h"

#include <QApplication>
#include <QCheckBox>
#include <QKeyEvent>
#include <QPlainTextEdit>
#include <QSpinBox>
#include <QWindow>

#include <gtest/gtest.h>

#include <vector>

namespace {

// A started program whose notes snap to each other and to the screen as its panel says.
struct SnapRun : Panel {
    SnapRun() { Screens.List = {{{0, 0, 1920, 1080}, {0, 0, 1920, 1040}}}; }
    TfrmNote& Note(int32_t left, int32_t top, int32_t width, int32_t height) {
        TfrmNote* note = App->Factory().CreateNoteWindow("", left, top, width, height, -1, "", -1,
                                                         -1, false, false);
        EXPECT_NE(note, nullptr);
        return *note;
    }
    void Snap(bool grid, bool edges, bool notes) {
        Main().chkSnapGrid->setChecked(grid);
        Main().chkSnapEdges->setChecked(edges);
        Main().chkSnapNotes->setChecked(notes);
    }
};

// Drags a note by a point of its title bar so that its left top would be at (x, y).
void Drag(TfrmNote& note, int x, int y, Qt::KeyboardModifiers modifiers = {}) {
    const QPoint grip(5, 5);
    note.TitlePress(grip);
    note.TitleMove(QPoint(x, y) + grip, modifiers);
    note.TitleRelease(grip);
}

TEST(NoteSnapping, PanelSettingsAndOpenNotesDecide) {
    SnapRun run;
    ASSERT_TRUE(run.started);
    TfrmMain& main = run.Main();
    TfrmNote& other = run.Note(100, 300, 200, 100);
    TfrmNote& moving = run.Note(600, 600, 150, 100);

    run.Snap(false, false, true);
    EXPECT_EQ(main.SnapSettings().Notes, true);
    EXPECT_EQ(main.SnapSettings().Grid, false);
    Drag(moving, 303, 700);
    EXPECT_EQ(moving.pos(), QPoint(299, 700));

    // screen edges win over note edges
    run.Snap(false, true, true);
    other.move(6, 300);
    Drag(moving, 4, 935);
    EXPECT_EQ(moving.pos(), QPoint(0, 940)) << "left 6 from the note, then 0; bottom on 1040";

    // a deleted note no longer attracts
    run.Snap(false, false, true);
    Drag(moving, 8, 700);
    EXPECT_EQ(moving.pos(), QPoint(6, 700));
    run.Prompt.Answers = {true};
    other.pmDeleteClick();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(main.BoxController().GetBoxCount(), 1);
    Drag(moving, 8, 700);
    EXPECT_EQ(moving.pos(), QPoint(8, 700));

    // the grid, with the spacing of the spin boxes, which refuse anything below 1
    run.Snap(true, false, false);
    main.spnGridX->setValue(0);
    main.spnGridY->setValue(-5);
    EXPECT_EQ(main.spnGridX->value(), 1);
    main.spnGridX->setValue(10);
    main.spnGridY->setValue(20);
    Drag(moving, 15, 29);
    EXPECT_EQ(moving.pos(), QPoint(20, 20));
}

TEST(NoteSnapping, OneScreenSnapperRefreshedAtEachPress) {
    SnapRun run;
    ASSERT_TRUE(run.started);
    TfrmMain& main = run.Main();
    TScreenSnapper& snapper = main.GetScreenSnapper();
    EXPECT_EQ(&snapper, &main.GetScreenSnapper());
    EXPECT_EQ(snapper.RightEdges(), std::vector<int32_t>{1920});

    TfrmNote& note = run.Note(500, 500, 100, 100);
    run.Screens.List.push_back({{1920, 0, 3000, 900}, {1920, 0, 3000, 900}});
    run.Snap(false, true, false);
    Drag(note, 2895, 300);
    EXPECT_EQ(note.pos(), QPoint(2900, 300)) << "the second monitor counts from this press on";
    EXPECT_EQ(snapper.RightEdges(), (std::vector<int32_t>{1920, 3000}));
}

TEST(NoteSnapping, CtrlDragMovesEveryOtherRolledUpNote) {
    SnapRun run;
    ASSERT_TRUE(run.started);
    run.Snap(false, false, false);
    TfrmNote& dragged = run.Note(100, 100, 150, 100);
    TfrmNote& rolled = run.Note(300, 100, 150, 100);
    TfrmNote& open = run.Note(500, 100, 150, 100);
    TfrmNote& rolledToo = run.Note(700, 100, 150, 100);
    for (TfrmNote* note : {&dragged, &rolled, &rolledToo})
        note->Minimize();

    Drag(dragged, 140, 160, Qt::ControlModifier);
    EXPECT_EQ(dragged.pos(), QPoint(140, 160));
    EXPECT_EQ(rolled.pos(), QPoint(340, 160));
    EXPECT_EQ(rolledToo.pos(), QPoint(740, 160));
    EXPECT_EQ(open.pos(), QPoint(500, 100));
    EXPECT_EQ(rolled.size(), QSize(17, 17));

    // a normal note dragged with Ctrl moves alone
    Drag(open, 520, 120, Qt::ControlModifier);
    EXPECT_EQ(open.pos(), QPoint(520, 120));
    EXPECT_EQ(rolled.pos(), QPoint(340, 160));
    // and without Ctrl a rolled-up note moves alone too
    Drag(dragged, 100, 100);
    EXPECT_EQ(rolled.pos(), QPoint(340, 160));
}

TEST(NoteKeys, F4InANoteMakesANoteThroughThePanelsShortcut) {
    Panel run;
    ASSERT_TRUE(run.started);
    TfrmNote* note = run.AddNote(200, 200);
    ASSERT_NE(note, nullptr);
    // With a tray the panel, and the menu that holds the shortcut, are out of sight.
    run.Main().HideControlPanel();
    note->activateWindow();
    QApplication::setActiveWindow(note);
    QPlainTextEdit* editor = note->Body().Editor();
    editor->setFocus();
    const size_t before = run.Main().Notes().size();

    // As the window system delivers it: to the window, which tries its shortcuts first.
    QKeyEvent f4(QEvent::KeyPress, Qt::Key_F4, Qt::NoModifier);
    QWindow* window = note->windowHandle();
    ASSERT_NE(window, nullptr);
    QApplication::sendEvent(window, &f4);
    EXPECT_EQ(run.Main().Notes().size(), before + 1);
}

} // namespace
