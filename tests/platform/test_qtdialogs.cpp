#include "TestApplication.h"
#include "UQtDialogs.h"

#include <QApplication>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileDialog>
#include <QFileSystemModel>
#include <QFontDatabase>
#include <QFontDialog>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using Patterns = std::vector<std::string>;

// The patterns that a non-native QFileDialog filters by for each of the name filters.
std::vector<Patterns> PatternsAsQtReadsThem(const std::string& filters) {
    QFileDialog dialog(nullptr, QString(), QDir::tempPath());
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setNameFilter(QString::fromStdString(filters));
    const auto* model = dialog.findChild<QFileSystemModel*>();
    EXPECT_NE(model, nullptr);
    std::vector<Patterns> result;
    if (model == nullptr)
        return result;
    for (const QString& filter : dialog.nameFilters()) {
        dialog.selectNameFilter(filter);
        Patterns patterns;
        for (const QString& pattern : model->nameFilters())
            patterns.push_back(pattern.toStdString());
        result.push_back(patterns);
    }
    return result;
}

TEST(QtNameFilters, ConvertsPairsToFiltersThatQtReads) {
    const struct {
        std::string Input;
        std::string Expected;
        std::vector<Patterns> Filtered;
    } cases[] = {
        {"图标文件 (*.ico)|*.ico|所有文件 (*.*)|*.*",
         "图标文件 (*.ico);;所有文件 (*.*)",
         {{"*.ico"}, {"*.*"}}},
        {"Deleted Text Files (*.~txt)|*.~txt", "Deleted Text Files (*.~txt)", {{"*.~txt"}}},
        {"Text files|*.txt;*.log", "Text files (*.txt *.log)", {{"*.txt", "*.log"}}},
        // Qt splits the patterns at blanks only.
        {"Text (*.txt;*.log)|*.txt;*.log", "Text (*.txt *.log)", {{"*.txt", "*.log"}}},
        // Parentheses that name other patterns, or none, stay part of the description.
        {"Text (*.txt)|*.txt;*.log", "Text (*.txt) (*.txt *.log)", {{"*.txt", "*.log"}}},
        {"Notes (old)|*.txt", "Notes (old) (*.txt)", {{"*.txt"}}},
        {" Text | *.txt ; *.log ", "Text (*.txt *.log)", {{"*.txt", "*.log"}}},
        {"|*.txt", "(*.txt)", {{"*.txt"}}},
        // Incomplete pairs and pairs without patterns are left out.
        {"Text|*.txt|All", "Text (*.txt)", {{"*.txt"}}},
        {"Text|*.txt|", "Text (*.txt)", {{"*.txt"}}},
        {"Empty||Text|*.txt", "Text (*.txt)", {{"*.txt"}}},
        {"", "", {}},
    };
    EnsureApplication();
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Input);
        const std::string filters = QtNameFilters(c.Input);
        EXPECT_EQ(filters, c.Expected);
        if (!filters.empty()) {
            EXPECT_EQ(PatternsAsQtReadsThem(filters), c.Filtered);
        }
    }
}

// Two families the font dialog lists, so that a change of family shows.
std::vector<QString> TwoFamilies() {
    std::vector<QString> families;
    for (const QString& family : QFontDatabase::families())
        if (!QFontDatabase::isPrivateFamily(family) && families.size() < 2)
            families.push_back(family);
    return families;
}

bool SameChoice(const TFontChoice& a, const TFontChoice& b) {
    return a.Name == b.Name && a.Size == b.Size && a.Color == b.Color;
}

TEST(TfrmFontDialog, StartsWithTheFontAndColourAndHandsBackChanges) {
    EnsureApplication();
    const std::vector<QString> families = TwoFamilies();
    if (families.size() < 2)
        GTEST_SKIP() << "fewer than two font families installed";
    const std::string first = families[0].toStdString();
    const std::string second = families[1].toStdString();

    const struct {
        TFontChoice Start;
        int Entries; // the 16 colours, and the starting one when it is none of them
        QString ColorName;
    } cases[] = {
        {{first, 14, 0x008080}, 16, QStringLiteral("橄榄色")},
        {{second, 11, 0x0000FF}, 16, QStringLiteral("红色")},
        {{first, 9, 0x123456}, 17, QStringLiteral("当前颜色")},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Start.Name + " " + std::to_string(c.Start.Color));
        TfrmFontDialog dialog(c.Start);
        EXPECT_TRUE(SameChoice(dialog.Choice(), c.Start));
        EXPECT_EQ(dialog.cmbColor->count(), c.Entries);
        EXPECT_EQ(dialog.cmbColor->currentText(), c.ColorName);

        dialog.FontPanel->setCurrentFont(QFont(families[1], 20));
        dialog.cmbColor->setCurrentIndex(dialog.cmbColor->findData(0xFF0000));
        EXPECT_TRUE(SameChoice(dialog.Choice(), TFontChoice{second, 20, 0xFF0000}));
        // The extra entry stays, so the starting colour can be chosen again.
        dialog.cmbColor->setCurrentIndex(dialog.cmbColor->count() - 1);
        EXPECT_EQ(dialog.Choice().Color, c.Entries == 17 ? c.Start.Color : 0xFFFFFF);
    }
}

TEST(TfrmFontDialog, SubstitutedNameIsKeptUnlessAnotherFamilyIsChosen) {
    EnsureApplication();
    const std::vector<QString> families = TwoFamilies();
    if (families.size() < 2)
        GTEST_SKIP() << "fewer than two font families installed";
    TfrmFontDialog dialog({"MS Sans Serif", 8, 0});
    const QString shown = dialog.FontPanel->currentFont().family();
    ASSERT_NE(shown, QStringLiteral("MS Sans Serif"));
    EXPECT_EQ(dialog.Choice().Name, "MS Sans Serif");
    const QString other = families[0] == shown ? families[1] : families[0];
    dialog.FontPanel->setCurrentFont(QFont(other, 8));
    EXPECT_EQ(dialog.Choice().Name, other.toStdString());
}

TEST(TfrmFontDialog, SizeIsAtLeastOnePoint) {
    EnsureApplication();
    TfrmFontDialog dialog({"Sans", 0, 0});
    EXPECT_GE(dialog.Choice().Size, 1);
}

TEST(TfrmFontDialog, ColourSwatchesShowRedInTheLowByte) {
    EnsureApplication();
    const struct {
        int32_t Value;
        QRgb Shown;
        QString Name;
    } cases[] = {
        {0x000080, qRgb(128, 0, 0), QStringLiteral("褐红色")},
        {0x800000, qRgb(0, 0, 128), QStringLiteral("藏青色")},
        {0x0000FF, qRgb(255, 0, 0), QStringLiteral("红色")},
        {0x00FFFF, qRgb(255, 255, 0), QStringLiteral("黄色")},
        {0xFF0000, qRgb(0, 0, 255), QStringLiteral("蓝色")},
        {0xFFFF00, qRgb(0, 255, 255), QStringLiteral("水绿色")},
        {0x123456, qRgb(0x56, 0x34, 0x12), QStringLiteral("当前颜色")},
    };
    TfrmFontDialog dialog({"Sans", 10, 0x123456});
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Value);
        const int index = dialog.cmbColor->findData(c.Value);
        ASSERT_GE(index, 0);
        EXPECT_EQ(dialog.cmbColor->itemText(index), c.Name);
        const QImage swatch = dialog.cmbColor->itemIcon(index)
                                  .pixmap(QSize(24, 14))
                                  .toImage()
                                  .convertToFormat(QImage::Format_RGB32);
        EXPECT_EQ(swatch.pixel(swatch.width() / 2, swatch.height() / 2), c.Shown);
    }
}

// Keys that the font panel's controls leave alone close the whole dialog, never only the panel.
TEST(TfrmFontDialog, EscapeAndReturnInThePanelCloseTheDialog) {
    EnsureApplication();
    const struct {
        Qt::Key Key;
        QDialog::DialogCode Result;
    } cases[] = {{Qt::Key_Escape, QDialog::Rejected}, {Qt::Key_Return, QDialog::Accepted}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Key);
        TfrmFontDialog dialog({"Sans", 10, 0});
        dialog.setResult(-1);
        dialog.show();
        auto* edit = dialog.FontPanel->findChild<QLineEdit*>();
        ASSERT_NE(edit, nullptr);
        QKeyEvent press(QEvent::KeyPress, c.Key, Qt::NoModifier);
        QApplication::sendEvent(edit, &press);
        EXPECT_EQ(dialog.result(), c.Result);
        EXPECT_FALSE(dialog.isVisible());
        EXPECT_TRUE(dialog.FontPanel->isVisibleTo(&dialog));
    }
}

TEST(TfrmFontDialog, OkAcceptsAndCancelRejects) {
    EnsureApplication();
    const struct {
        QDialogButtonBox::StandardButton Button;
        QDialog::DialogCode Result;
    } cases[] = {{QDialogButtonBox::Ok, QDialog::Accepted},
                 {QDialogButtonBox::Cancel, QDialog::Rejected}};
    for (const auto& c : cases) {
        TfrmFontDialog dialog({"Sans", 10, 0});
        dialog.setResult(-1);
        dialog.show();
        dialog.Buttons->button(c.Button)->click();
        EXPECT_EQ(dialog.result(), c.Result);
        EXPECT_FALSE(dialog.isVisible());
    }
}

} // namespace
