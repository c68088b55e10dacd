#include "UfrmAbout.h"

#include "UProduct.h"

#include <QHBoxLayout>
#include <QImage>
#include <QLabel>
#include <QPainter>
#include <QPixmap>
#include <QPushButton>
#include <QVBoxLayout>

TfrmAbout::TfrmAbout(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("frmAbout"));
    setWindowTitle(QStringLiteral("关于 ") + QString::fromUtf8(ProductName));
    setModal(true);

    imgNote = new QLabel(this);
    imgNote->setObjectName(QStringLiteral("imgNote"));
    imgNote->setPixmap(QPixmap::fromImage(NotePicture(48)));
    imgNote->setAlignment(Qt::AlignTop);

    lblProduct = new QLabel(QString::fromStdString(ProductTitle()), this);
    lblProduct->setObjectName(QStringLiteral("lblProduct"));
    QFont big = lblProduct->font();
    big.setBold(true);
    big.setPointSizeF(big.pointSizeF() * 1.6);
    lblProduct->setFont(big);

    lblCopyright = new QLabel(QStringLiteral("Copyright © 2026 the Vorn developers"), this);
    lblCopyright->setObjectName(QStringLiteral("lblCopyright"));

    const QString url = QString::fromUtf8(HomePageUrl).toHtmlEscaped();
    lblWeb = new QLabel(QStringLiteral("<a href=\"%1\">%1</a>").arg(url), this);
    lblWeb->setObjectName(QStringLiteral("lblWeb"));
    lblWeb->setTextFormat(Qt::RichText);
    lblWeb->setOpenExternalLinks(true);

    lblFreeware = new QLabel(
        QStringLiteral("This program is freeware: you may use and pass it on free of charge."),
        this);
    lblFreeware->setObjectName(QStringLiteral("lblFreeware"));
    lblFreeware->setWordWrap(true);

    btnOK = new QPushButton(QStringLiteral("确定"), this);
    btnOK->setObjectName(QStringLiteral("btnOK"));
    btnOK->setDefault(true);
    connect(btnOK, &QPushButton::clicked, this, &QDialog::accept);

    auto* texts = new QVBoxLayout;
    texts->addWidget(lblProduct);
    texts->addWidget(lblCopyright);
    texts->addWidget(lblWeb);
    texts->addSpacing(8);
    texts->addWidget(lblFreeware);
    auto* top = new QHBoxLayout;
    top->addWidget(imgNote);
    top->addSpacing(12);
    top->addLayout(texts);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(btnOK);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addLayout(buttons);
    // The size follows the texts, and the user cannot change it.
    layout->setSizeConstraint(QLayout::SetFixedSize);
    lblFreeware->setMinimumWidth(lblFreeware->fontMetrics().averageCharWidth() * 40);
}

QImage TfrmAbout::NotePicture(int size) {
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    const qreal margin = size / 12.0;
    const QRectF note(margin, margin, size - 2 * margin, size - 2 * margin);
    painter.setPen(QPen(QColor(160, 140, 40), 1));
    painter.setBrush(QColor(255, 240, 120));
    painter.drawRect(note);
    // The title band, a shade darker, like a note's caption.
    const QRectF band(note.left(), note.top(), note.width(), note.height() / 5);
    painter.fillRect(band.adjusted(0.5, 0.5, -0.5, 0), QColor(240, 215, 70));
    painter.setPen(QPen(QColor(150, 130, 60), qMax(1.0, size / 48.0)));
    for (int line = 0; line < 3; ++line) {
        const qreal y = band.bottom() + note.height() * (0.2 + 0.18 * line);
        const qreal right = note.right() - note.width() * (line == 2 ? 0.45 : 0.15);
        painter.drawLine(QPointF(note.left() + note.width() * 0.15, y), QPointF(right, y));
    }
    return image;
}
