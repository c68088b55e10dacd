#include "USmtpClient.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <sys/socket.h>
#include <unistd.h>

#include <arpa/inet.h>
#include <netinet/in.h>

#include <algorithm>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace {

// ---------------------------------------------------------------------------------------------
// The dialogue alone

const std::string kGreeting = "220 Welcome to Vorn v2.04b SMTP Server [anna@peerpc:1784]\r\n";

std::vector<std::string> SampleLines() {
    return {"From: bob@pc1:1784",
            "Subject: Vorn v2.04b",
            "X-Vorn: {200,150,255,\"Arial\",8,0}",
            "",
            "Hello",
            "",
            "[Sender: bob@pc1:1784]"};
}

TSmtpClientDialogue SampleDialogue() {
    return TSmtpClientDialogue("pc1", "bob@pc1:1784", "anna@peerpc", SampleLines());
}

const std::string kSampleData = "From: bob@pc1:1784\r\nSubject: Vorn v2.04b\r\n"
                                "X-Vorn: {200,150,255,\"Arial\",8,0}\r\n\r\nHello\r\n\r\n"
                                "[Sender: bob@pc1:1784]\r\n.\r\n";

struct TExchange {
    std::string Reply;
    std::string Sent; // what the client answers it with
};

// The replies of a Vorn peer (EHLO refused) and what the client sends after each.
const std::vector<TExchange> kVornPeer = {
    {kGreeting, "EHLO pc1\r\n"},
    {"500 命令未确认\r\n", "HELO pc1\r\n"},
    {"250 您好 pc1\r\n", "RSET\r\n"},
    {"250 确定\r\n", "MAIL FROM:<bob@pc1:1784>\r\n"},
    {"250 bob@pc1:1784 地址正确\r\n", "RCPT TO:<anna@peerpc>\r\n"},
    {"250 anna@peerpc 地址正确\r\n", "DATA\r\n"},
    {"354 开始邮件输入;结束 <CRLF>.<CRLF>\r\n", kSampleData},
    {"250 确定\r\n", "QUIT\r\n"},
};

void Play(TSmtpClientDialogue& dialogue, const std::vector<TExchange>& exchanges) {
    for (size_t i = 0; i < exchanges.size(); ++i) {
        SCOPED_TRACE("reply " + std::to_string(i) + ": " + exchanges[i].Reply);
        EXPECT_FALSE(dialogue.Finished());
        EXPECT_EQ(dialogue.Receive(exchanges[i].Reply), exchanges[i].Sent);
    }
}

TEST(TSmtpClientDialogue, SucceedsAgainstPeersWithAndWithoutEhlo) {
    const std::vector<TExchange> ehloPeer = {
        {"220 mx.example ESMTP ready\r\n", "EHLO pc1\r\n"},
        {"250-mx.example\r\n250-PIPELINING\r\n250-8BITMIME\r\n250 HELP\r\n", "RSET\r\n"},
        {"250 2.0.0 Ok\r\n", "MAIL FROM:<bob@pc1:1784>\r\n"},
        {"250 2.1.0 Ok\r\n", "RCPT TO:<anna@peerpc>\r\n"},
        {"251 2.1.5 will forward\r\n", "DATA\r\n"},
        {"354 go ahead\r\n", kSampleData},
        {"250-2.0.0 queued\r\n250 as 1234\r\n", "QUIT\r\n"},
    };
    // RSET's answer does not matter, refusal included.
    std::vector<TExchange> refusedReset = kVornPeer;
    refusedReset[3].Reply = "502 not here\r\n";

    const struct {
        const char* Name;
        std::vector<TExchange> Exchanges;
        std::string Identity;
    } cases[] = {
        {"Vorn peer refuses EHLO", kVornPeer, "anna@peerpc:1784"},
        {"ESMTP peer", ehloPeer, ""},
        {"RSET refused", refusedReset, "anna@peerpc:1784"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Name);
        TSmtpClientDialogue dialogue = SampleDialogue();
        Play(dialogue, c.Exchanges);
        EXPECT_TRUE(dialogue.Finished());
        EXPECT_TRUE(dialogue.Succeeded());
        EXPECT_TRUE(dialogue.QuitSent());
        EXPECT_EQ(dialogue.Error(), "");
        EXPECT_EQ(dialogue.LastServerIdentity(), c.Identity);
        // QUIT's answer is not awaited; whatever comes later is ignored.
        EXPECT_EQ(dialogue.Receive("221 bye\r\n500 what\r\n"), "");
        EXPECT_TRUE(dialogue.Succeeded());
    }
}

TEST(TSmtpClientDialogue, RepliesSplitAnywhereAndBareLineFeeds) {
    std::string replies;
    std::string expected;
    for (const TExchange& exchange : kVornPeer) {
        replies += exchange.Reply;
        expected += exchange.Sent;
    }
    // One byte at a time.
    TSmtpClientDialogue bytewise = SampleDialogue();
    std::string sent;
    for (const char c : replies)
        sent += bytewise.Receive(std::string_view(&c, 1));
    EXPECT_EQ(sent, expected);
    EXPECT_TRUE(bytewise.Succeeded());

    // Several replies in one read (a peer that does not wait for the commands).
    TSmtpClientDialogue atOnce = SampleDialogue();
    EXPECT_EQ(atOnce.Receive(replies), expected);
    EXPECT_TRUE(atOnce.Succeeded());

    // Lines ended by LF alone.
    TSmtpClientDialogue lf = SampleDialogue();
    EXPECT_EQ(lf.Receive("220-first [id]\n220 second\n"), "EHLO pc1\r\n");
    EXPECT_EQ(lf.Receive("250 ok\n"), "RSET\r\n");
    EXPECT_EQ(lf.LastServerIdentity(), "id");
}

TEST(TSmtpClientDialogue, UnexpectedReplyFailsWithThePeersText) {
    const struct {
        const char* Name;
        size_t Step; // index into kVornPeer of the reply that is replaced
        std::string Reply;
        std::string Error;
    } cases[] = {
        {"no service", 0, "554 no service here\r\n", "554 no service here"},
        {"greeting 4xx", 0, "421 busy\r\n", "421 busy"},
        {"EHLO 4xx is no refusal", 1, "421 closing\r\n", "421 closing"},
        {"HELO refused", 2, "501 Syntax Error in parameters or arguments\r\n",
         "501 Syntax Error in parameters or arguments"},
        {"MAIL refused", 4, "550 5.7.1 not you\r\n", "550 5.7.1 not you"},
        {"RCPT 252", 5, "252 cannot verify\r\n", "252 cannot verify"},
        {"RCPT refused", 5, "550-no such user\r\n550 try another\r\n",
         "550-no such user\n550 try another"},
        {"DATA answered 250", 6, "250 ok\r\n", "250 ok"},
        {"DATA refused", 6, "503 \r\n", "503 "},
        {"message refused", 7, "554 5.6.0 rejected\r\n", "554 5.6.0 rejected"},
        {"not SMTP", 0, "HTTP/1.1 400 Bad Request\r\n", "HTTP/1.1 400 Bad Request"},
        {"no code", 3, "ok\r\n", "ok"},
        {"empty line", 3, "\r\n", "The peer's answer is not an SMTP reply"},
        {"bad separator", 3, "250+ok\r\n", "250+ok"},
        {"continuation then garbage", 3, "250-one\r\nnonsense\r\n", "250-one\nnonsense"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Name);
        TSmtpClientDialogue dialogue = SampleDialogue();
        Play(dialogue, std::vector<TExchange>(kVornPeer.begin(), kVornPeer.begin() + c.Step));
        EXPECT_EQ(dialogue.Receive(c.Reply), "QUIT\r\n");
        EXPECT_TRUE(dialogue.Finished());
        EXPECT_FALSE(dialogue.Succeeded());
        EXPECT_TRUE(dialogue.QuitSent());
        EXPECT_EQ(dialogue.Error(), c.Error);
        EXPECT_EQ(dialogue.Receive("250 ok\r\n"), "");
    }
}

TEST(TSmtpClientDialogue, IdentityIsTheGreetingsBracketedText) {
    const struct {
        const char* Name;
        std::string Greeting;
        std::string Identity;
    } cases[] = {
        {"Vorn peer", kGreeting, "anna@peerpc:1784"},
        {"default port", "220 Welcome to Vorn v2.04b SMTP Server [ anna@pc:56784]\r\n",
         " anna@pc:56784"},
        {"no brackets", "220 mx.example ESMTP\r\n", ""},
        {"no closing bracket", "220 mx [anna@pc\r\n", ""},
        {"closing first", "220 mx ]anna@pc[\r\n", ""},
        {"empty brackets", "220 []\r\n", ""},
        {"second line", "220-mx.example\r\n220 Vorn [anna@pc]\r\n", "anna@pc"},
        {"first line wins", "220-[one]\r\n220 [two]\r\n", "one"},
        {"control characters dropped", "220 [an\x01na\r@pc\x7f]\r\n", "anna@pc"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Name);
        TSmtpClientDialogue dialogue = SampleDialogue();
        EXPECT_EQ(dialogue.Receive(c.Greeting), "EHLO pc1\r\n");
        EXPECT_EQ(dialogue.LastServerIdentity(), c.Identity);
        // Later replies do not replace it.
        dialogue.Receive("220 [other]\r\n");
        EXPECT_EQ(dialogue.LastServerIdentity(), c.Identity);
    }
    // A refused greeting still names the peer it came from only when it is a 220.
    TSmtpClientDialogue refused = SampleDialogue();
    refused.Receive("554 [spam@trap]\r\n");
    EXPECT_EQ(refused.LastServerIdentity(), "");
}

TEST(TSmtpClientDialogue, OverlongReplyLinesAreSplitNotErrors) {
    const size_t max = TSmtpClientDialogue::MaxReplyLine;
    TSmtpClientDialogue dialogue = SampleDialogue();
    // The identity is in the first piece; the rest of the line goes with it.
    EXPECT_EQ(dialogue.Receive("220 [anna@pc] " + std::string(5000, 'x') + "\r\n"), "EHLO pc1\r\n");
    EXPECT_EQ(dialogue.LastServerIdentity(), "anna@pc");
    // Exactly as long as the limit, and a continuation line far over it.
    EXPECT_EQ(dialogue.Receive("500 " + std::string(max - 4, 'y') + "\r\n"), "HELO pc1\r\n");
    std::string longEhlo = "250-" + std::string(3 * max + 7, 'z') + "\r\n250 ok\r\n";
    EXPECT_EQ(dialogue.Receive(longEhlo), "RSET\r\n");
    // A long line that looks like a reply after the split point is still text of its line.
    EXPECT_EQ(dialogue.Receive("250 " + std::string(max - 4, 'r') + "554 no\r\n"),
              "MAIL FROM:<bob@pc1:1784>\r\n");
    // A huge refusal: the error keeps its beginning, bounded.
    std::string huge = "550 " + std::string(100000, 'e') + "\r\n";
    EXPECT_EQ(dialogue.Receive(huge), "QUIT\r\n");
    EXPECT_EQ(dialogue.Error().substr(0, 8), "550 eeee");
    EXPECT_LE(dialogue.Error().size(), TSmtpClientDialogue::MaxReplyText);
}

TEST(TSmtpClientDialogue, MessageDataIsDotStuffedAndFramed) {
    const struct {
        const char* Name;
        std::vector<std::string> Lines;
        std::string Data;
    } cases[] = {
        {"nothing", {}, ".\r\n"},
        {"plain", {"Subject: x", "", "body"}, "Subject: x\r\n\r\nbody\r\n.\r\n"},
        {"dots",
         {".", "..", ".hidden", "a.b", " .", ""},
         "..\r\n...\r\n..hidden\r\na.b\r\n .\r\n\r\n.\r\n"},
        {"8-bit", {"你好", "\xff\xfe"}, "你好\r\n\xff\xfe\r\n.\r\n"},
        {"LF inside", {"a\nb"}, "a\r\nb\r\n.\r\n"},
        {"CR LF inside", {"a\r\nb"}, "a\r\nb\r\n.\r\n"},
        {"CR inside", {"a\rb"}, "a\r\nb\r\n.\r\n"},
        {"LF CR is two breaks", {"a\n\rb"}, "a\r\n\r\nb\r\n.\r\n"},
        {"break then dot", {"x\n.\n.y"}, "x\r\n..\r\n..y\r\n.\r\n"},
        {"break at the end", {"tail\n"}, "tail\r\n\r\n.\r\n"},
        {"breaks only", {"\r\r\n"}, "\r\n\r\n\r\n.\r\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Name);
        const std::string data = TSmtpClientDialogue::MessageData(c.Lines);
        EXPECT_EQ(data, c.Data);
        for (size_t i = 0; i < data.size(); ++i) {
            if (data[i] == '\r') {
                EXPECT_TRUE(i + 1 < data.size() && data[i + 1] == '\n') << "bare CR at " << i;
            }
            if (data[i] == '\n') {
                EXPECT_TRUE(i > 0 && data[i - 1] == '\r') << "bare LF at " << i;
            }
        }
    }
}

TEST(TSmtpClientDialogue, CommandsCarryNoLineBreaks) {
    const struct {
        const char* Name;
        std::string Helo, From, To;
    } cases[] = {
        {"recipient", "pc1", "bob@pc1", "anna@pc\r\nRCPT TO:<eve@pc>"},
        {"sender", "pc1", "bob@pc1\n", "anna@pc"},
        {"HELO name", "pc\r1", "bob@pc1", "anna@pc"},
        {"NUL", "pc1", std::string("bob\0@pc1", 8), "anna@pc"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Name);
        TSmtpClientDialogue dialogue(c.Helo, c.From, c.To, SampleLines());
        EXPECT_TRUE(dialogue.Finished());
        EXPECT_FALSE(dialogue.Succeeded());
        EXPECT_FALSE(dialogue.Error().empty());
        EXPECT_FALSE(dialogue.QuitSent());
        EXPECT_EQ(dialogue.Receive(kGreeting), "");
    }
    TSmtpClientDialogue noName("", "bob@pc1", "anna@pc", {});
    EXPECT_EQ(noName.Receive(kGreeting), "EHLO localhost\r\n");
}

// ---------------------------------------------------------------------------------------------
// Sockets on 127.0.0.1

class CoreApplicationEnd : public ::testing::Environment {
public:
    void TearDown() override { App().reset(); }
    static std::unique_ptr<QCoreApplication>& App() {
        static std::unique_ptr<QCoreApplication> app;
        return app;
    }
};
[[maybe_unused]] ::testing::Environment* const kCoreApplicationEnd =
    ::testing::AddGlobalTestEnvironment(new CoreApplicationEnd);

void EnsureCoreApplication() {
    if (CoreApplicationEnd::App())
        return;
    static int argc = 1;
    static char name[] = "test_USmtpClient";
    static char* argv[] = {name, nullptr};
    CoreApplicationEnd::App() = std::make_unique<QCoreApplication>(argc, argv);
}

// Runs the event loop until `done` holds or `ms` pass; returns `done()`.
bool RunUntil(const std::function<bool()>& done, int ms = 5000) {
    const QDeadlineTimer deadline(ms);
    while (!done() && !deadline.hasExpired())
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 20);
    return done();
}

void RunFor(int ms) {
    RunUntil([] { return false; }, ms);
}

// A peer that answers as a listening Vorn does unless the test says otherwise, and records
// every line it receives.
class TScriptedPeer : public QObject {
public:
    TScriptedPeer() {
        EXPECT_TRUE(Server_.listen(QHostAddress::LocalHost, 0));
        QObject::connect(&Server_, &QTcpServer::newConnection, this, [this] { Accept(); });
    }
    ~TScriptedPeer() override {
        if (Socket_)
            Socket_->abort();
    }

    int32_t Port() const { return Server_.serverPort(); }

    std::string Greeting = kGreeting;
    bool Silent = false; // accepts the connection and never writes a byte
    // Replaces the reply to a command ("EHLO", "MAIL", ... and "." for the message's end).
    std::map<std::string, std::string> Replies;
    std::string SilentAfter;     // the command after which it stops answering
    std::string CloseAfter;      // the command after which it closes the connection unanswered
    bool CloseWithReply = false; // ... or closes right after its reply

    std::vector<std::string> Lines; // received, without their CR LF
    std::string Raw;
    int Connections = 0;
    bool Closed = false;

    bool SawLine(const std::string& line) const {
        return std::find(Lines.begin(), Lines.end(), line) != Lines.end();
    }

private:
    void Accept() {
        QTcpSocket* socket = Server_.nextPendingConnection();
        ++Connections;
        if (Socket_) { // one client at a time; a later one replaces the earlier
            Socket_->abort();
        }
        Socket_ = socket;
        Pending_.clear();
        InData_ = false;
        Mute_ = Silent;
        QObject::connect(socket, &QTcpSocket::readyRead, this, [this, socket] {
            if (socket == Socket_)
                Read();
        });
        QObject::connect(socket, &QTcpSocket::disconnected, this, [this, socket] {
            if (socket == Socket_)
                Closed = true;
        });
        Closed = false;
        if (!Mute_)
            Write(Greeting);
    }

    void Write(const std::string& bytes) {
        Socket_->write(bytes.data(), static_cast<qint64>(bytes.size()));
    }

    void Read() {
        const QByteArray bytes = Socket_->readAll();
        Raw.append(bytes.constData(), static_cast<size_t>(bytes.size()));
        Pending_.append(bytes.constData(), static_cast<size_t>(bytes.size()));
        for (size_t end = Pending_.find("\r\n"); end != std::string::npos;
             end = Pending_.find("\r\n")) {
            const std::string line = Pending_.substr(0, end);
            Pending_.erase(0, end + 2);
            Lines.push_back(line);
            if (!Socket_)
                return;
            Answer(line);
        }
    }

    void Answer(const std::string& line) {
        std::string verb;
        if (InData_) {
            if (line != ".")
                return;
            InData_ = false;
            verb = ".";
        } else {
            verb = line.substr(0, line.find(' '));
            verb = verb.substr(0, verb.find(':'));
        }
        if (Mute_)
            return;
        if (verb == CloseAfter && !CloseWithReply) {
            Socket_->disconnectFromHost();
            return;
        }
        if (verb == SilentAfter)
            Mute_ = true;
        const auto own = Replies.find(verb);
        std::string reply;
        if (own != Replies.end()) {
            reply = own->second;
        } else if (verb == "EHLO") {
            reply = "500 命令未确认\r\n";
        } else if (verb == "HELO") {
            reply = "250 您好 " + line.substr(5) + "\r\n";
        } else if (verb == "RSET" || verb == ".") {
            reply = "250 确定\r\n";
        } else if (verb == "MAIL" || verb == "RCPT") {
            reply = "250 " + line.substr(line.find('<')) + " 地址正确\r\n";
        } else if (verb == "DATA") {
            reply = "354 开始邮件输入;结束 <CRLF>.<CRLF>\r\n";
        } else if (verb == "QUIT") {
            Write("221 关闭登录\r\n");
            Socket_->disconnectFromHost();
            return;
        } else {
            reply = "500 语法错误\r\n";
        }
        if (Mute_ && verb == SilentAfter)
            return;
        if (reply.substr(0, 3) == "354")
            InData_ = true;
        Write(reply);
        if (verb == CloseAfter)
            Socket_->disconnectFromHost();
    }

    QTcpServer Server_;
    QTcpSocket* Socket_ = nullptr;
    std::string Pending_;
    bool InData_ = false;
    bool Mute_ = false;
};

TSmtpSendRequest SampleRequest(int32_t port) {
    TSmtpSendRequest request;
    request.Host = "127.0.0.1";
    request.Port = port;
    request.HeloName = "pc1";
    request.EnvelopeFrom = "bob@pc1:1784";
    request.EnvelopeTo = "anna@127.0.0.1";
    request.Lines = {"From: bob@pc1:1784",
                     "X-Vorn: {200,150,255,\"Arial\",8,0}",
                     "",
                     "line one",
                     ".dotted",
                     "",
                     "[Sender: bob@pc1:1784]"};
    return request;
}

// Collects what the client reports.
struct TResults {
    explicit TResults(TSmtpClient& client) {
        QObject::connect(&client, &TSmtpClient::Finished,
                         [this](const TSmtpSendResult& result) { List.push_back(result); });
    }
    std::vector<TSmtpSendResult> List;
};

TEST(TSmtpClient, DeliversToAVornPeerWithTheExpectedCommands) {
    EnsureCoreApplication();
    TScriptedPeer peer;
    TSmtpClient client;
    TResults results(client);
    client.Send(SampleRequest(peer.Port()));
    EXPECT_TRUE(results.List.empty()); // never from inside Send
    ASSERT_TRUE(RunUntil([&] { return !results.List.empty(); }));
    ASSERT_EQ(results.List.size(), 1u);
    EXPECT_TRUE(results.List[0].Ok);
    EXPECT_EQ(results.List[0].Error, "");
    EXPECT_EQ(results.List[0].LastServerIdentity, "anna@peerpc:1784");
    EXPECT_FALSE(client.Busy());

    ASSERT_TRUE(RunUntil([&] { return peer.SawLine("QUIT"); }));
    const std::vector<std::string> expected = {"EHLO pc1",
                                               "HELO pc1",
                                               "RSET",
                                               "MAIL FROM:<bob@pc1:1784>",
                                               "RCPT TO:<anna@127.0.0.1>",
                                               "DATA",
                                               "From: bob@pc1:1784",
                                               "X-Vorn: {200,150,255,\"Arial\",8,0}",
                                               "",
                                               "line one",
                                               "..dotted",
                                               "",
                                               "[Sender: bob@pc1:1784]",
                                               ".",
                                               "QUIT"};
    EXPECT_EQ(peer.Lines, expected);
    EXPECT_TRUE(RunUntil([&] { return peer.Closed; }));
    RunFor(50);
    EXPECT_EQ(results.List.size(), 1u);
}

TEST(TSmtpClient, FailuresCarryThePeersTextAndEndWithQuit) {
    EnsureCoreApplication();
    const struct {
        const char* Name;
        std::map<std::string, std::string> Replies;
        std::string Error;
    } cases[] = {
        {"recipient refused", {{"RCPT", "550 no such user\r\n"}}, "550 no such user"},
        {"HELO refused too", {{"HELO", "502 nothing\r\n"}}, "502 nothing"},
        {"message refused",
         {{".", "452-too many notes\r\n452 waiting\r\n"}},
         "452-too many notes\n452 waiting"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Name);
        TScriptedPeer peer;
        peer.Replies = c.Replies;
        TSmtpClient client;
        TResults results(client);
        client.Send(SampleRequest(peer.Port()));
        ASSERT_TRUE(RunUntil([&] { return !results.List.empty(); }));
        EXPECT_FALSE(results.List[0].Ok);
        EXPECT_EQ(results.List[0].Error, c.Error);
        EXPECT_EQ(results.List[0].LastServerIdentity, "anna@peerpc:1784");
        EXPECT_TRUE(RunUntil([&] { return peer.SawLine("QUIT"); }));
    }
}

TEST(TSmtpClient, PeerClosingTheConnectionIsAnError) {
    EnsureCoreApplication();
    for (const std::string after : {"EHLO", "DATA", "."}) {
        SCOPED_TRACE(after);
        TScriptedPeer peer;
        peer.CloseAfter = after;
        TSmtpClient client;
        TResults results(client);
        client.Send(SampleRequest(peer.Port()));
        ASSERT_TRUE(RunUntil([&] { return !results.List.empty(); }));
        EXPECT_FALSE(results.List[0].Ok);
        EXPECT_EQ(results.List[0].Error, "The remote host closed the connection");
    }
}

TEST(TSmtpClient, PeerClosingRightAfterAcceptingIsASuccess) {
    EnsureCoreApplication();
    TScriptedPeer peer;
    peer.CloseAfter = ".";
    peer.CloseWithReply = true;
    TSmtpClient client;
    TResults results(client);
    client.Send(SampleRequest(peer.Port()));
    ASSERT_TRUE(RunUntil([&] { return !results.List.empty(); }));
    EXPECT_TRUE(results.List[0].Ok) << results.List[0].Error;
    RunFor(50);
    EXPECT_EQ(results.List.size(), 1u);
}

TEST(TSmtpClient, PeerThatStopsAnsweringTimesOut) {
    EnsureCoreApplication();
    const struct {
        const char* Name;
        bool Silent;
        std::string SilentAfter;
    } cases[] = {
        {"no greeting", true, ""},
        {"no answer to MAIL", false, "MAIL"},
        {"no answer to the message", false, "."},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Name);
        TScriptedPeer peer;
        peer.Silent = c.Silent;
        peer.SilentAfter = c.SilentAfter;
        TSmtpClient client;
        client.ReplyTimeoutMs = 200;
        TResults results(client);
        client.Send(SampleRequest(peer.Port()));
        ASSERT_TRUE(RunUntil([&] { return !results.List.empty(); }));
        EXPECT_FALSE(results.List[0].Ok);
        EXPECT_EQ(results.List[0].Error, TSmtpClient::ReplyTimeoutText);
        // The peer is told goodbye and the connection closed.
        EXPECT_TRUE(RunUntil([&] { return peer.SawLine("QUIT") && peer.Closed; }));
    }
}

TEST(TSmtpClient, ClosedPortAndInvalidPortFail) {
    EnsureCoreApplication();
    int32_t closedPort = 0;
    {
        QTcpServer probe;
        ASSERT_TRUE(probe.listen(QHostAddress::LocalHost, 0));
        closedPort = probe.serverPort();
    }
    const struct {
        int32_t Port;
        std::string Error;
    } cases[] = {
        {closedPort, "Connection refused"},
        {-1, "Invalid port number: -1"},
        {0, "Invalid port number: 0"},
        {65536, "Invalid port number: 65536"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Port);
        TSmtpClient client;
        TResults results(client);
        client.Send(SampleRequest(c.Port));
        EXPECT_TRUE(results.List.empty());
        EXPECT_TRUE(client.Busy());
        ASSERT_TRUE(RunUntil([&] { return !results.List.empty(); }));
        EXPECT_FALSE(results.List[0].Ok);
        EXPECT_EQ(results.List[0].Error, c.Error);
        EXPECT_EQ(results.List[0].LastServerIdentity, "");
        RunFor(30);
        EXPECT_EQ(results.List.size(), 1u);
    }
}

TEST(TSmtpClient, ConnectionThatNeverCompletesTimesOut) {
    EnsureCoreApplication();
    // A listener whose accept queue is full drops further connection attempts unanswered.
    const int listener = ::socket(AF_INET, SOCK_STREAM, 0);
    ASSERT_GE(listener, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    ASSERT_EQ(::bind(listener, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    ASSERT_EQ(::listen(listener, 0), 0);
    socklen_t length = sizeof address;
    ASSERT_EQ(::getsockname(listener, reinterpret_cast<sockaddr*>(&address), &length), 0);
    const int32_t port = ntohs(address.sin_port);
    std::vector<std::unique_ptr<QTcpSocket>> fillers;
    for (int i = 0; i < 2; ++i) {
        fillers.push_back(std::make_unique<QTcpSocket>());
        fillers.back()->connectToHost(QHostAddress::LocalHost, static_cast<quint16>(port));
    }
    RunFor(200);

    TSmtpClient client;
    client.ConnectTimeoutMs = 300;
    TResults results(client);
    client.Send(SampleRequest(port));
    ASSERT_TRUE(RunUntil([&] { return !results.List.empty(); }));
    EXPECT_FALSE(results.List[0].Ok);
    EXPECT_EQ(results.List[0].Error, "Timed out connecting to 127.0.0.1:" + std::to_string(port));
    fillers.clear();
    ::close(listener);
}

TEST(TSmtpClient, CancelEndsTheDeliveryAtOnce) {
    EnsureCoreApplication();
    TScriptedPeer peer;
    peer.Silent = true;
    TSmtpClient client;
    TResults results(client);

    client.Cancel(); // nothing running: nothing happens
    EXPECT_TRUE(results.List.empty());

    // Before the connection is made.
    client.Send(SampleRequest(peer.Port()));
    client.Cancel();
    ASSERT_EQ(results.List.size(), 1u);
    EXPECT_FALSE(results.List[0].Ok);
    EXPECT_EQ(results.List[0].Error, TSmtpClient::CancelledText);
    EXPECT_FALSE(client.Busy());

    // While waiting for the greeting: the peer gets QUIT.
    client.Send(SampleRequest(peer.Port()));
    ASSERT_TRUE(RunUntil([&] { return peer.Connections == 2; }));
    RunFor(50);
    client.Cancel();
    ASSERT_EQ(results.List.size(), 2u);
    EXPECT_EQ(results.List[1].Error, TSmtpClient::CancelledText);
    EXPECT_TRUE(RunUntil([&] { return peer.SawLine("QUIT") && peer.Closed; }));

    // A second Send cancels the first; each ends once.
    TScriptedPeer answering;
    client.Send(SampleRequest(peer.Port()));
    client.Send(SampleRequest(answering.Port()));
    ASSERT_EQ(results.List.size(), 3u);
    EXPECT_EQ(results.List[2].Error, TSmtpClient::CancelledText);
    ASSERT_TRUE(RunUntil([&] { return results.List.size() == 4; }));
    EXPECT_TRUE(results.List[3].Ok);
    RunFor(50);
    EXPECT_EQ(results.List.size(), 4u);
}

TEST(TSmtpClient, DestroyedWhileRunningReportsNothing) {
    EnsureCoreApplication();
    TScriptedPeer peer;
    peer.Silent = true;
    int reports = 0;
    {
        TSmtpClient client;
        QObject::connect(&client, &TSmtpClient::Finished, [&] { ++reports; });
        client.Send(SampleRequest(peer.Port()));
        ASSERT_TRUE(RunUntil([&] { return peer.Connections == 1; }));
    }
    EXPECT_TRUE(RunUntil([&] { return peer.Closed; }));
    EXPECT_EQ(reports, 0);
}

// ---------------------------------------------------------------------------------------------
// A server this project did not write: Python's aiosmtpd

const char* const kAiosmtpdPeer = R"(import asyncio, os, sys
from aiosmtpd.smtp import SMTP

out = sys.argv[1]

class Handler:
    async def handle_DATA(self, server, session, envelope):
        with open(out + ".part", "wb") as f:
            f.write(envelope.mail_from.encode() + b"\n")
            f.write(b" ".join(r.encode() for r in envelope.rcpt_tos) + b"\n")
            f.write(envelope.original_content)
        os.replace(out + ".part", out)
        return "250 OK"

async def main():
    loop = asyncio.get_running_loop()
    server = await loop.create_server(
        lambda: SMTP(Handler(), decode_data=False), "127.0.0.1", 0)
    print(server.sockets[0].getsockname()[1], flush=True)
    await asyncio.sleep(60)

asyncio.run(main())
)";

class AiosmtpdPeer {
public:
    AiosmtpdPeer() {
        Script_ = Dir_.filePath(QStringLiteral("peer.py"));
        Out_ = Dir_.filePath(QStringLiteral("received.bin"));
        QFile script(Script_);
        EXPECT_TRUE(script.open(QIODevice::WriteOnly));
        script.write(kAiosmtpdPeer);
        script.close();
        Process_.start(QStringLiteral("/usr/bin/python3"), {Script_, Out_});
        RunUntil([&] { return Process_.canReadLine() || Process_.state() == QProcess::NotRunning; },
                 15000);
        bool ok = false;
        Port_ = QString::fromUtf8(Process_.readLine()).trimmed().toInt(&ok);
        if (!ok)
            Port_ = 0;
    }
    ~AiosmtpdPeer() {
        Process_.kill();
        Process_.waitForFinished(5000);
    }
    int32_t Port() const { return Port_; }
    // What it received: the envelope sender, the recipients and the content bytes.
    std::optional<std::string> Received() const {
        QFile file(Out_);
        if (!file.open(QIODevice::ReadOnly))
            return std::nullopt;
        return file.readAll().toStdString();
    }
    std::string Errors() { return Process_.readAllStandardError().toStdString(); }

private:
    QTemporaryDir Dir_;
    QString Script_;
    QString Out_;
    QProcess Process_;
    int32_t Port_ = 0;
};

TEST(TSmtpClient, AiosmtpdReceivesAWellFormedMessage) {
    EnsureCoreApplication();
    AiosmtpdPeer peer;
    ASSERT_NE(peer.Port(), 0) << peer.Errors();

    TSmtpSendRequest request = SampleRequest(peer.Port());
    // aiosmtpd takes only real mailboxes in the envelope; the From header keeps the port.
    request.EnvelopeFrom = "bob@pc1";
    request.EnvelopeTo = "anna@peerpc";
    request.Lines = {"From: bob@pc1:1784",
                     "Reply-To: bob@pc1:1784",
                     "To: anna@peerpc",
                     "Subject: Vorn v2.04b",
                     "Date: Tue, 07 Mar 2006 14:05:00 +0100",
                     "X-Priority: 3",
                     "X-Vorn: {200,150,9300421,\"MS Sans Serif, {x}\",8,-16777208}",
                     "",
                     "Hello Anna",
                     ".",
                     ".hidden",
                     "..two",
                     "你好, 8 bit",
                     "",
                     "[Sent on: Mar 07, 2006 14:05 W. Europe Standard Time]",
                     "[Sender: bob@pc1:1784]"};
    TSmtpClient client;
    TResults results(client);
    client.Send(request);
    ASSERT_TRUE(RunUntil([&] { return !results.List.empty(); }, 15000));
    EXPECT_TRUE(results.List[0].Ok) << results.List[0].Error;
    // Its greeting has no brackets.
    EXPECT_EQ(results.List[0].LastServerIdentity, "");

    ASSERT_TRUE(RunUntil([&] { return peer.Received().has_value(); }));
    std::string expected = "bob@pc1\nanna@peerpc\n";
    for (const std::string& line : request.Lines)
        expected += line + "\r\n";
    EXPECT_EQ(*peer.Received(), expected);
}

TEST(TSmtpClient, AiosmtpdRefusalTextReachesTheCaller) {
    EnsureCoreApplication();
    AiosmtpdPeer peer;
    ASSERT_NE(peer.Port(), 0) << peer.Errors();
    // A Vorn identity with its port is no mailbox to aiosmtpd.
    TSmtpClient client;
    TResults results(client);
    client.Send(SampleRequest(peer.Port()));
    ASSERT_TRUE(RunUntil([&] { return !results.List.empty(); }, 15000));
    EXPECT_FALSE(results.List[0].Ok);
    EXPECT_EQ(results.List[0].Error.substr(0, 4), "501 ");
    EXPECT_NE(results.List[0].Error.find("MAIL FROM"), std::string::npos) << results.List[0].Error;
    EXPECT_FALSE(peer.Received().has_value());
}

} // namespace
