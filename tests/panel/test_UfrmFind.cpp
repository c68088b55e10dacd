#include "TestApplication.h"
#include "UfrmFind.h"

#include <QApplication>
#include <QCheckBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>

#include <gtest/gtest.h>

#include <utility>
#include <vector>

namespace {

// The application exists before the dialog, the first member, is made.
struct Application {
    Application() { EnsureApplication(); }
};

struct Find : Application {
    Find() {
        QObject::connect(&Dialog, &TfrmFind::FindNext, [this](const QString& text, bool match) {
            Requests.emplace_back(text, match);
        });
        Dialog.Execute();
    }
    void PressKey(QWidget* target, Qt::Key key) {
        QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier);
        QApplication::sendEvent(target, &press);
    }

    TfrmFind Dialog;
    std::vector<std::pair<QString, bool>> Requests;
};

TEST(TfrmFind, IsAModelessFindDialog) {
    Find find;
    EXPECT_EQ(find.Dialog.objectName(), QStringLiteral("dlgFind"));
    EXPECT_EQ(find.Dialog.windowTitle(), QStringLiteral("查找"));
    EXPECT_FALSE(find.Dialog.isModal());
    EXPECT_TRUE(find.Dialog.btnFindNext->isDefault());
}

TEST(TfrmFind, FindNextCarriesTheTextAndMatchCase) {
    const struct {
        QString Text;
        bool MatchCase;
        bool ByReturn; // Return in the text field instead of the button
    } cases[] = {
        {QStringLiteral("Note"), false, false},
        {QStringLiteral("Note"), true, false},
        {QStringLiteral("便签 a"), true, true},
        {QStringLiteral(" x "), false, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Text.toStdString());
        Find find;
        find.Dialog.edtFind->setText(c.Text);
        find.Dialog.chkMatchCase->setChecked(c.MatchCase);
        if (c.ByReturn)
            find.PressKey(find.Dialog.edtFind, Qt::Key_Return);
        else
            find.Dialog.btnFindNext->click();
        ASSERT_EQ(find.Requests.size(), 1u);
        EXPECT_EQ(find.Requests[0].first, c.Text);
        EXPECT_EQ(find.Requests[0].second, c.MatchCase);
        EXPECT_TRUE(find.Dialog.isVisible());
    }
}

TEST(TfrmFind, FindNextOnlyWithText) {
    Find find;
    const struct {
        QString Text;
        bool Enabled;
    } steps[] = {
        {QString(), false},
        {QStringLiteral("a"), true},
        {QStringLiteral("ab"), true},
        {QString(), false},
    };
    for (const auto& step : steps) {
        find.Dialog.edtFind->setText(step.Text);
        EXPECT_EQ(find.Dialog.btnFindNext->isEnabled(), step.Enabled) << step.Text.toStdString();
    }
    find.PressKey(find.Dialog.edtFind, Qt::Key_Return);
    EXPECT_TRUE(find.Requests.empty());
}

TEST(TfrmFind, CancelHidesAndShowingAgainKeepsTheText) {
    for (const bool byEscape : {false, true}) {
        SCOPED_TRACE(byEscape);
        Find find;
        find.Dialog.edtFind->setText(QStringLiteral("kept"));
        find.Dialog.chkMatchCase->setChecked(true);
        if (byEscape)
            find.PressKey(find.Dialog.edtFind, Qt::Key_Escape);
        else
            find.Dialog.btnCancel->click();
        EXPECT_FALSE(find.Dialog.isVisible());
        EXPECT_TRUE(find.Requests.empty());

        find.Dialog.Execute();
        EXPECT_TRUE(find.Dialog.isVisible());
        EXPECT_EQ(find.Dialog.edtFind->text(), QStringLiteral("kept"));
        EXPECT_EQ(find.Dialog.edtFind->selectedText(), QStringLiteral("kept"));
        EXPECT_TRUE(find.Dialog.chkMatchCase->isChecked());
        EXPECT_TRUE(find.Dialog.btnFindNext->isEnabled());
    }
}

TEST(TfrmFind, ShowingWhileShownKeepsItOpen) {
    Find find;
    find.Dialog.edtFind->setText(QStringLiteral("abc"));
    find.Dialog.edtFind->deselect();
    find.Dialog.Execute();
    EXPECT_TRUE(find.Dialog.isVisible());
    EXPECT_EQ(find.Dialog.edtFind->text(), QStringLiteral("abc"));
    EXPECT_EQ(find.Dialog.edtFind->selectedText(), QStringLiteral("abc"));
}

} // namespace
