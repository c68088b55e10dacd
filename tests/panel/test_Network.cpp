#include "PanelRun.h"
#include "UFileUtil.h"
#include "UNoteBody.h"
#include "UNoteFiles.h"
#include "USystem.h"
#include "Udm.h"
#include "UfrmSend.h"

#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// A started program that listens as its network tab says.
struct NetRun : Panel {
    explicit NetRun(const std::string& user = "tester", const std::string& port = "0")
        : Panel("[Strings]\r\nsIdentity=" + user + "\r\nsPort=" + port + "\r\n") {}

    TfrmMain& main = Main();
    Tdm& dm = Main().dm();

    bool Listening() const {
        return !main.btnListen->isEnabled() && !main.edtIdentity->isEnabled() &&
               !main.edtPort->isEnabled() && main.btnStop->isEnabled();
    }
    std::string Log() const { return main.memLog->toPlainText().toStdString(); }
    // A message as a peer's server thread would queue it.
    void Queue(const std::vector<std::string>& lines) {
        ASSERT_TRUE(dm.ReceiveQueue.EnqueueMessage(lines));
    }
    TfrmNote* LastNote() const { return main.Notes().empty() ? nullptr : main.Notes().back(); }
};

// The first line a client reads from a port on this computer.
std::string GreetingOn(uint16_t port) {
    QTcpSocket socket;
    socket.connectToHost(QStringLiteral("127.0.0.1"), port);
    if (!socket.waitForConnected(5000))
        return "no connection";
    const QDeadlineTimer deadline(5000);
    while (!socket.canReadLine() && !deadline.hasExpired())
        socket.waitForReadyRead(100);
    return socket.readLine().toStdString();
}

TEST(Listen, RefusalsChangeNothing) {
    const struct {
        const char* user;
        const char* port;
        const char* message;
    } rows[] = {
        {"", "56784", "Please enter a username"},    {"   ", "56784", "Please enter a username"},
        {"tester", "65536", "Invalid Port number!"}, {"tester", "-1", "Invalid Port number!"},
        {"tester", "port", "Invalid Port number!"},  {"tester", "", "Invalid Port number!"},
    };
    NetRun run;
    ASSERT_TRUE(run.started);
    for (const auto& row : rows) {
        SCOPED_TRACE(testing::Message() << "'" << row.user << "' '" << row.port << "'");
        run.Prompt.Messages.clear();
        run.main.edtIdentity->setText(QString::fromLatin1(row.user));
        run.main.edtPort->setText(QString::fromLatin1(row.port));
        run.main.btnListen->click();
        EXPECT_EQ(run.Prompt.Messages, std::vector<std::string>{row.message});
        EXPECT_FALSE(run.Listening());
        EXPECT_TRUE(run.main.NetworkIdentity.empty());
        EXPECT_FALSE(run.dm.SMTPServer.IsActive());
    }
}

TEST(Listen, PortInUseIsReported) {
    QTcpServer taken;
    ASSERT_TRUE(taken.listen(QHostAddress::Any, 0));
    NetRun run("tester", std::to_string(taken.serverPort()));
    ASSERT_TRUE(run.started);
    run.main.btnListen->click();
    EXPECT_EQ(run.Prompt.Messages, std::vector<std::string>{"Cannot Listen on Port " +
                                                            std::to_string(taken.serverPort())});
    EXPECT_FALSE(run.Listening());
    EXPECT_TRUE(run.main.NetworkIdentity.empty());
}

TEST(Listen, IdentityAndGreetingWhileListeningThenStop) {
    NetRun run;
    ASSERT_TRUE(run.started);
    run.main.edtIdentity->setText(QStringLiteral(" anna")); // a leading blank stays
    run.main.btnListen->click();
    ASSERT_TRUE(run.Prompt.Messages.empty()) << run.Prompt.Messages.front();
    ASSERT_TRUE(run.Listening());
    const uint16_t port = run.dm.SMTPServer.Port();
    ASSERT_NE(port, 0) << "port 0 asks the system for a free port";
    const std::string identity = " anna@" + HostName() + ":" + std::to_string(port);
    EXPECT_EQ(run.main.NetworkIdentity, identity) << "the port actually listened on";
    EXPECT_EQ(GreetingOn(port), "220 Welcome to Vorn v2.04b SMTP Server [" + identity + "]\r\n");

    run.main.StoreControlsToSettings();
    EXPECT_TRUE(run.main.Ini().GetBoolean("bNetworking"));

    run.main.btnStop->click();
    EXPECT_FALSE(run.Listening());
    EXPECT_TRUE(run.main.btnListen->isEnabled());
    EXPECT_TRUE(run.main.NetworkIdentity.empty());
    EXPECT_FALSE(run.dm.SMTPServer.IsActive());
    EXPECT_EQ(GreetingOn(port), "no connection");
    EXPECT_TRUE(run.Prompt.Messages.empty());
}

TEST(Listen, StartUpListensAgainWhenItWasOn) {
    QTcpServer probe; // a port that is free now
    ASSERT_TRUE(probe.listen(QHostAddress::Any, 0));
    const std::string port = std::to_string(probe.serverPort());
    probe.close();
    Panel run("[Strings]\r\nsIdentity=tester\r\nsPort=" + port +
              "\r\n[Booleans]\r\nbNetworking=1\r\n");
    ASSERT_TRUE(run.started);
    EXPECT_TRUE(run.Main().dm().SMTPServer.IsActive());
    EXPECT_EQ(run.Main().NetworkIdentity, "tester@" + HostName() + ":" + port);
    EXPECT_TRUE(run.Main().timQueue->isActive());
    EXPECT_EQ(run.Main().timQueue->interval(), 2000);
}

// ---- received notes ---------------------------------------------------------------------------

TEST(Receive, EveryWaitingMessageBecomesAReadOnlyNoteOldestFirst) {
    NetRun run;
    ASSERT_TRUE(run.started);
    run.Queue({"{200,150,255,\"DejaVu Serif\",11,16711680}", "first", "", "[Sender: x@y]"});
    run.Queue({"", "no record"});
    run.Queue({});
    const size_t before = run.main.Notes().size();
    run.main.timQueueTimer();
    ASSERT_EQ(run.main.Notes().size(), before + 2);
    EXPECT_EQ(run.dm.ReceiveQueue.QueueCount(), 0u);

    TfrmNote& first = *run.main.Notes()[before];
    EXPECT_EQ(first.Text(), "first\r\n\r\n[Sender: x@y]\r\n");
    EXPECT_TRUE(first.IsReadOnly());
    EXPECT_FALSE(first.IsOnTop());
    EXPECT_EQ(first.size(), QSize(200, 150));
    EXPECT_EQ(first.NoteColor(), 255);
    EXPECT_EQ(first.FontColor(), 16711680);
    EXPECT_EQ(first.BodyFont().family(), QStringLiteral("DejaVu Serif"));
    EXPECT_EQ(first.BodyFont().pointSize(), 11);
    EXPECT_EQ(ReadFixture(NoteFileName(run.Folder.Path(), first.NoteId())), first.Text());

    TfrmNote& second = *run.main.Notes()[before + 1];
    EXPECT_EQ(second.Text(), "\r\nno record\r\n");
    EXPECT_FALSE(second.IsReadOnly());
    EXPECT_EQ(second.size(), QSize(128, 128));
    EXPECT_TRUE(run.Prompt.Messages.empty());
}

TEST(Receive, BringToFrontLeavesTheNoteNotTopmostAndTheSoundPlaysOncePerTick) {
    NetRun run;
    ASSERT_TRUE(run.started);
    WriteFixture(run.Folder.File("ding.wav"), "RIFF");
    run.main.chkBringToFront->setChecked(true);
    run.main.chkPlayWav1->setChecked(true);
    run.main.edtWAV1->setText(QString::fromStdString(run.Folder.File("ding.wav")));
    run.Queue({"", "a"});
    run.Queue({"", "b"});
    run.main.timQueueTimer();
    EXPECT_FALSE(run.LastNote()->IsOnTop());
    EXPECT_FALSE(run.LastNote()->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    EXPECT_EQ(run.Desktop.Played, std::vector<std::string>{run.Folder.File("ding.wav")});

    run.main.timQueueTimer(); // nothing arrived: no sound
    run.main.chkPlayWav1->setChecked(false);
    run.Queue({"", "c"});
    run.main.timQueueTimer();
    EXPECT_EQ(run.Desktop.Played.size(), 1u);

    run.main.btnWav1->click(); // the check button plays the file at once
    EXPECT_EQ(run.Desktop.Played.size(), 2u);
    run.Desktop.Succeeds = false;
    run.main.btnWav1->click();
    EXPECT_EQ(run.Prompt.Messages.size(), 1u);
}

TEST(Receive, NotesBeyondTheWindowLimitAreDroppedWithOneMessagePerTick) {
    NetRun run;
    ASSERT_TRUE(run.started);
    while (run.main.Notes().size() < static_cast<size_t>(MaxNoteWindows) - 2)
        ASSERT_NE(run.AddNote(10, 10), nullptr);
    for (int i = 0; i < 7; ++i)
        run.Queue({"", "flood " + std::to_string(i)});
    run.main.timQueueTimer();
    EXPECT_EQ(run.main.Notes().size(), static_cast<size_t>(MaxNoteWindows));
    EXPECT_EQ(run.Prompt.Messages,
              std::vector<std::string>{"Cannot create more than 1024 windows. 5 received notes "
                                       "were dropped."});
    EXPECT_EQ(run.dm.ReceiveQueue.QueueCount(), 0u);
}

TEST(Receive, MessagesQueuedBeforeAStopStillBecomeNotes) {
    NetRun run;
    ASSERT_TRUE(run.started);
    run.main.btnListen->click();
    ASSERT_TRUE(run.Listening());
    run.Queue({"", "late"});
    run.main.btnStop->click();
    run.main.timQueueTimer();
    ASSERT_NE(run.LastNote(), nullptr);
    EXPECT_EQ(run.LastNote()->Text(), "\r\nlate\r\n");
}

// ---- sending ----------------------------------------------------------------------------------

// Two programs on this computer: `sender` sends, `peer` listens.
struct SendRun : ::testing::Test {
    SendRun() {
        peer.main.edtIdentity->setText(QStringLiteral("bob"));
        peer.main.btnListen->click();
        sender.main.btnListen->click();
        note = sender.AddNote(300, 300);
        note->SetText("Hello\r\n.dot");
        note->resize(210, 140);
        sender.main.RunSendDialog = [this](TfrmSend& dialog) {
            shownItems.clear();
            for (int i = 0; i < dialog.cbAddress->count(); ++i)
                shownItems.push_back(dialog.cbAddress->itemText(i).toStdString());
            shownText = dialog.cbAddress->currentText().toStdString();
            dialog.cbAddress->setEditText(QString::fromStdString(typed));
            return answer;
        };
    }
    std::string PeerAddress() const {
        return "bob@" + HostName() + ":" + std::to_string(peer.dm.SMTPServer.Port());
    }
    // Waits for the peer's timer to take the note.
    TfrmNote* Received() {
        const QDeadlineTimer deadline(5000);
        while (peer.dm.ReceiveQueue.QueueCount() == 0 && !deadline.hasExpired())
            QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        peer.main.timQueueTimer();
        return peer.LastNote();
    }

    NetRun sender{"anna"};
    NetRun peer{"bob"};
    TfrmNote* note = nullptr;
    std::string typed;
    bool answer = true;
    std::vector<std::string> shownItems;
    std::string shownText;
};

TEST_F(SendRun, NoteReachesThePeerAndThePeerIsRemembered) {
    ASSERT_TRUE(sender.Listening() && peer.Listening());
    typed = "127.0.0.1:" + std::to_string(peer.dm.SMTPServer.Port());
    sender.main.SendNote(*note);
    ASSERT_TRUE(sender.Prompt.Errors.empty()) << sender.Prompt.Errors.front();

    const std::string peerAddress = PeerAddress();
    EXPECT_EQ(sender.Log(), "Successfully sent VornNote [" + std::to_string(note->NoteId()) +
                                "] to " + peerAddress + "\nLCS=" + peerAddress);
    EXPECT_EQ(sender.main.LastSendAddress, peerAddress);
    EXPECT_EQ(sender.dm.AddressBook.Entries(), std::vector<std::string>{peerAddress});
    EXPECT_EQ(sender.dm.LastServerIdentity, peerAddress);

    TfrmNote* received = Received();
    ASSERT_NE(received, nullptr);
    const std::string text = received->Text();
    EXPECT_EQ(text.rfind("Hello\r\n.dot\r\n\r\n[Sent on: ", 0), 0u) << text;
    EXPECT_NE(text.find("[Sender: " + sender.main.NetworkIdentity + "]\r\n"), std::string::npos)
        << text;
    EXPECT_TRUE(received->IsReadOnly());
    EXPECT_EQ(received->size(), QSize(210, 140));
    EXPECT_EQ(received->NoteColor(), note->NoteColor());
    EXPECT_EQ(peer.dm.AddressBook.Entries(), std::vector<std::string>{sender.main.NetworkIdentity});

    // the next send offers the book and the last address
    sender.main.SendNote(*note);
    EXPECT_EQ(shownItems, std::vector<std::string>{peerAddress});
    EXPECT_EQ(shownText, peerAddress);
    EXPECT_EQ(sender.dm.AddressBook.Entries().size(), 1u);
}

TEST_F(SendRun, RefusalsAndFailuresChangeNothing) {
    // not listening: the networking message, and no dialog
    sender.main.btnStop->click();
    sender.main.SendNote(*note);
    EXPECT_EQ(sender.Prompt.Messages,
              std::vector<std::string>{"To send VornNotes over a TCP Network, you have to "
                                       "enable Networking from Vorn Control Panel"});
    sender.main.btnListen->click();

    answer = false; // cancelled
    typed = "127.0.0.1:" + std::to_string(peer.dm.SMTPServer.Port());
    sender.main.SendNote(*note);
    answer = true;

    typed = "a:b:c:d"; // four parts
    sender.main.SendNote(*note);
    ASSERT_EQ(sender.Prompt.Messages.size(), 2u);
    EXPECT_EQ(sender.Prompt.Messages[1], InvalidAddressMessage());

    QTcpServer closed; // a port nobody listens on
    ASSERT_TRUE(closed.listen(QHostAddress::LocalHost, 0));
    typed = "127.0.0.1:" + std::to_string(closed.serverPort());
    closed.close();
    sender.main.SendNote(*note);
    EXPECT_EQ(sender.Prompt.Errors.size(), 1u);

    EXPECT_TRUE(sender.Log().empty());
    EXPECT_TRUE(sender.main.LastSendAddress.empty());
    EXPECT_TRUE(sender.dm.AddressBook.Entries().empty());
    EXPECT_EQ(peer.dm.ReceiveQueue.QueueCount(), 0u);
}

} // namespace
