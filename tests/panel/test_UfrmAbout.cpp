#include "TestApplication.h"
#include "UProduct.h"
#include "UfrmAbout.h"

#include <QImage>
#include <QLabel>
#include <QPushButton>

#include <gtest/gtest.h>

namespace {

TEST(TfrmAbout, ShowsProductCopyrightWebAndFreeware) {
    EnsureApplication();
    TfrmAbout about;
    EXPECT_EQ(about.objectName(), QStringLiteral("frmAbout"));
    EXPECT_EQ(about.windowTitle(), QStringLiteral("关于 Vorn"));
    EXPECT_TRUE(about.isModal());
    EXPECT_EQ(about.lblProduct->text(), QString::fromStdString(ProductTitle()));
    EXPECT_TRUE(about.lblProduct->font().bold());
    EXPECT_EQ(about.lblCopyright->text(), QStringLiteral("Copyright © 2026 the Vorn developers"));
    EXPECT_EQ(
        about.lblFreeware->text(),
        QStringLiteral("This program is freeware: you may use and pass it on free of charge."));
    const QString url = QString::fromUtf8(HomePageUrl);
    EXPECT_TRUE(about.lblWeb->text().contains(QStringLiteral("href=\"%1\"").arg(url)));
    EXPECT_TRUE(about.lblWeb->openExternalLinks());
}

TEST(TfrmAbout, FixedSizeAndOkAccepts) {
    EnsureApplication();
    TfrmAbout about;
    about.setResult(-1);
    about.show();
    EXPECT_EQ(about.minimumSize(), about.maximumSize());
    about.btnOK->click();
    EXPECT_EQ(about.result(), QDialog::Accepted);
    EXPECT_FALSE(about.isVisible());
}

TEST(TfrmAbout, NotePictureIsYellow) {
    EnsureApplication();
    const QImage picture = TfrmAbout::NotePicture(48);
    const QColor middle = picture.pixelColor(24, 30);
    EXPECT_GT(middle.red(), 200);
    EXPECT_GT(middle.green(), 200);
    EXPECT_LT(middle.blue(), 160);
    EXPECT_EQ(picture.pixelColor(0, 0).alpha(), 0);
}

} // namespace
