#include "PanelRun.h"

#include "UQtColors.h"
#include "URandom.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QImage>
#include <QListView>
#include <QMouseEvent>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSpinBox>

#include <gtest/gtest.h>

#include <vector>

namespace {

constexpr TColor White = 0xFFFFFF;

struct AppearanceRun : Panel {
    AppearanceRun() { Screens.List = {{{0, 0, 1920, 1080}, {0, 0, 1920, 1040}}}; }
    std::vector<TfrmNote*> AddNotes(const std::vector<QPoint>& places) {
        std::vector<TfrmNote*> notes;
        for (const QPoint& place : places)
            notes.push_back(AddNote(place.x(), place.y()));
        return notes;
    }
    void Trigger(const char* action) { Find<QAction>(action)->trigger(); }
    void Click(const char* button) { Find<QPushButton>(button)->click(); }
    void ReleaseOnStrip(int x, Qt::MouseButton button = Qt::LeftButton) {
        QWidget* strip = Main().pbGradient;
        QMouseEvent release(QEvent::MouseButtonRelease, QPointF(x, 10),
                            strip->mapToGlobal(QPointF(x, 10)), button, Qt::NoButton,
                            Qt::NoModifier);
        QApplication::sendEvent(strip, &release);
    }
};

std::vector<QPoint> Places(const std::vector<TfrmNote*>& notes) {
    std::vector<QPoint> places;
    for (const TfrmNote* note : notes)
        places.push_back(note->geometry().topLeft());
    return places;
}

std::vector<TColor> Colors(const std::vector<TfrmNote*>& notes) {
    std::vector<TColor> colors;
    for (const TfrmNote* note : notes)
        colors.push_back(note->NoteColor());
    return colors;
}

TEST(Appearance, ArrangeCommandsRollUpAndPlace) {
    const std::vector<QPoint> five{{100, 100}, {300, 120}, {200, 400}, {150, 250}, {500, 300}};
    const struct {
        const char* action;
        bool snap;
        std::vector<QPoint> expected;
    } cases[] = {
        {"cmArrangeInaCluster",
         false,
         {{283, 241}, {299, 241}, {315, 241}, {283, 257}, {299, 257}}},
        {"cmArrangeInaCluster", true, {{280, 240}, {296, 240}, {312, 240}, {280, 256}, {296, 256}}},
        {"cmArrangeHorizontally",
         false,
         {{267, 249}, {283, 249}, {299, 249}, {315, 249}, {331, 249}}},
        {"cmArrangeVertically",
         false,
         {{299, 217}, {299, 233}, {299, 249}, {299, 265}, {299, 281}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.action << (c.snap ? " snapped" : ""));
        AppearanceRun run;
        ASSERT_TRUE(run.started);
        run.Main().chkSnapGrid->setChecked(c.snap);
        run.Main().spnGridX->setValue(8);
        run.Main().spnGridY->setValue(8);
        std::vector<TfrmNote*> notes = run.AddNotes(five);
        notes[2]->Minimize(); // already rolled up: left as it is, but placed with the others
        notes[3]->SetText("changed");
        notes[3]->SetModified(true);
        run.Trigger(c.action);
        for (const TfrmNote* note : notes) {
            EXPECT_TRUE(note->IsMinimized());
            EXPECT_EQ(note->size(), QSize(17, 17));
            EXPECT_EQ(note->RestoreWidth(), 128) << "the note's own size comes back on restore";
        }
        EXPECT_FALSE(notes[3]->IsModified()) << "rolling up saved the text";
        EXPECT_EQ(Places(notes), c.expected);
    }
}

TEST(Appearance, ArrangeTakesGridSpacingFromPanel) {
    AppearanceRun run;
    ASSERT_TRUE(run.started);
    run.Main().chkSnapGrid->setChecked(true);
    run.Main().spnGridX->setValue(100);
    run.Main().spnGridY->setValue(7);
    std::vector<TfrmNote*> notes =
        run.AddNotes({{100, 100}, {300, 120}, {200, 400}, {150, 250}, {500, 300}});
    run.Trigger("cmArrangeInaCluster");
    EXPECT_EQ(notes.front()->geometry().topLeft(), QPoint(300, 238));

    // without snapping the spacing does not matter; a single note goes to (99, 99)
    AppearanceRun single;
    single.Main().chkSnapGrid->setChecked(false);
    TfrmNote* note = single.AddNote(100, 100);
    single.Trigger("cmArrangeVertically");
    EXPECT_EQ(note->geometry().topLeft(), QPoint(99, 99));
}

TEST(Appearance, ApplyGradientColoursNotesAndDetails) {
    AppearanceRun run;
    ASSERT_TRUE(run.started);
    TfrmMain& main = run.Main();
    std::vector<TfrmNote*> notes = run.AddNotes({{10, 10}, {200, 10}, {400, 10}});
    main.lbNotes->setCurrentIndex(main.lbNotes->model()->index(1, 0));
    main.GradientStart = 0;
    main.GradientEnd = White;
    run.Click("btnApplyGradient");
    EXPECT_EQ(Colors(notes), (std::vector<TColor>{0, PackColor(128, 128, 128), White}));
    EXPECT_EQ(notes[1]->TitleColors(), TitleColorsFor(PackColor(128, 128, 128)));
    EXPECT_EQ(main.memContents->palette().color(QPalette::Base), QColor(128, 128, 128))
        << "the details pane shows the selected note's new colour";

    main.ApplyGradient(PackColor(10, 20, 30), PackColor(90, 80, 70));
    EXPECT_EQ(Colors(notes), (std::vector<TColor>{PackColor(10, 20, 30), PackColor(50, 50, 50),
                                                  PackColor(90, 80, 70)}));

    AppearanceRun one;
    TfrmNote* only = one.AddNote(10, 10);
    one.Main().GradientStart = PackColor(1, 2, 3);
    one.Main().GradientEnd = White;
    one.Click("btnApplyGradient");
    EXPECT_EQ(only->NoteColor(), PackColor(1, 2, 3));
}

TEST(Appearance, DarkerAndBrighter) {
    AppearanceRun run;
    ASSERT_TRUE(run.started);
    std::vector<TfrmNote*> notes = run.AddNotes({{10, 10}, {200, 10}});
    notes[0]->SetNoteColor(PackColor(200, 100, 30));
    notes[1]->SetNoteColor(PackColor(3, 253, 128));
    const struct {
        const char* button;
        std::vector<TColor> expected;
    } steps[] = {
        {"btnDarker", {PackColor(195, 95, 25), PackColor(0, 248, 123)}},
        {"btnBrighter", {PackColor(200, 100, 30), PackColor(5, 253, 128)}},
        {"btnBrighter", {PackColor(205, 105, 35), PackColor(10, 255, 133)}},
    };
    for (const auto& step : steps) {
        SCOPED_TRACE(step.button);
        run.Click(step.button);
        EXPECT_EQ(Colors(notes), step.expected);
        EXPECT_EQ(notes[0]->TitleColors(), TitleColorsFor(step.expected[0]));
    }
}

TEST(Appearance, GradientFromNotesAndRandomGradient) {
    AppearanceRun run;
    ASSERT_TRUE(run.started);
    TfrmMain& main = run.Main();
    main.GradientStart = 1;
    main.GradientEnd = 2;
    run.Click("btnGradientFromNotes");
    EXPECT_EQ(main.GradientStart, 1) << "no notes: the ends stay";
    EXPECT_EQ(main.GradientEnd, 2);

    std::vector<TfrmNote*> notes = run.AddNotes({{10, 10}});
    notes[0]->SetNoteColor(PackColor(5, 6, 7));
    run.Click("btnGradientFromNotes");
    EXPECT_EQ(main.GradientStart, PackColor(5, 6, 7));
    EXPECT_EQ(main.GradientEnd, PackColor(5, 6, 7));

    notes.push_back(run.AddNote(100, 10));
    notes.push_back(run.AddNote(200, 10));
    notes[1]->SetNoteColor(PackColor(50, 60, 70));
    notes[2]->SetNoteColor(PackColor(90, 0, 9));
    run.Click("btnGradientFromNotes");
    EXPECT_EQ(main.GradientStart, PackColor(5, 6, 7));
    EXPECT_EQ(main.GradientEnd, PackColor(90, 0, 9));

    RandomSeed(77);
    const TColor first = RandomColor();
    const TColor second = RandomColor();
    RandomSeed(77);
    run.Click("btnRandomizeColors");
    EXPECT_EQ(main.GradientStart, first);
    EXPECT_EQ(main.GradientEnd, second);
}

TEST(Appearance, PreviewStrip) {
    AppearanceRun run;
    ASSERT_TRUE(run.started);
    TfrmMain& main = run.Main();
    ASSERT_EQ(main.pbGradient->size(), QSize(375, 35));
    main.GradientStart = 0;
    main.GradientEnd = White;
    // the widget's own paint, as the screen would get it
    const QImage strip = main.pbGradient->grab().toImage();
    ASSERT_EQ(strip.size(), QSize(375, 35));
    EXPECT_EQ(strip.pixelColor(0, 0), QColor(0, 0, 0));
    EXPECT_EQ(strip.pixelColor(187, 17), QColor(127, 127, 127));
    EXPECT_EQ(strip.pixelColor(374, 0), QColor(254, 254, 254));
    EXPECT_EQ(strip.pixelColor(374, 34), QColor(254, 254, 254));

    main.GradientStart = PackColor(255, 0, 0);
    main.GradientEnd = PackColor(0, 0, 255);
    QImage drawn(375, 35, QImage::Format_RGB32);
    drawn.fill(Qt::green);
    QPainter painter(&drawn);
    main.DrawGradient(painter);
    painter.end();
    EXPECT_EQ(drawn.pixelColor(0, 34), QColor(255, 0, 0));
    EXPECT_EQ(drawn.pixelColor(374, 34), QColor(1, 0, 254));
}

TEST(Appearance, ReleaseOnStripChoosesEndColour) {
    AppearanceRun run;
    ASSERT_TRUE(run.started);
    TfrmMain& main = run.Main();
    main.GradientStart = PackColor(1, 1, 1);
    main.GradientEnd = PackColor(2, 2, 2);

    run.Dialogs.Colors = {PackColor(10, 0, 0)};
    run.ReleaseOnStrip(186);
    EXPECT_EQ(main.GradientStart, PackColor(10, 0, 0));
    EXPECT_EQ(main.GradientEnd, PackColor(2, 2, 2));

    run.Dialogs.Colors = {PackColor(20, 0, 0)};
    run.ReleaseOnStrip(187, Qt::RightButton);
    EXPECT_EQ(main.GradientStart, PackColor(10, 0, 0));
    EXPECT_EQ(main.GradientEnd, PackColor(20, 0, 0)) << "the middle column belongs to the end";

    // cancelled: nothing changes
    run.ReleaseOnStrip(0);
    EXPECT_EQ(main.GradientStart, PackColor(10, 0, 0));

    // a press that ends beside the strip chooses nothing
    run.Dialogs.Colors = {PackColor(30, 0, 0)};
    run.ReleaseOnStrip(400);
    run.ReleaseOnStrip(-1);
    EXPECT_EQ(main.GradientStart, PackColor(10, 0, 0));
    EXPECT_EQ(main.GradientEnd, PackColor(20, 0, 0));

    EXPECT_EQ(run.Dialogs.ColorsShown,
              (std::vector<int32_t>{PackColor(1, 1, 1), PackColor(2, 2, 2), PackColor(10, 0, 0)}))
        << "the dialog opens on the end's colour";
    EXPECT_EQ(run.Dialogs.Colors.size(), 1u);
}

TEST(Appearance, WallpaperColours) {
    AppearanceRun run;
    ASSERT_TRUE(run.started);
    TfrmMain& main = run.Main();
    std::vector<QRect> asked;
    // A desktop whose colour depends on the place; the area at x = 300 cannot be read.
    main.GrabDesktop = [&asked](const std::vector<QRect>& areas) {
        std::vector<QImage> images;
        for (const QRect& area : areas) {
            asked.push_back(area);
            if (area.x() == 300) {
                images.emplace_back();
                continue;
            }
            QImage image(area.size(), QImage::Format_RGB32);
            image.fill(QColor(area.x() / 10, 100, 230));
            // one darker column: the whole area counts, not one pixel
            for (int y = 0; y < image.height(); ++y)
                image.setPixelColor(0, y, QColor(0, 100, 230 - 17));
            images.push_back(image);
        }
        return images;
    };
    std::vector<TfrmNote*> notes = run.AddNotes({{170, 50}, {340, 60}, {300, 70}});
    notes[1]->Minimize();
    notes[2]->SetNoteColor(PackColor(1, 2, 3));
    run.Click("btnDesktopWallpaper");
    EXPECT_EQ(asked, (std::vector<QRect>{{170, 50, 17, 16}, {340, 60, 17, 17}, {300, 70, 17, 16}}));
    // red 17 in 16 of 17 columns averages to 16, blue 230 with one column at 213 to 229
    EXPECT_EQ(notes[0]->NoteColor(), ShiftColor(PackColor(16, 100, 229), +40));
    EXPECT_EQ(notes[1]->NoteColor(), ShiftColor(PackColor(32, 100, 229), +40));
    EXPECT_EQ(notes[2]->NoteColor(), PackColor(1, 2, 3)) << "nothing read, nothing changed";
    EXPECT_EQ(notes[0]->TitleColors(), TitleColorsFor(notes[0]->NoteColor()));

    asked.clear();
    main.TakeDesktopColor(*notes[0]);
    EXPECT_EQ(asked, (std::vector<QRect>{{170, 50, 17, 16}}));
}

} // namespace
