#include "USmtpServer.h"
#include "USmtpSession.h"

#include <QCoreApplication>
#include <QFile>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

using namespace std::chrono_literals;

namespace {

// The server's thread runs an event loop, which needs an application object.
class ApplicationEnvironment : public ::testing::Environment {
public:
    void SetUp() override {
        static int argc = 1;
        static char name[] = "test_USmtpServer";
        static char* argv[] = {name, nullptr};
        App = std::make_unique<QCoreApplication>(argc, argv);
    }
    void TearDown() override { App.reset(); }
    std::unique_ptr<QCoreApplication> App;
};
[[maybe_unused]] ::testing::Environment* const kApplication =
    ::testing::AddGlobalTestEnvironment(new ApplicationEnvironment);

// Records deliveries from the server's thread; the test's thread waits for them.
class RecordingDelivery : public ISmtpDelivery {
public:
    TDeliveryResult Deliver(const TSmtpMessage& message) override {
        const std::lock_guard lock(Lock_);
        Messages_.push_back(message);
        Changed_.notify_all();
        return TDeliveryResult::Accepted;
    }

    // False when fewer than `count` messages arrived in time.
    bool WaitFor(size_t count, std::chrono::milliseconds limit = 20s) {
        std::unique_lock lock(Lock_);
        return Changed_.wait_for(lock, limit, [&] { return Messages_.size() >= count; });
    }

    std::vector<TSmtpMessage> Messages() {
        const std::lock_guard lock(Lock_);
        return Messages_;
    }

private:
    std::mutex Lock_;
    std::condition_variable Changed_;
    std::vector<TSmtpMessage> Messages_;
};

using Clock = std::chrono::steady_clock;

int Remaining(Clock::time_point deadline) {
    const auto left =
        std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
    return static_cast<int>(std::max<long long>(left.count(), 0));
}

// A blocking client on the test's thread; every wait has a deadline.
class TClient {
public:
    explicit TClient(uint16_t port) {
        Socket_.connectToHost(QHostAddress::LocalHost, port);
        Connected = Socket_.waitForConnected(5000);
    }

    void Send(const std::string& bytes) {
        Socket_.write(bytes.data(), static_cast<qint64>(bytes.size()));
        Socket_.waitForBytesWritten(5000);
    }

    // The next reply line without its CR LF; nothing when the connection closed or the time ran
    // out.
    std::optional<std::string> ReadLine(std::chrono::milliseconds limit = 10s) {
        const auto deadline = Clock::now() + limit;
        for (;;) {
            const size_t end = Buffer_.find("\r\n");
            if (end != std::string::npos) {
                std::string line = Buffer_.substr(0, end);
                Buffer_.erase(0, end + 2);
                return line;
            }
            if (!Fill(deadline))
                return std::nullopt;
        }
    }

    std::string Command(const std::string& line) {
        Send(line + "\r\n");
        return ReadLine().value_or("(closed)");
    }

    // True when the server closes the connection in time; what it sent is kept for ReadLine.
    bool WaitClosed(std::chrono::milliseconds limit = 10s) {
        const auto deadline = Clock::now() + limit;
        while (Fill(deadline)) {
        }
        return Socket_.state() == QAbstractSocket::UnconnectedState;
    }

    void Abort() { Socket_.abort(); }

    bool Connected = false;

private:
    bool Fill(Clock::time_point deadline) {
        if (Socket_.bytesAvailable() == 0) {
            if (Socket_.state() != QAbstractSocket::ConnectedState || Remaining(deadline) == 0)
                return false;
            if (!Socket_.waitForReadyRead(Remaining(deadline)) && Socket_.bytesAvailable() == 0)
                return false;
        }
        const QByteArray bytes = Socket_.readAll();
        Buffer_.append(bytes.constData(), static_cast<size_t>(bytes.size()));
        return true;
    }

    QTcpSocket Socket_;
    std::string Buffer_;
};

const std::string XVorn = "{200,150,255,\"Arial\",8,0}";

struct TToolRun {
    bool Finished = false;
    int ExitCode = -1;
    std::string Output; // standard output and error
};

// Runs a program this project did not write, within a time limit. posix_spawn rather than
// QProcess: ThreadSanitizer allows no fork once the server's thread runs.
TToolRun RunTool(const std::vector<std::string>& arguments, std::chrono::seconds limit = 60s) {
    TToolRun run;
    FILE* output = std::tmpfile();
    if (output == nullptr)
        return run;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_adddup2(&actions, fileno(output), 1);
    posix_spawn_file_actions_adddup2(&actions, fileno(output), 2);
    std::vector<char*> argv;
    for (const std::string& argument : arguments)
        argv.push_back(const_cast<char*>(argument.c_str()));
    argv.push_back(nullptr);
    pid_t pid = 0;
    const int spawned =
        posix_spawn(&pid, arguments[0].c_str(), &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (spawned == 0) {
        const auto deadline = Clock::now() + limit;
        int status = 0;
        while (waitpid(pid, &status, WNOHANG) == 0) {
            if (Clock::now() > deadline) {
                kill(pid, SIGKILL);
                waitpid(pid, &status, 0);
                status = -1;
                break;
            }
            std::this_thread::sleep_for(10ms);
        }
        run.Finished = status != -1 && WIFEXITED(status);
        run.ExitCode = run.Finished ? WEXITSTATUS(status) : -1;
    }
    std::rewind(output);
    char buffer[4096];
    for (size_t read; (read = std::fread(buffer, 1, sizeof buffer, output)) > 0;)
        run.Output.append(buffer, read);
    std::fclose(output);
    return run;
}

void ExpectSuccess(const std::vector<std::string>& arguments) {
    const TToolRun run = RunTool(arguments);
    EXPECT_TRUE(run.Finished) << arguments[0] << " did not finish: " << run.Output;
    EXPECT_EQ(run.ExitCode, 0) << arguments[0] << ": " << run.Output;
}

// The program's path, or empty when it is not installed.
std::string Tool(const char* name) {
    for (const std::string folder : {"/usr/bin/", "/usr/sbin/"})
        if (access((folder + name).c_str(), X_OK) == 0)
            return folder + name;
    return {};
}

class SmtpServer : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(Server.Start(0, "bob@pc:1784"));
        ASSERT_NE(Server.Port(), 0);
    }

    // The dialogue of one note up to the reply to its final dot.
    void DeliverOne(TClient& client, const std::string& body) {
        EXPECT_EQ(client.Command("HELO client"), "250 您好 client");
        EXPECT_EQ(client.Command("MAIL FROM:<carl@box:1784>"), "250 carl@box:1784 地址正确");
        EXPECT_EQ(client.Command("RCPT TO:<bob@pc>"), "250 bob@pc 地址正确");
        EXPECT_EQ(client.Command("DATA"), "354 开始邮件输入;结束 <CRLF>.<CRLF>");
        client.Send("X-Vorn: " + XVorn + "\r\nSubject: Vorn v2.04b\r\n\r\n" + body + "\r\n");
        EXPECT_EQ(client.Command("."), "250 确定");
    }

    void ExpectOneNote(const std::vector<std::string>& body) {
        ASSERT_TRUE(Delivery.WaitFor(1));
        const std::vector<TSmtpMessage> messages = Delivery.Messages();
        ASSERT_EQ(messages.size(), 1u);
        EXPECT_EQ(messages[0].XVorn, XVorn);
        EXPECT_EQ(messages[0].BodyLines, body);
    }

    RecordingDelivery Delivery;
    TSmtpServer Server{Delivery};
};

TEST_F(SmtpServer, GreetsWithItsIdentity) {
    EXPECT_TRUE(Server.IsActive());
    TClient client(Server.Port());
    ASSERT_TRUE(client.Connected);
    EXPECT_EQ(client.ReadLine(), "220 Welcome to Vorn v2.04b SMTP Server [bob@pc:1784]");
    EXPECT_EQ(client.Command("QUIT"), "221 关闭登录");
    EXPECT_TRUE(client.WaitClosed());
}

TEST_F(SmtpServer, DeliversTwoNotesOverOneConnection) {
    TClient client(Server.Port());
    ASSERT_TRUE(client.ReadLine());
    EXPECT_EQ(client.Command("EHLO client"), "500 命令未确认");
    DeliverOne(client, "first\r\n..dot\r\n\r\n[Sent on: Mar 07, 2006 14:05 CET]");
    EXPECT_EQ(client.Command("MAIL FROM:<carl@box:1784>"), "250 carl@box:1784 地址正确");
    EXPECT_EQ(client.Command("RCPT TO:<bob@pc>"), "250 bob@pc 地址正确");
    EXPECT_EQ(client.Command("DATA"), "354 开始邮件输入;结束 <CRLF>.<CRLF>");
    EXPECT_EQ(client.Command("second\r\n."), "250 确定");
    EXPECT_EQ(client.Command("QUIT"), "221 关闭登录");
    ASSERT_TRUE(Delivery.WaitFor(2));
    const std::vector<TSmtpMessage> messages = Delivery.Messages();
    ASSERT_EQ(messages.size(), 2u);
    EXPECT_EQ(messages[0].From, "carl@box:1784");
    EXPECT_EQ(messages[0].XVorn, XVorn);
    EXPECT_EQ(messages[0].BodyLines,
              (std::vector<std::string>{"first", ".dot", "", "[Sent on: Mar 07, 2006 14:05 CET]"}));
    EXPECT_EQ(messages[1].XVorn, "");
    EXPECT_EQ(messages[1].BodyLines, std::vector<std::string>{"second"});
}

TEST_F(SmtpServer, TakesANoteFromPythonSmtplib) {
    const std::string python = Tool("python3");
    if (python.empty())
        GTEST_SKIP() << "python3 is not installed";
    const std::string port = std::to_string(Server.Port());
    ExpectSuccess({python, "-c", R"(import smtplib, sys
message = ("From: carl@box:1784\r\nTo: bob@pc\r\nSubject: Vorn v2.04b\r\n"
           "X-Vorn: {200,150,255,\"Arial\",8,0}\r\n\r\n"
           "Hello from Python\r\n.starts with a dot\r\n你好\r\n").encode("utf-8")
with smtplib.SMTP("127.0.0.1", int(sys.argv[1]), timeout=20) as smtp:
    code, text = smtp.ehlo()
    assert code == 500, (code, text)
    code, text = smtp.helo("python")
    assert code == 250, (code, text)
    assert smtp.sendmail("carl@box:1784", ["bob@pc"], message) == {}
)",
                   port});
    ExpectOneNote({"Hello from Python", ".starts with a dot", "你好"});
    EXPECT_EQ(Delivery.Messages().at(0).From, "carl@box:1784");
}

TEST_F(SmtpServer, TakesANoteFromSwaks) {
    const std::string swaks = Tool("swaks");
    if (swaks.empty())
        GTEST_SKIP() << "swaks is not installed";
    ExpectSuccess({swaks, "--server", "127.0.0.1:" + std::to_string(Server.Port()), "--from",
                   "carl@box", "--to", "bob@pc", "--header", "X-Vorn: " + XVorn, "--body",
                   "A note from swaks", "--timeout", "20"});
    // swaks ends its body with two empty lines of its own.
    ExpectOneNote({"A note from swaks", "", ""});
    EXPECT_EQ(Delivery.Messages().at(0).From, "carl@box");
}

TEST_F(SmtpServer, TakesANoteFromCurl) {
    const std::string curl = Tool("curl");
    if (curl.empty())
        GTEST_SKIP() << "curl is not installed";
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString mail = dir.filePath(QStringLiteral("note.eml"));
    QFile file(mail);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(QByteArray::fromStdString("From: carl@box\r\nX-Vorn: " + XVorn +
                                         "\r\n\r\nA note from curl\r\n.dot\r\n\r\nend\r\n"));
    file.close();
    ExpectSuccess({curl, "--silent", "--show-error", "--max-time", "20",
                   "smtp://127.0.0.1:" + std::to_string(Server.Port()), "--mail-from", "carl@box",
                   "--mail-rcpt", "bob@pc", "--upload-file", mail.toStdString()});
    ExpectOneNote({"A note from curl", ".dot", "", "end"});
}

TEST_F(SmtpServer, TurnsAwayAnHttpPostCarryingSmtp) {
    const std::string curl = Tool("curl");
    if (curl.empty())
        GTEST_SKIP() << "curl is not installed";
    // A web page could make a browser post this to the port.
    const TToolRun run =
        RunTool({curl, "--silent", "--max-time", "20", "--http0.9", "--data-binary",
                 "HELO a\r\nMAIL FROM:<a@b>\r\nRCPT TO:<c@d>\r\nDATA\r\nspam\r\n.\r\nQUIT\r\n",
                 "http://127.0.0.1:" + std::to_string(Server.Port()) + "/"});
    EXPECT_TRUE(run.Finished);
    // What the client got: the greeting and one 221, nothing for the smuggled commands.
    EXPECT_NE(run.Output.find("\r\n221 "), std::string::npos) << run.Output;
    EXPECT_EQ(run.Output.find("250 "), std::string::npos) << run.Output;
    // A well-formed note afterwards is the first and only one delivered.
    TClient client(Server.Port());
    ASSERT_TRUE(client.ReadLine());
    DeliverOne(client, "after");
    ExpectOneNote({"after"});
}

TEST_F(SmtpServer, RefusesTheConnectionAboveTheLimit) {
    std::vector<std::unique_ptr<TClient>> clients;
    for (int i = 0; i < 32; ++i) {
        clients.push_back(std::make_unique<TClient>(Server.Port()));
        ASSERT_TRUE(clients.back()->Connected);
        const std::optional<std::string> greeting = clients.back()->ReadLine();
        ASSERT_TRUE(greeting && greeting->starts_with("220 ")) << i;
    }
    TClient extra(Server.Port());
    const std::optional<std::string> refusal = extra.ReadLine();
    ASSERT_TRUE(refusal);
    EXPECT_TRUE(refusal->starts_with("421 ")) << *refusal;
    EXPECT_TRUE(extra.WaitClosed());
    // The 32 are still served; when one leaves, a newcomer is greeted.
    EXPECT_EQ(clients[31]->Command("NOOP"), "250 确定");
    EXPECT_EQ(clients[0]->Command("QUIT"), "221 关闭登录");
    EXPECT_TRUE(clients[0]->WaitClosed());
    const auto deadline = Clock::now() + 10s;
    bool greeted = false;
    while (!greeted && Clock::now() < deadline) {
        TClient newcomer(Server.Port());
        const std::optional<std::string> line = newcomer.ReadLine();
        greeted = line && line->starts_with("220 ");
        if (!greeted)
            std::this_thread::sleep_for(20ms); // the server has yet to see the QUIT's close
    }
    EXPECT_TRUE(greeted);
}

TEST_F(SmtpServer, ClosesAnIdleConnection) {
    Server.IdleLimit = 200ms;
    ASSERT_TRUE(Server.Start(0, "bob@pc:1784"));
    for (const bool greeted : {false, true}) {
        SCOPED_TRACE(greeted);
        TClient client(Server.Port());
        ASSERT_TRUE(client.ReadLine());
        if (greeted) {
            EXPECT_EQ(client.Command("HELO a"), "250 您好 a");
        }
        const std::optional<std::string> line = client.ReadLine(20s);
        ASSERT_TRUE(line);
        EXPECT_TRUE(line->starts_with("421 ")) << *line;
        EXPECT_TRUE(client.WaitClosed());
    }
}

TEST_F(SmtpServer, ALineThatNeverEndsIsIdle) {
    Server.IdleLimit = 200ms;
    ASSERT_TRUE(Server.Start(0, "bob@pc:1784"));
    TClient client(Server.Port());
    ASSERT_TRUE(client.ReadLine());
    client.Send("NOOP");
    // An octet now and then is no command: the limit runs out while they still come.
    std::optional<std::string> line;
    for (int i = 0; i < 200 && !line; ++i) {
        client.Send("x");
        line = client.ReadLine(50ms);
    }
    ASSERT_TRUE(line);
    EXPECT_TRUE(line->starts_with("421 ")) << *line;
    EXPECT_TRUE(client.WaitClosed());
}

TEST_F(SmtpServer, CommandsKeepAConnectionAlive) {
    Server.IdleLimit = 1500ms;
    ASSERT_TRUE(Server.Start(0, "bob@pc:1784"));
    TClient client(Server.Port());
    ASSERT_TRUE(client.ReadLine());
    for (int i = 0; i < 12; ++i) {
        std::this_thread::sleep_for(250ms);
        ASSERT_EQ(client.Command("NOOP"), "250 确定") << i;
    }
}

TEST_F(SmtpServer, AbandonsADataPhaseThatTakesTooLong) {
    Server.DataLimit = 500ms;
    ASSERT_TRUE(Server.Start(0, "bob@pc:1784"));
    TClient client(Server.Port());
    ASSERT_TRUE(client.ReadLine());
    EXPECT_EQ(client.Command("HELO a"), "250 您好 a");
    EXPECT_EQ(client.Command("MAIL FROM:<a@b>"), "250 a@b 地址正确");
    EXPECT_EQ(client.Command("RCPT TO:<c@d>"), "250 c@d 地址正确");
    EXPECT_EQ(client.Command("DATA"), "354 开始邮件输入;结束 <CRLF>.<CRLF>");
    // A line now and then keeps it from being idle, but not from the DATA limit.
    std::optional<std::string> line;
    for (int i = 0; i < 200 && !line; ++i) {
        client.Send("slow line\r\n");
        line = client.ReadLine(50ms);
    }
    ASSERT_TRUE(line);
    EXPECT_TRUE(line->starts_with("421 ")) << *line;
    client.Send(".\r\n");
    EXPECT_TRUE(client.WaitClosed());
    EXPECT_TRUE(Delivery.Messages().empty());
}

TEST_F(SmtpServer, ADisconnectDuringDataDeliversNothing) {
    {
        TClient client(Server.Port());
        ASSERT_TRUE(client.ReadLine());
        EXPECT_EQ(client.Command("HELO a"), "250 您好 a");
        EXPECT_EQ(client.Command("MAIL FROM:<a@b>"), "250 a@b 地址正确");
        EXPECT_EQ(client.Command("RCPT TO:<c@d>"), "250 c@d 地址正确");
        EXPECT_EQ(client.Command("DATA"), "354 开始邮件输入;结束 <CRLF>.<CRLF>");
        client.Send("X-Vorn: " + XVorn + "\r\n\r\nhalf a note\r\n.\r");
        client.Abort();
    }
    TClient client(Server.Port());
    ASSERT_TRUE(client.ReadLine());
    DeliverOne(client, "whole note");
    ExpectOneNote({"whole note"});
}

TEST_F(SmtpServer, ServesAHundredClientsAtOnce) {
    Server.MaxConnections = 128;
    ASSERT_TRUE(Server.Start(0, "bob@pc:1784"));
    constexpr int Count = 100;
    std::vector<std::unique_ptr<TClient>> clients;
    for (int i = 0; i < Count; ++i) {
        clients.push_back(std::make_unique<TClient>(Server.Port()));
        ASSERT_TRUE(clients.back()->Connected) << i;
    }
    // Every step goes out to all clients before any reply is read, so the server holds all
    // hundred dialogues at once.
    const std::vector<std::pair<std::string, std::string>> steps = {
        {"", "220 "},
        {"HELO c\r\n", "250 "},
        {"MAIL FROM:<c@box>\r\n", "250 "},
        {"RCPT TO:<bob@pc>\r\n", "250 "},
        {"DATA\r\n", "354 "},
        {"X-Vorn: " + XVorn + "\r\n\r\nnote #\r\n.\r\n", "250 "},
        {"QUIT\r\n", "221 "}};
    for (const auto& [command, reply] : steps) {
        for (int i = 0; i < Count; ++i) {
            std::string text = command;
            if (const size_t hash = text.find('#'); hash != std::string::npos)
                text.replace(hash, 1, std::to_string(i));
            clients[i]->Send(text);
        }
        for (int i = 0; i < Count; ++i) {
            const std::optional<std::string> line = clients[i]->ReadLine();
            ASSERT_TRUE(line && line->starts_with(reply)) << i << ": " << line.value_or("-");
        }
    }
    ASSERT_TRUE(Delivery.WaitFor(Count));
    std::vector<bool> seen(Count);
    for (const TSmtpMessage& message : Delivery.Messages()) {
        ASSERT_EQ(message.BodyLines.size(), 1u);
        const int number = std::stoi(message.BodyLines[0].substr(5));
        ASSERT_TRUE(number >= 0 && number < Count);
        EXPECT_FALSE(seen[number]) << number;
        seen[number] = true;
    }
}

TEST_F(SmtpServer, StopClosesConnectionsAndTheSamePortOpensAgain) {
    const uint16_t port = Server.Port();
    TClient client(port);
    ASSERT_TRUE(client.ReadLine());
    EXPECT_EQ(client.Command("HELO a"), "250 您好 a");
    Server.Stop();
    EXPECT_FALSE(Server.IsActive());
    EXPECT_EQ(Server.Port(), 0);
    EXPECT_TRUE(client.WaitClosed());
    const std::optional<std::string> farewell = client.ReadLine(0ms);
    ASSERT_TRUE(farewell);
    EXPECT_TRUE(farewell->starts_with("421 ")) << *farewell;

    ASSERT_TRUE(Server.Start(port, "bob@pc:1784"));
    EXPECT_EQ(Server.Port(), port);
    TClient again(port);
    EXPECT_EQ(again.ReadLine(), "220 Welcome to Vorn v2.04b SMTP Server [bob@pc:1784]");
}

TEST_F(SmtpServer, StartFailsOnAPortInUse) {
    RecordingDelivery other;
    TSmtpServer second(other);
    EXPECT_FALSE(second.Start(Server.Port(), "al@mac:1784"));
    EXPECT_FALSE(second.IsActive());
    EXPECT_EQ(second.Port(), 0);

    // Also when the port is held by another program on the loopback address alone.
    QTcpServer holder;
    ASSERT_TRUE(holder.listen(QHostAddress::LocalHost, 0));
    EXPECT_FALSE(second.Start(holder.serverPort(), "al@mac:1784"));

    // The first server is unharmed.
    TClient client(Server.Port());
    EXPECT_EQ(client.ReadLine(), "220 Welcome to Vorn v2.04b SMTP Server [bob@pc:1784]");
}

} // namespace
