#include "UfrmSend.h"

#include <QComboBox>
#include <QEventLoop>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QProgressDialog>
#include <QPushButton>

#include <optional>

TfrmSend::TfrmSend(const std::vector<std::string>& addresses, const std::string& lastSendAddress,
                   QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint) {
    setObjectName(QStringLiteral("frmSend"));
    setWindowTitle(QStringLiteral("发送VornNote..."));
    setModal(true);
    setFixedSize(269, 130);

    Label1 = new QLabel(QStringLiteral("发送到:"), this);
    Label1->setObjectName(QStringLiteral("Label1"));

    cbAddress = new QComboBox(this);
    cbAddress->setObjectName(QStringLiteral("cbAddress"));
    cbAddress->setEditable(true);
    // Enter sends; it does not grow the list, which is the address book's.
    cbAddress->setInsertPolicy(QComboBox::NoInsert);
    for (const std::string& address : addresses)
        cbAddress->addItem(QString::fromStdString(address));
    cbAddress->setEditText(QString::fromStdString(lastSendAddress));
    Label1->setBuddy(cbAddress);

    Label2 =
        new QLabel(QStringLiteral("输入在网络中已知的IP地址，或已经解决的地址（选择一个显示的用户名"
                                  "或计算机名）。 IP地址或计算机名是必填的*第一*联系人!"),
                   this);
    Label2->setObjectName(QStringLiteral("Label2"));
    Label2->setWordWrap(true);
    Label2->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    QPalette hintPalette = Label2->palette();
    hintPalette.setColor(QPalette::WindowText, hintPalette.color(QPalette::Shadow));
    Label2->setPalette(hintPalette);

    btnOK = new QPushButton(QStringLiteral("确定"), this);
    btnOK->setObjectName(QStringLiteral("btnOK"));
    btnOK->setDefault(true);
    connect(btnOK, &QPushButton::clicked, this, &QDialog::accept);

    btnCancel = new QPushButton(QStringLiteral("取消"), this);
    btnCancel->setObjectName(QStringLiteral("btnCancel"));
    btnCancel->setAutoDefault(false);
    connect(btnCancel, &QPushButton::clicked, this, &QDialog::reject);

    // Fixed places, as the dialog has a fixed size: the address row, the hint, the buttons.
    const int comboHeight = cbAddress->sizeHint().height();
    cbAddress->setGeometry(52, 8, 209, comboHeight);
    const QSize label1Size = Label1->sizeHint();
    Label1->setGeometry(8, 8 + (comboHeight - label1Size.height()) / 2, 44, label1Size.height());
    const int buttonTop = 130 - 8 - 25;
    btnCancel->setGeometry(269 - 8 - 75, buttonTop, 75, 25);
    btnOK->setGeometry(269 - 8 - 75 - 6 - 75, buttonTop, 75, 25);
    const int hintTop = 8 + comboHeight + 6;
    Label2->setGeometry(8, hintTop, 269 - 16, buttonTop - 4 - hintTop);

    setTabOrder(cbAddress, btnOK);
    setTabOrder(btnOK, btnCancel);
    cbAddress->setFocus();
    cbAddress->lineEdit()->selectAll();
}

std::string TfrmSend::Address() const {
    return cbAddress->currentText().toStdString();
}

std::string InvalidAddressMessage() {
    return "Invalid Address! Please use one of the following address types:\r\n"
           "- hostname (e.g. mypc or 192.168.1.20)\r\n"
           "- hostname:port (e.g. anna@mypc:25)\r\n"
           "- username@hostname:port (e.g. anna@mypc:1784)\r\n";
}

TSmtpSendResult SendWithProgress(TSmtpClient& client, const TSmtpSendRequest& request,
                                 QWidget* parent) {
    if (client.Busy())
        client.Cancel();
    // The dialog lives on the heap: whatever runs in the loop may delete its parent.
    QPointer<QProgressDialog> progress = new QProgressDialog(
        QStringLiteral("Sending the note to %1…").arg(QString::fromStdString(request.Host)),
        QStringLiteral("取消"), 0, 0, parent);
    progress->setObjectName(QStringLiteral("dlgSendProgress"));
    progress->setWindowTitle(QStringLiteral("发送VornNote..."));
    progress->setWindowModality(Qt::ApplicationModal);
    progress->setAutoClose(false);
    progress->setAutoReset(false);

    std::optional<TSmtpSendResult> result;
    QEventLoop loop;
    const QMetaObject::Connection finished = QObject::connect(
        &client, &TSmtpClient::Finished, &loop, [&result, &loop](const TSmtpSendResult& done) {
            result = done;
            loop.quit();
        });
    QObject::connect(progress, &QProgressDialog::canceled, &client, &TSmtpClient::Cancel);
    QTimer showTimer;
    showTimer.setSingleShot(true);
    QObject::connect(&showTimer, &QTimer::timeout, &loop, [&progress, &loop] {
        if (progress)
            progress->show();
        loop.quit();
    });

    client.Send(request);
    if (!result) {
        // Until the dialog shows, clicks and keys wait, so no other command starts meanwhile.
        showTimer.start(SendProgressDelayMs);
        loop.exec(QEventLoop::ExcludeUserInputEvents);
    }
    if (!result)
        loop.exec();
    // The loop also ends when the application quits.
    if (!result)
        client.Cancel();
    QObject::disconnect(finished);
    delete progress.data();
    return result.value_or(TSmtpSendResult{false, TSmtpClient::CancelledText, {}});
}

TSmtpSendResult SendWithProgress(const TSmtpSendRequest& request, QWidget* parent) {
    TSmtpClient client;
    return SendWithProgress(client, request, parent);
}
