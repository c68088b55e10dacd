#include "UfrmFind.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

TfrmFind::TfrmFind(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("dlgFind"));
    setWindowTitle(QStringLiteral("查找"));
    setModal(false);

    lblFind = new QLabel(QStringLiteral("查找内容(&N):"), this);
    edtFind = new QLineEdit(this);
    edtFind->setObjectName(QStringLiteral("edtFind"));
    lblFind->setBuddy(edtFind);
    chkMatchCase = new QCheckBox(QStringLiteral("区分大小写(&C)"), this);
    chkMatchCase->setObjectName(QStringLiteral("chkMatchCase"));

    btnFindNext = new QPushButton(QStringLiteral("查找下一个(&F)"), this);
    btnFindNext->setObjectName(QStringLiteral("btnFindNext"));
    btnFindNext->setDefault(true);
    btnFindNext->setEnabled(false);
    btnCancel = new QPushButton(QStringLiteral("取消"), this);
    btnCancel->setObjectName(QStringLiteral("btnCancel"));
    btnCancel->setAutoDefault(false);

    connect(edtFind, &QLineEdit::textChanged, this,
            [this](const QString& text) { btnFindNext->setEnabled(!text.isEmpty()); });
    connect(btnFindNext, &QPushButton::clicked, this,
            [this] { Q_EMIT FindNext(edtFind->text(), chkMatchCase->isChecked()); });
    connect(btnCancel, &QPushButton::clicked, this, &QWidget::hide);

    auto* buttons = new QVBoxLayout;
    buttons->addWidget(btnFindNext);
    buttons->addWidget(btnCancel);
    buttons->addStretch();
    auto* layout = new QGridLayout(this);
    layout->addWidget(lblFind, 0, 0);
    layout->addWidget(edtFind, 0, 1);
    layout->addWidget(chkMatchCase, 1, 0, 1, 2);
    layout->addLayout(buttons, 0, 2, 3, 1);
    layout->setRowStretch(2, 1);
    layout->setColumnMinimumWidth(1, 200);
}

void TfrmFind::Execute() {
    show();
    raise();
    activateWindow();
    edtFind->setFocus();
    edtFind->selectAll();
}
