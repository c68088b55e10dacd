#include "UfrmNote.h"

#include "FakeHost.h"
#include "Fakes.h"
#include "TestApplication.h"
#include "UFileUtil.h"
#include "UNoteBody.h"
#include "UNoteDrawing.h"
#include "UNoteFiles.h"
#include "UTBoxController.h"
#include "qzRegVal.h"
#include "qzScreenSnapper.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QDir>
#include <QImage>
#include <QMouseEvent>
#include <QPainter>
#include <QPixmap>
#include <QPlainTextEdit>
#include <QPointer>
#include <QWindow>

#include <gtest/gtest.h>

#include <array>
#include <deque>
#include <memory>
#include <string>
#include <vector>

namespace {

class NoteWindow : public ::testing::Test {
protected:
    NoteWindow() {
        EnsureApplication();
        note = std::make_unique<TfrmNote>(host);
        note->SetNoteId(5);
        QObject::connect(note.get(), &TfrmNote::MenuRequested,
                         [this](const QPoint& at) { menus.push_back(at); });
    }

    QWidget& Child(const char* name) const {
        auto* child = note->findChild<QWidget*>(QString::fromLatin1(name));
        EXPECT_NE(child, nullptr) << name;
        return *child;
    }
    // A note at (100, 200) of the given size, shown.
    void Place(int width, int height) {
        note->move(100, 200);
        note->resize(width, height);
        note->show();
    }
    void Click(const QPoint& at) {
        note->TitlePress(at);
        note->TitleRelease(at);
    }

    FakeHost host;
    std::unique_ptr<TfrmNote> note;
    std::vector<QPoint> menus;
};

QImage Grab(QWidget& widget) {
    return widget.grab().toImage().convertToFormat(QImage::Format_RGB32);
}

template <class Draw>
QImage Drawn(QSize size, Draw draw) {
    QImage image(size, QImage::Format_RGB32);
    image.fill(qRgb(255, 0, 255));
    QPainter painter(&image);
    draw(painter);
    painter.end();
    return image;
}

int DifferentPixels(const QImage& a, const QImage& b) {
    if (a.size() != b.size())
        return -1;
    int count = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x)
            count += a.pixel(x, y) != b.pixel(x, y) ? 1 : 0;
    return count;
}

// ---- rolling up -------------------------------------------------------------------------------

TEST_F(NoteWindow, RollingUpSavesTheTextAndKeepsTheCorner) {
    Place(200, 150);
    note->SetText("Shopping list\r\nmilk\r\neggs");
    ASSERT_TRUE(note->IsModified());

    note->Minimize();
    EXPECT_EQ(ReadFixture(host.NoteFile(5)), "Shopping list\r\nmilk\r\neggs");
    EXPECT_FALSE(note->IsModified());
    EXPECT_TRUE(note->IsMinimized());
    EXPECT_EQ(note->geometry(), QRect(100, 200, 17, 17));
    EXPECT_EQ(Child("pb").geometry(), QRect(0, 0, 17, 17));
    EXPECT_EQ(Child("pb").toolTip(), QStringLiteral("Shopping list"));
    EXPECT_TRUE(Child("mem").isHidden());
    EXPECT_TRUE(Child("pbSize").isHidden());

    TNoteConfig record;
    note->FillConfig(record);
    EXPECT_EQ(record.Width, 200);
    EXPECT_EQ(record.Height, 150);
    EXPECT_EQ(record.Left, 100);
    EXPECT_EQ(record.Top, 200);
    EXPECT_TRUE(record.Minimized);

    note->Minimize(); // already rolled up: nothing changes
    EXPECT_EQ(note->RestoreWidth(), 200);

    note->Restore();
    EXPECT_FALSE(note->IsMinimized());
    EXPECT_EQ(note->geometry(), QRect(100, 200, 200, 150));
    EXPECT_EQ(Child("pb").geometry(), QRect(0, 0, 200, 16));
    EXPECT_EQ(Child("pbSize").pos(), QPoint(188, 138));
    EXPECT_TRUE(Child("pb").toolTip().isEmpty());
    EXPECT_FALSE(Child("mem").isHidden());
    EXPECT_FALSE(Child("pbSize").isHidden());
}

TEST_F(NoteWindow, RollingUpWithoutChangesWritesNoFileAndAnEmptyBodyHasNoTooltip) {
    Place(200, 150);
    note->SetText("");
    note->SetModified(false);
    note->Minimize();
    EXPECT_FALSE(FileExists(host.NoteFile(5)));
    EXPECT_TRUE(Child("pb").toolTip().isEmpty());
}

TEST_F(NoteWindow, DoubleClickTogglesAndItsReleaseIsNoClick) {
    Place(200, 150);
    // press, release, double click, release on the menu box: only the first release clicks
    const auto doubleClick = [this](QPoint at) {
        note->TitlePress(at);
        note->TitleRelease(at);
        note->TitleDoubleClick();
        note->TitleRelease(at);
    };
    doubleClick({8, 8});
    EXPECT_TRUE(note->IsMinimized());
    EXPECT_EQ(menus.size(), 1u);
    doubleClick({8, 8});
    EXPECT_FALSE(note->IsMinimized());
    EXPECT_EQ(note->geometry(), QRect(100, 200, 200, 150));
    EXPECT_EQ(menus.size(), 1u); // rolled up, the first release did not click either

    // the next single click is a click again
    Click({8, 8});
    EXPECT_EQ(menus.size(), 2u);
}

// ---- menu box and pointer ---------------------------------------------------------------------

TEST_F(NoteWindow, MenuBoxClickDependsOnThePressPoint) {
    Place(200, 150);
    const struct {
        QPoint press;
        bool opens;
    } rows[] = {{{16, 10}, true}, {{4, 4}, true},   {{16, 15}, true}, {{17, 10}, false},
                {{10, 3}, false}, {{3, 10}, false}, {{50, 8}, false}};
    for (const auto& row : rows) {
        SCOPED_TRACE(testing::Message() << row.press.x() << "," << row.press.y());
        menus.clear();
        Click(row.press);
        ASSERT_EQ(menus.size(), row.opens ? 1u : 0u);
        if (row.opens) {
            EXPECT_EQ(menus.front(), QPoint(108, 208));
        }
    }
}

TEST_F(NoteWindow, DragStartedInTheMenuBoxEndsWithTheMenu) {
    Place(200, 150);
    note->TitlePress({10, 10});
    note->TitleMove({100 + 10 + 40, 200 + 10 + 30});
    EXPECT_EQ(note->pos(), QPoint(140, 230));
    note->TitleRelease({10, 10}); // the bar moved with the pointer
    ASSERT_EQ(menus.size(), 1u);
    EXPECT_EQ(menus.front(), QPoint(148, 238));

    // a release outside the title bar is no click
    menus.clear();
    note->TitlePress({10, 10});
    note->TitleRelease({10, 60});
    EXPECT_TRUE(menus.empty());
}

TEST_F(NoteWindow, RightClickOpensTheMenuAtThePointerRolledUpOrNot) {
    Place(200, 150);
    QContextMenuEvent rightClick(QContextMenuEvent::Mouse, QPoint(60, 6), QPoint(321, 456));
    QCoreApplication::sendEvent(&Child("pb"), &rightClick);
    ASSERT_EQ(menus.size(), 1u);
    EXPECT_EQ(menus.front(), QPoint(321, 456));

    menus.clear();
    note->Minimize();
    Click({8, 8});
    Click({16, 10});
    EXPECT_TRUE(menus.empty()); // rolled up, no click opens it

    QContextMenuEvent rolledUp(QContextMenuEvent::Mouse, QPoint(5, 6), QPoint(110, 210));
    QCoreApplication::sendEvent(&Child("pb"), &rolledUp);
    ASSERT_EQ(menus.size(), 1u);
    EXPECT_EQ(menus.front(), QPoint(110, 210));
}

// A mouse event at a point of the widget, sent straight to it.
void SendMouse(QWidget& widget, QEvent::Type type, QPoint local, Qt::MouseButton button,
               Qt::MouseButtons held) {
    QMouseEvent event(type, local, widget.mapToGlobal(local), button, held, Qt::NoModifier);
    QCoreApplication::sendEvent(&widget, &event);
}

TEST_F(NoteWindow, MouseEventsOnTheTitleBarReachTheNote) {
    Place(200, 150);
    QWidget& pb = Child("pb");
    // a right press starts no drag
    SendMouse(pb, QEvent::MouseButtonPress, {30, 5}, Qt::RightButton, Qt::RightButton);
    note->TitleMove({400, 400});
    EXPECT_EQ(note->pos(), QPoint(100, 200));
    SendMouse(pb, QEvent::MouseButtonRelease, {30, 5}, Qt::RightButton, Qt::NoButton);

    SendMouse(pb, QEvent::MouseButtonPress, {12, 9}, Qt::LeftButton, Qt::LeftButton);
    SendMouse(pb, QEvent::MouseButtonRelease, {12, 9}, Qt::LeftButton, Qt::NoButton);
    ASSERT_EQ(menus.size(), 1u);
    EXPECT_EQ(menus.front(), QPoint(108, 208));

    // a drag: the move event's screen position counts
    SendMouse(pb, QEvent::MouseButtonPress, {30, 5}, Qt::LeftButton, Qt::LeftButton);
    SendMouse(pb, QEvent::MouseMove, {80, 25}, Qt::NoButton, Qt::LeftButton);
    EXPECT_EQ(note->pos(), QPoint(150, 220));
    SendMouse(pb, QEvent::MouseButtonRelease, {30, 5}, Qt::LeftButton, Qt::NoButton);
    EXPECT_EQ(menus.size(), 1u);
}

TEST_F(NoteWindow, MouseEventsOnTheGripResizeUntilAnyRelease) {
    Place(200, 150);
    QWidget& grip = Child("pbSize");
    SendMouse(grip, QEvent::MouseButtonPress, {4, 7}, Qt::RightButton, Qt::RightButton);
    SendMouse(grip, QEvent::MouseMove, {34, 27}, Qt::NoButton, Qt::RightButton);
    EXPECT_EQ(note->size(), QSize(200, 150)); // only the left button sizes
    SendMouse(grip, QEvent::MouseButtonRelease, {4, 7}, Qt::RightButton, Qt::NoButton);

    SendMouse(grip, QEvent::MouseButtonPress, {4, 7}, Qt::LeftButton, Qt::LeftButton);
    SendMouse(grip, QEvent::MouseMove, {34, 27}, Qt::NoButton, Qt::LeftButton);
    EXPECT_EQ(note->geometry(), QRect(100, 200, 230, 170));
    // a release of another button ends the sizing as well
    SendMouse(grip, QEvent::MouseButtonRelease, {4, 7}, Qt::RightButton, Qt::LeftButton);
    note->GripMove({900, 900});
    EXPECT_EQ(note->size(), QSize(230, 170));
}

TEST_F(NoteWindow, TitleDragMovesByThePointerOffset) {
    Place(200, 150);
    note->TitleMove({500, 500}); // no press: no drag
    EXPECT_EQ(note->pos(), QPoint(100, 200));

    note->TitlePress({30, 5});
    note->TitleMove({100 + 30 + 75, 200 + 5 - 20});
    EXPECT_EQ(note->pos(), QPoint(175, 180));
    note->TitleMove({-10, -10});
    EXPECT_EQ(note->pos(), QPoint(-40, -15));
    note->TitleRelease({30, 5});
    note->TitleMove({600, 600});
    EXPECT_EQ(note->pos(), QPoint(-40, -15));
    EXPECT_EQ(note->size(), QSize(200, 150));
}

TEST_F(NoteWindow, RolledUpNoteCanBeDragged) {
    Place(200, 150);
    note->Minimize();
    note->TitlePress({5, 5});
    note->TitleMove({300, 400});
    note->TitleRelease({5, 5});
    EXPECT_EQ(note->geometry(), QRect(295, 395, 17, 17));
    note->Restore();
    EXPECT_EQ(note->geometry(), QRect(295, 395, 200, 150));
}

TEST_F(NoteWindow, GripResizesWithAMinimumOf64By36) {
    Place(200, 150);
    // the grip's left is 100 + 200 - 12; pressed at (4, 7) of the grip
    note->GripPress({4, 7});
    note->GripMove({288 + 4 + 50, 338 + 7 + 25});
    EXPECT_EQ(note->geometry(), QRect(100, 200, 250, 175));
    EXPECT_EQ(Child("pbSize").pos(), QPoint(238, 163));
    EXPECT_EQ(Child("pb").width(), 250);

    note->GripMove({0, 0});
    EXPECT_EQ(note->size(), QSize(64, 36));
    note->GripMove({100 + 64 - 12 + 4, 200 + 36 - 12 + 7 + 1}); // 64 wide without clamping, 37 high
    EXPECT_EQ(note->size(), QSize(64, 37));

    note->GripRelease();
    note->GripMove({900, 900});
    EXPECT_EQ(note->geometry(), QRect(100, 200, 64, 37));
}

// ---- text -------------------------------------------------------------------------------------

TEST_F(NoteWindow, LoadTextTurnsEveryLineBreakIntoCRLF) {
    const struct {
        const char* file;
        const char* text;
    } rows[] = {{"a\rb", "a\r\nb"},
                {"a\nb", "a\r\nb"},
                {"a\r\nb", "a\r\nb"},
                {"a\n\rb", "a\r\n\r\nb"},
                {"end\n", "end\r\n"},
                {"\r\r\n\n", "\r\n\r\n\r\n"},
                {"", ""}};
    for (const bool withEditor : {false, true}) {
        for (const auto& row : rows) {
            SCOPED_TRACE(testing::Message()
                         << withEditor << " " << testing::PrintToString(row.file));
            TfrmNote fresh(host);
            fresh.SetNoteId(9);
            if (withEditor)
                fresh.Body().Editor();
            WriteFixture(host.NoteFile(9), row.file);
            fresh.SetText("unsaved");
            fresh.LoadText();
            EXPECT_EQ(fresh.Text(), row.text);
            EXPECT_FALSE(fresh.IsModified());
            // loading changes nothing on disk
            EXPECT_EQ(ReadFixture(host.NoteFile(9)), row.file);
        }
    }
}

TEST_F(NoteWindow, LoadTextWithoutAFileLeavesTheBody) {
    note->SetText("kept");
    note->LoadText();
    EXPECT_EQ(note->Text(), "kept");
    EXPECT_TRUE(note->IsModified());
}

TEST_F(NoteWindow, NoteFilesThatAreNotUTF8LoadAsLatin1) {
    const struct {
        const char* file;
        QString body;
    } rows[] = {{"caf\xE9", QStringLiteral(u"caf\u00E9")},
                {"caf\xE9\r\nna\xEFve \xFF", QStringLiteral(u"caf\u00E9\nna\u00EFve \u00FF")},
                {"caf\xC3\xA9", QStringLiteral(u"caf\u00E9")},
                {"\xE2\x82\xAC 5", QStringLiteral(u"\u20AC 5")}};
    for (const auto& row : rows) {
        SCOPED_TRACE(testing::PrintToString(row.file));
        WriteFixture(host.NoteFile(5), row.file);
        note->LoadText();
        EXPECT_EQ(note->Body().Text(), row.body);
        EXPECT_FALSE(note->IsModified());
        // what is saved reads back as the same text
        note->SaveText();
        note->SetText("");
        note->LoadText();
        EXPECT_EQ(note->Body().Text(), row.body);
    }
}

TEST_F(NoteWindow, EditorKeepsEveryCharacterOfTheText) {
    const struct {
        const char* what;
        const char* file;
        const char* saved;
    } rows[] = {{"tab", "a\tz", "a\tz"},
                {"no-break space", "a\xC2\xA0z", "a\xC2\xA0z"},
                {"Latin-1 no-break space", "a\xA0z", "a\xC2\xA0z"},
                {"line separator", "a\xE2\x80\xA8z", "a\xE2\x80\xA8z"}};
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        TfrmNote fresh(host);
        fresh.SetNoteId(8);
        WriteFixture(host.NoteFile(8), row.file);
        fresh.LoadText();
        const std::string before = fresh.Text();
        EXPECT_EQ(before, row.saved);
        fresh.Body().Editor(); // the first click into the body
        EXPECT_EQ(fresh.Text(), before);
        fresh.SaveText();
        EXPECT_EQ(ReadFixture(host.NoteFile(8)), row.saved);
    }
}

TEST_F(NoteWindow, SaveTextWritesCRLFAndNoFinalBreak) {
    const struct {
        const char* body;
        const char* file;
    } rows[] = {{"one\ntwo", "one\r\ntwo"},
                {"one\r\ntwo", "one\r\ntwo"},
                {"one\rtwo\n", "one\r\ntwo\r\n"},
                {"single", "single"},
                {"", ""}};
    for (const auto& row : rows) {
        SCOPED_TRACE(testing::PrintToString(row.body));
        note->SetText(row.body);
        note->SaveText();
        EXPECT_EQ(ReadFixture(host.NoteFile(5)), row.file);
        EXPECT_FALSE(note->IsModified());
    }

    // typed text reaches the file the same way
    QPlainTextEdit* editor = note->Body().Editor();
    editor->setPlainText(QStringLiteral("x\ny"));
    editor->moveCursor(QTextCursor::End);
    editor->insertPlainText(QStringLiteral("\nz"));
    note->SaveText();
    EXPECT_EQ(ReadFixture(host.NoteFile(5)), "x\r\ny\r\nz");
}

TEST_F(NoteWindow, FailedSaveRaisesAndKeepsTheTextModified) {
    const struct {
        const char* what;
        bool removeFolder;
    } rows[] = {{"notes folder removed", true}, {"a folder where the note file goes", false}};
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        FakeHost failing;
        if (row.removeFolder)
            ASSERT_TRUE(failing.RemoveNotesFolder());
        else
            ASSERT_TRUE(QDir().mkdir(QString::fromStdString(failing.NoteFile(7))));
        TfrmNote unsaved(failing);
        unsaved.SetNoteId(7);
        unsaved.resize(200, 150);
        unsaved.SetText("precious\r\nwords");

        EXPECT_THROW(unsaved.SaveText(), std::exception);
        EXPECT_EQ(unsaved.Text(), "precious\r\nwords");
        EXPECT_TRUE(unsaved.IsModified());

        // operations that save first stop before changing anything
        EXPECT_THROW(unsaved.Minimize(), std::exception);
        EXPECT_FALSE(unsaved.IsMinimized());
        EXPECT_EQ(unsaved.size(), QSize(200, 150));
        EXPECT_THROW(unsaved.SetReadOnly(true), std::exception);
        EXPECT_FALSE(unsaved.IsReadOnly());
        EXPECT_TRUE(unsaved.IsModified());

        // the double click reports the error instead of letting it escape
        unsaved.TitleDoubleClick();
        EXPECT_EQ(failing.Prompter.Errors.size(), 1u);
        EXPECT_FALSE(unsaved.IsMinimized());
    }
}

TEST_F(NoteWindow, AnyTextChangeSetsTheModifiedMark) {
    EXPECT_FALSE(note->IsModified());
    note->SetText("by program");
    EXPECT_TRUE(note->IsModified());

    note->SetModified(false);
    QPlainTextEdit* editor = note->Body().Editor();
    // making the editor is no change
    EXPECT_FALSE(note->IsModified());
    EXPECT_EQ(editor->toPlainText(), QStringLiteral("by program"));
    editor->insertPlainText(QStringLiteral("typed "));
    EXPECT_TRUE(note->IsModified());
    EXPECT_EQ(note->Text(), "typed by program");

    note->SetModified(false);
    note->SetText("by program again");
    EXPECT_TRUE(note->IsModified());
}

TEST_F(NoteWindow, FirstClickIntoTheBodyBringsTheEditorWithTheText) {
    Place(200, 150);
    note->SetText("line one\r\nline two");
    note->SetModified(false);
    QWidget& body = Child("mem");
    ASSERT_FALSE(note->Body().HasEditor());
    QMouseEvent press(QEvent::MouseButtonPress, QPointF(10, 10), body.mapToGlobal(QPointF(10, 10)),
                      Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(&body, &press);
    ASSERT_TRUE(note->Body().HasEditor());
    EXPECT_EQ(note->Body().Editor()->toPlainText(), QStringLiteral("line one\nline two"));
    EXPECT_EQ(note->Text(), "line one\r\nline two");
    EXPECT_FALSE(note->IsModified());
}

TEST_F(NoteWindow, SetReadOnlySavesPendingChangesFirst) {
    note->SetText("pending");
    note->SetReadOnly(true);
    EXPECT_EQ(ReadFixture(host.NoteFile(5)), "pending");
    EXPECT_FALSE(note->IsModified());
    EXPECT_TRUE(note->IsReadOnly());
    EXPECT_TRUE(note->Body().IsReadOnly());
    EXPECT_TRUE(note->Body().Editor()->isReadOnly());

    note->SetReadOnly(false);
    EXPECT_FALSE(note->Body().Editor()->isReadOnly());

    // nothing pending: nothing written
    TfrmNote other(host);
    other.SetNoteId(6);
    other.SetReadOnly(true);
    EXPECT_FALSE(FileExists(host.NoteFile(6)));
}

// ---- records ----------------------------------------------------------------------------------

TEST_F(NoteWindow, ApplyConfigAndFillConfigCarryEveryField) {
    for (const bool minimized : {false, true}) {
        SCOPED_TRACE(minimized);
        TNoteConfig record;
        record.Id = 42;
        record.Left = 33;
        record.Top = 44;
        record.Width = 210;
        record.Height = 160;
        record.Minimized = minimized;
        record.SystemNote = true;
        record.Chat = true;
        record.ReadOnly = true;
        record.OnTop = true;
        record.Color = PackColor(200, 100, 30);
        record.FontSize = 14;
        record.FontColor = PackColor(1, 2, 3);
        record.FontName = "DejaVu Serif";

        TfrmNote window(host);
        window.SetText("First line\r\nsecond");
        window.SetModified(false);
        window.ApplyConfig(record);
        window.show();
        EXPECT_EQ(window.NoteId(), 42);
        EXPECT_EQ(window.pos(), QPoint(33, 44));
        EXPECT_EQ(window.size(), minimized ? QSize(17, 17) : QSize(210, 160));
        EXPECT_EQ(window.RestoreWidth(), 210);
        EXPECT_EQ(window.RestoreHeight(), 160);
        EXPECT_EQ(window.IsMinimized(), minimized);
        EXPECT_TRUE(window.IsSystemNote());
        EXPECT_TRUE(window.IsChat());
        EXPECT_TRUE(window.IsReadOnly());
        EXPECT_TRUE(window.IsOnTop());
        EXPECT_EQ(window.NoteColor(), PackColor(200, 100, 30));
        EXPECT_EQ(window.BodyFont().pointSize(), 14);
        EXPECT_EQ(window.BodyFont().family(), QStringLiteral("DejaVu Serif"));
        EXPECT_EQ(window.FontColor(), PackColor(1, 2, 3));
        auto* pb = window.findChild<QWidget*>(QStringLiteral("pb"));
        ASSERT_NE(pb, nullptr);
        EXPECT_EQ(pb->height(), minimized ? 17 : 16);
        EXPECT_EQ(pb->toolTip(), minimized ? QStringLiteral("First line") : QString());
        QPlainTextEdit* editor = window.Body().Editor();
        EXPECT_EQ(editor->font().pointSize(), 14);
        EXPECT_EQ(editor->palette().color(QPalette::Text), QColor(1, 2, 3));
        EXPECT_EQ(editor->palette().color(QPalette::Base), QColor(200, 100, 30));
        EXPECT_TRUE(editor->isReadOnly());

        TNoteConfig copy;
        window.FillConfig(copy);
        EXPECT_EQ(copy, record);
        EXPECT_EQ(window.CreateConfig(), record);

        if (minimized) {
            window.Restore();
            EXPECT_EQ(window.size(), QSize(210, 160));
        }
    }
}

TEST_F(NoteWindow, FillConfigFollowsTheWindow) {
    Place(200, 150);
    note->SetNoteColor(PackColor(10, 20, 30));
    note->SetStayOnTop(true);
    note->TitlePress({30, 5});
    note->TitleMove({400, 300});
    note->TitleRelease({30, 5});
    note->GripPress({0, 0});
    note->GripMove({370 + 220 - 12, 295 + 100 - 12});
    note->GripRelease();

    const TNoteConfig record = note->CreateConfig();
    EXPECT_EQ(record.Id, 5);
    EXPECT_EQ(record.Left, 370);
    EXPECT_EQ(record.Top, 295);
    EXPECT_EQ(record.Width, 220);
    EXPECT_EQ(record.Height, 100);
    EXPECT_TRUE(record.OnTop);
    EXPECT_FALSE(record.Minimized);
    EXPECT_EQ(record.Color, PackColor(10, 20, 30));
}

// ---- title ------------------------------------------------------------------------------------

TEST_F(NoteWindow, TitleTextFromTheTemplate) {
    const struct {
        const char* titleTemplate;
        int32_t id;
        bool system;
        const char* title;
    } rows[] = {
        {"Vorn [$id$]", 12, false, "Vorn [12]"}, {"Vorn [$id$]", 12, true, "System Vorn [12]"},
        {"$id$ and $id$", 7, false, "7 and 7"},  {"$ID$ $Id$ $id$", 7, false, "$ID$ $Id$ 7"},
        {"$id$id$", 5, false, "5id$"},           {"$$id$$", 5, false, "$5$"},
        {"no number", 3, false, "no number"},    {"", 3, false, ""}};
    for (const auto& row : rows) {
        SCOPED_TRACE(row.titleTemplate);
        host.Title = row.titleTemplate;
        note->SetNoteId(row.id);
        note->SetSystemNote(row.system);
        EXPECT_EQ(note->TitleText(), QString::fromUtf8(row.title));
    }
}

TEST_F(NoteWindow, TitleColoursFollowTheNoteColour) {
    note->SetNoteColor(PackColor(200, 100, 30));
    EXPECT_EQ(note->TitleColors().Title, PackColor(150, 50, 0));
    EXPECT_EQ(note->TitleColors().Shadow, PackColor(110, 10, 0));
    EXPECT_EQ(note->TitleColors().Highlight, PackColor(190, 90, 40));
    EXPECT_EQ(note->NoteColor(), PackColor(200, 100, 30));
    // the body takes the note colour as its background
    EXPECT_EQ(note->Body().Editor()->palette().color(QPalette::Base), QColor(200, 100, 30));

    note->SetNoteColor(PackColor(255, 255, 255));
    EXPECT_EQ(note->TitleColors().Title, PackColor(205, 205, 205));
    EXPECT_EQ(note->TitleColors().Highlight, PackColor(245, 245, 245));
}

TEST_F(NoteWindow, TitleBarAndGripAreDrawnAsTheDrawingFunctionsDrawThem) {
    Place(150, 90);
    host.ShowReadOnly = false; // affects rolled-up notes only
    note->SetNoteId(12);
    note->SetNoteColor(PackColor(200, 100, 30));
    const TTitleColors colors = TitleColorsFor(PackColor(200, 100, 30));

    const struct {
        bool readOnly;
        bool onTop;
        bool modified;
    } rows[] = {
        {false, false, false}, {true, false, false}, {false, true, true}, {true, true, true}};
    for (const auto& row : rows) {
        SCOPED_TRACE(testing::Message() << row.readOnly << row.onTop << row.modified);
        note->SetReadOnly(row.readOnly);
        note->SetStayOnTop(row.onTop);
        note->SetModified(row.modified);
        QWidget& pb = Child("pb");
        ASSERT_EQ(pb.size(), QSize(150, 16));
        const QImage expected = Drawn(pb.size(), [&](QPainter& painter) {
            DrawNoteTitle(
                painter, 150, 16,
                {colors, row.readOnly, row.onTop, row.modified, QStringLiteral("Vorn [12]")});
        });
        EXPECT_EQ(DifferentPixels(Grab(pb), expected), 0);
    }

    const QImage grip =
        Drawn(QSize(12, 12), [&](QPainter& painter) { DrawSizeGrip(painter, colors); });
    EXPECT_EQ(DifferentPixels(Grab(Child("pbSize")), grip), 0);

    // the same modified mark seen in the pixels: the box's inside is (90, 0, 0)
    note->SetModified(true);
    EXPECT_EQ(Grab(Child("pb")).pixel(8, 8), qRgb(90, 0, 0));

    // the template is read when the bar is drawn, and the text really is drawn
    host.Title = "Other $id$";
    const auto title = [&](const QString& text) {
        return Drawn(QSize(150, 16), [&](QPainter& painter) {
            DrawNoteTitle(painter, 150, 16, {colors, true, true, true, text});
        });
    };
    const QImage other = Grab(Child("pb"));
    EXPECT_EQ(DifferentPixels(other, title(QStringLiteral("Other 12"))), 0);
    EXPECT_GT(DifferentPixels(other, title(QString())), 0);
}

TEST_F(NoteWindow, StayOnTopKeepsThePlaceAndTheWindowShown) {
    Place(200, 150);
    note->SetStayOnTop(true);
    EXPECT_TRUE(note->IsOnTop());
    EXPECT_TRUE(note->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    ASSERT_NE(note->windowHandle(), nullptr);
    EXPECT_TRUE(note->windowHandle()->flags().testFlag(Qt::WindowStaysOnTopHint));
    EXPECT_TRUE(note->isVisible());
    EXPECT_EQ(note->geometry(), QRect(100, 200, 200, 150));

    note->SetStayOnTop(false);
    EXPECT_FALSE(note->IsOnTop());
    EXPECT_FALSE(note->windowHandle()->flags().testFlag(Qt::WindowStaysOnTopHint));
    EXPECT_TRUE(note->isVisible());
    EXPECT_EQ(note->geometry(), QRect(100, 200, 200, 150));
}

TEST_F(NoteWindow, RolledUpMarksFollowFlagsAndSettings) {
    Place(150, 90);
    note->SetNoteColor(PackColor(200, 100, 30));
    const TTitleColors colors = TitleColorsFor(PackColor(200, 100, 30));
    note->SetReadOnly(true);
    note->SetStayOnTop(true);
    note->SetModified(true);
    note->Minimize();

    const struct {
        bool showReadOnly;
        bool showOnTop;
    } rows[] = {{true, true}, {false, true}, {true, false}, {false, false}};
    for (const auto& row : rows) {
        SCOPED_TRACE(testing::Message() << row.showReadOnly << row.showOnTop);
        host.ShowReadOnly = row.showReadOnly;
        host.ShowOnTop = row.showOnTop;
        QWidget& pb = Child("pb");
        const QImage expected = Drawn(pb.size(), [&](QPainter& painter) {
            DrawMinimizedTitle(painter, colors, row.showReadOnly, row.showOnTop);
        });
        EXPECT_EQ(DifferentPixels(Grab(pb), expected), 0);
    }

    // unrolled, the bars show whatever the setting says
    host.ShowReadOnly = false;
    note->Restore();
    const QImage unrolled = Drawn(QSize(150, 16), [&](QPainter& painter) {
        DrawNoteTitle(painter, 150, 16, {colors, true, true, false, QStringLiteral("Vorn [5]")});
    });
    EXPECT_EQ(DifferentPixels(Grab(Child("pb")), unrolled), 0);
}

// ---- closing ----------------------------------------------------------------------------------

TEST_F(NoteWindow, ClosingTheWindowTellsTheHostAndFreesIt) {
    auto* closing = new TfrmNote(host);
    closing->SetNoteId(31);
    closing->show();
    QPointer<TfrmNote> watch(closing);
    EXPECT_TRUE(closing->close());
    EXPECT_EQ(host.Closed, std::vector<int32_t>{31});
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(watch.isNull());
    EXPECT_EQ(host.Destroyed, std::vector<int32_t>{31});
}

// Deleting asks for read-only notes always and for the others when the setting says so; a
// deletion saves the text, keeps the record, leaves the registry and moves the file aside.
TEST_F(NoteWindow, DeleteAsksWhenItMustAndMovesTheFileToItsDeletedName) {
    struct Case {
        const char* name;
        bool confirm;
        bool readOnly;
        std::deque<bool> answers;
        bool asks;
        bool deletes;
    };
    const std::string question = "Are you sure you want to delete this VornNote?";
    const Case cases[] = {
        {"plain, no confirmation", false, false, {}, false, true},
        {"plain, confirmed", true, false, {true}, true, true},
        {"plain, answered No", true, false, {false}, true, false},
        {"read-only asks although the setting is off", false, true, {true}, true, true},
        {"read-only answered No", false, true, {false}, true, false},
    };
    int32_t id = 40;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        host.Confirm = c.confirm;
        host.Prompter.Questions.clear();
        host.Prompter.Answers = c.answers;
        host.Unregistered.clear();
        auto* deleting = new TfrmNote(host);
        QPointer<TfrmNote> watch(deleting);
        deleting->SetNoteId(++id);
        deleting->show();
        deleting->SaveText();
        deleting->SetText("typed, not saved yet");
        deleting->SetReadOnly(c.readOnly);
        deleting->pmDeleteClick();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);

        const std::vector<std::string> asked =
            c.asks ? std::vector<std::string>{c.readOnly
                                                  ? "This is a Read-Only VornNote!\r\n" + question
                                                  : question}
                   : std::vector<std::string>{};
        EXPECT_EQ(host.Prompter.Questions, asked);
        EXPECT_EQ(watch.isNull(), c.deletes);
        EXPECT_EQ(FileExists(host.NoteFile(id)), !c.deletes);
        const std::string deleted = DeletedNoteFileName(host.Folder.Path(), id);
        if (c.deletes) {
            EXPECT_EQ(ReadFixture(deleted), "typed, not saved yet");
            EXPECT_EQ(host.Unregistered, std::vector<int32_t>{id});
            EXPECT_EQ(host.Updated.back(), id);
        } else {
            EXPECT_FALSE(FileExists(deleted));
            EXPECT_TRUE(host.Unregistered.empty());
            delete watch.data();
        }
    }
}

// An older deleted file of the same number is kept under a spare name of that number, so the
// deletion sticks and neither text is lost.
TEST_F(NoteWindow, DeleteKeepsAnOlderDeletedFileOfTheSameNumber) {
    const std::string folder = NotesFolder(host.Folder.Path()) + "/";
    WriteFixture(folder + "vornnote0007.~txt", "oldest");
    WriteFixture(folder + "vornnote0007.1.~txt", "older");
    auto* deleting = new TfrmNote(host);
    deleting->SetNoteId(7);
    deleting->SetText("newest");
    deleting->SaveText();
    deleting->pmDeleteClick();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);

    EXPECT_FALSE(FileExists(host.NoteFile(7)));
    EXPECT_EQ(ReadFixture(folder + "vornnote0007.~txt"), "newest");
    EXPECT_EQ(ReadFixture(folder + "vornnote0007.1.~txt"), "older");
    EXPECT_EQ(ReadFixture(folder + "vornnote0007.2.~txt"), "oldest");
    EXPECT_EQ(NoteIdFromFileName("vornnote0007.2.~txt"), 7);
}

} // namespace
