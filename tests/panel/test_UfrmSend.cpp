#include "TestApplication.h"
#include "UfrmSend.h"

#include <QApplication>
#include <QComboBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QProgressDialog>
#include <QPushButton>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace {

const QString kHint =
    QStringLiteral("输入在网络中已知的IP地址，或已经解决的地址（选择一个显示的用户名或计算机名）。 "
                   "IP地址或计算机名是必填的*第一*联系人!");

struct Application {
    Application() { EnsureApplication(); }
};

struct Send : Application {
    explicit Send(const std::vector<std::string>& book = {"anna@mypc", "bob@pc2:1784"},
                  const std::string& last = "bob@pc2:1784")
        : Dialog(book, last) {}
    void Show() {
        Dialog.setResult(-1);
        Dialog.show();
    }
    static void PressKey(QWidget* target, Qt::Key key) {
        QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier);
        QApplication::sendEvent(target, &press);
    }

    TfrmSend Dialog;
};

TEST(TfrmSend, LayoutCaptionAndTexts) {
    Send send;
    TfrmSend& d = send.Dialog;
    EXPECT_EQ(d.objectName(), QStringLiteral("frmSend"));
    EXPECT_EQ(d.windowTitle(), QStringLiteral("发送VornNote..."));
    EXPECT_TRUE(d.isModal());
    const Qt::WindowFlags flags = d.windowFlags();
    EXPECT_TRUE(flags.testFlag(Qt::CustomizeWindowHint));
    EXPECT_TRUE(flags.testFlag(Qt::WindowTitleHint));
    EXPECT_FALSE(flags.testFlag(Qt::WindowCloseButtonHint));
    EXPECT_FALSE(flags.testFlag(Qt::WindowMinMaxButtonsHint));
    EXPECT_FALSE(flags.testFlag(Qt::WindowContextHelpButtonHint));
    EXPECT_EQ(d.minimumSize(), QSize(269, 130));
    EXPECT_EQ(d.maximumSize(), QSize(269, 130));

    EXPECT_EQ(d.Label1->objectName(), QStringLiteral("Label1"));
    EXPECT_EQ(d.Label1->text(), QStringLiteral("发送到:"));
    EXPECT_EQ(d.cbAddress->objectName(), QStringLiteral("cbAddress"));
    EXPECT_TRUE(d.cbAddress->isEditable());
    EXPECT_EQ(d.cbAddress->width(), 209);
    EXPECT_EQ(d.Label2->objectName(), QStringLiteral("Label2"));
    EXPECT_EQ(d.Label2->text(), kHint);
    EXPECT_TRUE(d.Label2->wordWrap());
    EXPECT_EQ(d.Label2->palette().color(QPalette::WindowText), d.palette().color(QPalette::Shadow));
    EXPECT_EQ(d.btnOK->objectName(), QStringLiteral("btnOK"));
    EXPECT_EQ(d.btnOK->text(), QStringLiteral("确定"));
    EXPECT_TRUE(d.btnOK->isDefault());
    EXPECT_EQ(d.btnCancel->objectName(), QStringLiteral("btnCancel"));
    EXPECT_EQ(d.btnCancel->text(), QStringLiteral("取消"));
    EXPECT_FALSE(d.btnCancel->isDefault());

    send.Show();
    EXPECT_EQ(d.size(), QSize(269, 130));
    // Every control lies inside the client area, none covers another, and the hint has room
    // for all of its wrapped lines.
    const std::vector<QWidget*> controls = {d.Label1, d.cbAddress, d.Label2, d.btnOK, d.btnCancel};
    for (size_t i = 0; i < controls.size(); ++i) {
        SCOPED_TRACE(controls[i]->objectName().toStdString());
        EXPECT_TRUE(d.rect().contains(controls[i]->geometry()));
        for (size_t j = i + 1; j < controls.size(); ++j)
            EXPECT_FALSE(controls[i]->geometry().intersects(controls[j]->geometry()))
                << controls[j]->objectName().toStdString();
    }
    EXPECT_LE(d.Label2->heightForWidth(d.Label2->width()), d.Label2->height());
    EXPECT_GE(d.Label1->width(), d.Label1->sizeHint().width());
    // The address row at the top, the buttons at the bottom right, OK before Cancel.
    EXPECT_LT(d.cbAddress->y(), d.Label2->y());
    EXPECT_LT(d.Label2->y(), d.btnOK->y());
    EXPECT_LT(d.btnOK->x(), d.btnCancel->x());
    EXPECT_GT(d.btnCancel->geometry().right(), 269 - 16);
}

TEST(TfrmSend, AddressBookItemsAndLastAddress) {
    const struct {
        const char* Name;
        std::vector<std::string> Book;
        std::string Last;
    } cases[] = {
        {"last in the book", {"anna@mypc", "bob@pc2:1784", "carl@pc3"}, "bob@pc2:1784"},
        {"last not in the book", {"anna@mypc"}, "unknown@192.168.1.20"},
        {"empty book, no last send", {}, ""},
        {"book but no last send", {"anna@mypc"}, ""},
        {"8-bit", {"安娜@我的电脑"}, "安娜@我的电脑"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Name);
        Send send(c.Book, c.Last);
        QComboBox* box = send.Dialog.cbAddress;
        ASSERT_EQ(box->count(), static_cast<int>(c.Book.size()));
        for (size_t i = 0; i < c.Book.size(); ++i)
            EXPECT_EQ(box->itemText(static_cast<int>(i)).toStdString(), c.Book[i]);
        EXPECT_EQ(box->currentText().toStdString(), c.Last);
        EXPECT_EQ(send.Dialog.Address(), c.Last);
    }
}

TEST(TfrmSend, AddressIsWhatWasTypedOrPicked) {
    Send send;
    send.Show();
    QLineEdit* edit = send.Dialog.cbAddress->lineEdit();
    // The last address is selected: typing replaces it.
    EXPECT_EQ(edit->selectedText(), QStringLiteral("bob@pc2:1784"));
    edit->insert(QStringLiteral("carl@pc3:25"));
    EXPECT_EQ(send.Dialog.Address(), "carl@pc3:25");
    edit->setText(QStringLiteral(" 安娜 @pc "));
    EXPECT_EQ(send.Dialog.Address(), " 安娜 @pc ");
    send.Dialog.cbAddress->setCurrentIndex(0);
    EXPECT_EQ(send.Dialog.Address(), "anna@mypc");
}

TEST(TfrmSend, ButtonsAndKeysCloseIt) {
    const struct {
        const char* Name;
        std::function<void(TfrmSend&)> Act;
        int Result;
    } cases[] = {
        {"OK", [](TfrmSend& d) { d.btnOK->click(); }, QDialog::Accepted},
        {"Cancel", [](TfrmSend& d) { d.btnCancel->click(); }, QDialog::Rejected},
        {"Enter in the address box",
         [](TfrmSend& d) { Send::PressKey(d.cbAddress->lineEdit(), Qt::Key_Return); },
         QDialog::Accepted},
        {"keypad Enter",
         [](TfrmSend& d) { Send::PressKey(d.cbAddress->lineEdit(), Qt::Key_Enter); },
         QDialog::Accepted},
        {"Escape in the address box",
         [](TfrmSend& d) { Send::PressKey(d.cbAddress->lineEdit(), Qt::Key_Escape); },
         QDialog::Rejected},
        {"Escape on Cancel", [](TfrmSend& d) { Send::PressKey(d.btnCancel, Qt::Key_Escape); },
         QDialog::Rejected},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Name);
        Send send;
        send.Show();
        send.Dialog.cbAddress->lineEdit()->setText(QStringLiteral("dora@pc4"));
        c.Act(send.Dialog);
        EXPECT_EQ(send.Dialog.result(), c.Result);
        EXPECT_FALSE(send.Dialog.isVisible());
        // Enter sends the typed text; it does not join the list.
        EXPECT_EQ(send.Dialog.Address(), "dora@pc4");
        EXPECT_EQ(send.Dialog.cbAddress->count(), 2);
    }
}

TEST(TfrmSend, ExecReturnsTheTypedAddress) {
    Send send;
    QTimer::singleShot(0, &send.Dialog, [&send] {
        send.Dialog.cbAddress->lineEdit()->setText(QStringLiteral("anna@192.168.1.20:1784"));
        Send::PressKey(send.Dialog.cbAddress->lineEdit(), Qt::Key_Return);
    });
    EXPECT_EQ(send.Dialog.exec(), QDialog::Accepted);
    EXPECT_EQ(send.Dialog.Address(), "anna@192.168.1.20:1784");
}

TEST(InvalidAddressMessage, FourLinesEachEndedByCrLf) {
    EXPECT_EQ(InvalidAddressMessage(),
              "Invalid Address! Please use one of the following address types:\r\n"
              "- hostname (e.g. mypc or 192.168.1.20)\r\n"
              "- hostname:port (e.g. anna@mypc:25)\r\n"
              "- username@hostname:port (e.g. anna@mypc:1784)\r\n");
}

// ---------------------------------------------------------------------------------------------
// Sending with the progress dialog, against peers on 127.0.0.1

// Greets like a listening Vorn and accepts the message; or, when Silent, never says a word.
class TPeer : public QObject {
public:
    explicit TPeer(bool silent) : Silent_(silent) {
        EXPECT_TRUE(Server_.listen(QHostAddress::LocalHost, 0));
        QObject::connect(&Server_, &QTcpServer::newConnection, this, [this] {
            QTcpSocket* socket = Server_.nextPendingConnection();
            if (Silent_)
                return;
            socket->write("220 Welcome to Vorn v2.04b SMTP Server [anna@peerpc]\r\n");
            QObject::connect(socket, &QTcpSocket::readyRead, socket, [this, socket] {
                while (socket->canReadLine()) {
                    const QByteArray line = socket->readLine().trimmed();
                    if (InData_) {
                        InData_ = line != ".";
                        if (!InData_)
                            socket->write("250 确定\r\n");
                    } else if (line.startsWith("EHLO")) {
                        socket->write("500 命令未确认\r\n");
                    } else if (line == "DATA") {
                        InData_ = true;
                        socket->write("354 go on\r\n");
                    } else if (line != "QUIT") {
                        socket->write("250 ok\r\n");
                    }
                }
            });
        });
    }
    int32_t Port() const { return Server_.serverPort(); }

private:
    QTcpServer Server_;
    bool Silent_;
    bool InData_ = false;
};

TSmtpSendRequest Request(int32_t port) {
    TSmtpSendRequest request;
    request.Host = "127.0.0.1";
    request.Port = port;
    request.HeloName = "pc1";
    request.EnvelopeFrom = "bob@pc1";
    request.EnvelopeTo = "anna@127.0.0.1";
    request.Lines = {"X-Vorn: {128,128,-1,\"Arial\",8,0}", "", "hello"};
    return request;
}

QProgressDialog* VisibleProgress() {
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        auto* progress = qobject_cast<QProgressDialog*>(widget);
        if (progress && progress->isVisible())
            return progress;
    }
    return nullptr;
}

TEST(SendWithProgress, QuickSendShowsNoDialog) {
    EnsureApplication();
    TPeer peer(false);
    bool shown = false;
    QTimer watch;
    QObject::connect(&watch, &QTimer::timeout, [&shown] { shown = shown || VisibleProgress(); });
    watch.start(10);
    const TSmtpSendResult result = SendWithProgress(Request(peer.Port()), nullptr);
    EXPECT_TRUE(result.Ok) << result.Error;
    EXPECT_EQ(result.LastServerIdentity, "anna@peerpc");
    EXPECT_FALSE(shown);
    EXPECT_EQ(VisibleProgress(), nullptr);
}

TEST(SendWithProgress, SilentPeerShowsProgressThenTimesOut) {
    EnsureApplication();
    TPeer peer(true);
    TSmtpClient client;
    client.ReplyTimeoutMs = SendProgressDelayMs + 600;
    QWidget owner;
    owner.show();
    // The loop keeps running while the send waits: timers fire, windows paint.
    int ticks = 0;
    QString label;
    bool modal = false;
    QTimer watch;
    QObject::connect(&watch, &QTimer::timeout, [&] {
        ++ticks;
        if (QProgressDialog* progress = VisibleProgress()) {
            label = progress->labelText();
            modal = progress->isModal();
        }
    });
    watch.start(20);
    const TSmtpSendResult result = SendWithProgress(client, Request(peer.Port()), &owner);
    EXPECT_FALSE(result.Ok);
    EXPECT_EQ(result.Error, TSmtpClient::ReplyTimeoutText);
    EXPECT_GT(ticks, 5);
    EXPECT_EQ(label, QStringLiteral("Sending the note to 127.0.0.1…"));
    EXPECT_TRUE(modal);
    EXPECT_EQ(VisibleProgress(), nullptr);
    EXPECT_FALSE(client.Busy());
}

TEST(SendWithProgress, CancelButtonEndsTheSend) {
    EnsureApplication();
    TPeer peer(true);
    TSmtpClient client;
    client.ReplyTimeoutMs = 10000;
    bool clicked = false;
    QTimer watch;
    QObject::connect(&watch, &QTimer::timeout, [&clicked] {
        if (QProgressDialog* progress = VisibleProgress(); progress && !clicked) {
            QPushButton* cancel = progress->findChild<QPushButton*>();
            ASSERT_NE(cancel, nullptr);
            EXPECT_EQ(cancel->text(), QStringLiteral("取消"));
            clicked = true;
            cancel->click();
        }
    });
    watch.start(20);
    const TSmtpSendResult result = SendWithProgress(client, Request(peer.Port()), nullptr);
    EXPECT_TRUE(clicked);
    EXPECT_FALSE(result.Ok);
    EXPECT_EQ(result.Error, TSmtpClient::CancelledText);
}

TEST(SendWithProgress, RefusedAtOnceWithoutAConnection) {
    EnsureApplication();
    const TSmtpSendResult result = SendWithProgress(Request(-1), nullptr);
    EXPECT_FALSE(result.Ok);
    EXPECT_EQ(result.Error, "Invalid port number: -1");
}

} // namespace
