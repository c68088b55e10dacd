#include "USmtpSession.h"

#include <gtest/gtest.h>

#include <random>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

class RecordingDelivery : public ISmtpDelivery {
public:
    TDeliveryResult Deliver(const TSmtpMessage& message) override {
        Messages.push_back(message);
        if (Throw)
            throw std::runtime_error("The address book could not be saved");
        return Result;
    }

    std::vector<TSmtpMessage> Messages;
    TDeliveryResult Result = TDeliveryResult::Accepted;
    bool Throw = false;
};

// The reply lines without their CR LF; a reply not ended by CR LF fails the test.
std::vector<std::string> Lines(const std::string& replies) {
    std::vector<std::string> lines;
    size_t start = 0;
    while (start < replies.size()) {
        const size_t end = replies.find("\r\n", start);
        if (end == std::string::npos) {
            ADD_FAILURE() << "reply without CR LF: " << replies.substr(start);
            break;
        }
        lines.push_back(replies.substr(start, end - start));
        start = end + 2;
    }
    return lines;
}

std::string Joined(const std::vector<std::string>& commands) {
    std::string bytes;
    for (const std::string& command : commands)
        bytes += command + "\r\n";
    return bytes;
}

const std::string Envelope =
    Joined({"HELO client", "MAIL FROM:<bob@pc:1784>", "RCPT TO:<al@mac>", "DATA"});
const std::vector<std::string> EnvelopeReplies = {"250 您好 client", "250 bob@pc:1784 地址正确",
                                                  "250 al@mac 地址正确",
                                                  "354 开始邮件输入;结束 <CRLF>.<CRLF>"};

struct Fixture {
    RecordingDelivery Delivery;
    TSmtpSession Session{"bob@pc:1784", Delivery};
};

TEST(SmtpSession, GreetingNamesTheIdentityInBrackets) {
    RecordingDelivery delivery;
    EXPECT_EQ(TSmtpSession("bob@pc:56784", delivery).Greeting(),
              "220 Welcome to Vorn v2.04b SMTP Server [bob@pc:56784]\r\n");
    EXPECT_EQ(TSmtpSession(" bob@pc:0", delivery).Greeting(),
              "220 Welcome to Vorn v2.04b SMTP Server [ bob@pc:0]\r\n");
}

TEST(SmtpSession, EveryCommandGetsItsReply) {
    struct Row {
        const char* Name;
        std::vector<std::string> Before; // commands whose replies do not matter
        std::string Command;
        std::string Reply;
    };
    const std::string parameterError = "501 Syntax error in parameters or arguments";
    const std::vector<Row> rows = {
        {"EHLO is refused", {}, "EHLO client", "500 命令未确认"},
        {"EHLO after HELO too", {"HELO a"}, "EHLO client", "500 命令未确认"},
        {"second HELO", {"HELO a"}, "HELO b", "503 "},
        {"second HELO without argument", {"HELO a"}, "HELO", "503 "},
        {"HELO without argument", {}, "HELO", "501 Syntax Error in parameters or arguments"},
        {"HELO with blanks only", {}, "HELO   ", "501 Syntax Error in parameters or arguments"},
        {"HELO", {}, "HELO client.example", "250 您好 client.example"},
        {"HELO after a refused EHLO", {"EHLO a"}, "HELO a", "250 您好 a"},
        {"MAIL before HELO", {}, "MAIL FROM:<a@b>", "501 有礼貌的人说 HELLO"},
        {"MAIL without FROM:", {"HELO a"}, "MAIL <a@b>", parameterError},
        {"MAIL without argument", {"HELO a"}, "MAIL", parameterError},
        {"MAIL", {"HELO a"}, "MAIL FROM:<bob@pc:1784>", "250 bob@pc:1784 地址正确"},
        {"MAIL with a blank after the colon", {"HELO a"}, "MAIL FROM: <a@b>", "250 a@b 地址正确"},
        {"MAIL with parameters", {"HELO a"}, "MAIL FROM:<a@b> SIZE=10", "250 a@b 地址正确"},
        {"MAIL without brackets", {"HELO a"}, "MAIL FROM:a@b", "250 a@b 地址正确"},
        {"MAIL with the null sender", {"HELO a"}, "MAIL FROM:<>", "250  地址正确"},
        {"second MAIL replaces the sender",
         {"HELO a", "MAIL FROM:<a@b>"},
         "MAIL FROM:<c@d>",
         "250 c@d 地址正确"},
        {"RCPT before MAIL", {"HELO a"}, "RCPT TO:<c@d>", "503 "},
        {"RCPT before HELO", {}, "RCPT TO:<c@d>", "503 "},
        {"RCPT without TO:", {"HELO a", "MAIL FROM:<a@b>"}, "RCPT <c@d>", parameterError},
        {"RCPT", {"HELO a", "MAIL FROM:<a@b>"}, "RCPT TO:<c@d>", "250 c@d 地址正确"},
        {"second RCPT",
         {"HELO a", "MAIL FROM:<a@b>", "RCPT TO:<c@d>"},
         "RCPT TO:<e@f>",
         "250 e@f 地址正确"},
        {"DATA before RCPT", {"HELO a", "MAIL FROM:<a@b>"}, "DATA", "503 "},
        {"DATA before anything", {}, "DATA", "503 "},
        {"DATA",
         {"HELO a", "MAIL FROM:<a@b>", "RCPT TO:<c@d>"},
         "DATA",
         "354 开始邮件输入;结束 <CRLF>.<CRLF>"},
        {"RSET", {"HELO a", "MAIL FROM:<a@b>"}, "RSET", "250 确定"},
        {"RSET clears the sender", {"HELO a", "MAIL FROM:<a@b>", "RSET"}, "RCPT TO:<c@d>", "503 "},
        {"RSET clears the recipients",
         {"HELO a", "MAIL FROM:<a@b>", "RCPT TO:<c@d>", "RSET", "MAIL FROM:<a@b>"},
         "DATA",
         "503 "},
        {"RSET keeps the greeting", {"HELO a", "RSET"}, "MAIL FROM:<a@b>", "250 a@b 地址正确"},
        {"MAIL clears the recipients",
         {"HELO a", "MAIL FROM:<a@b>", "RCPT TO:<c@d>", "MAIL FROM:<e@f>"},
         "DATA",
         "503 "},
        {"NOOP", {}, "NOOP", "250 确定"},
        {"NOOP with argument", {"HELO a"}, "NOOP anything", "250 确定"},
        {"QUIT", {}, "QUIT", "221 关闭登录"},
        {"AUTH", {}, "AUTH LOGIN", "500 语法错误-命令无法理解： LOGIN:"},
        {"HELP", {}, "HELP DATA", "500 语法错误-命令无法理解： DATA:"},
        {"HELP without argument", {}, "HELP", "500 语法错误-命令无法理解： :"},
        {"EXPN", {}, "EXPN staff", "500 语法错误-命令无法理解： staff:"},
        {"VRFY", {"HELO a"}, "VRFY bob", "500 语法错误-命令无法理解： bob:"},
        {"SOML", {}, "SOML FROM:<a@b>", "500 语法错误-命令无法理解： FROM:<a@b>:"},
        {"SEND", {}, "SEND FROM:<a@b>", "500 语法错误-命令无法理解： FROM:<a@b>:"},
        {"SAML", {}, "SAML FROM:<a@b>", "500 语法错误-命令无法理解： FROM:<a@b>:"},
        {"TURN", {}, "TURN", "500 语法错误-命令无法理解： :"},
        {"unknown command", {}, "STARTTLS", "500 语法错误"},
        {"unknown command with argument", {"HELO a"}, "XCLIENT NAME=x", "500 语法错误"},
        {"empty line", {}, "", "500 语法错误"},
        {"lower-case helo", {}, "helo client", "250 您好 client"},
        {"lower-case mail", {"helo a"}, "mail FROM:<a@b>", "250 a@b 地址正确"},
        {"lower-case from:", {"HELO a"}, "MAIL from:<a@b>", "250 a@b 地址正确"},
        {"lower-case rcpt", {"helo a", "mail FROM:<a@b>"}, "rcpt TO:<c@d>", "250 c@d 地址正确"},
        {"lower-case data",
         {"helo a", "mail FROM:<a@b>", "rcpt to:<c@d>"},
         "data",
         "354 开始邮件输入;结束 <CRLF>.<CRLF>"},
        {"mixed-case quit", {}, "QuIt", "221 关闭登录"},
        {"mixed-case ehlo", {}, "Ehlo x", "500 命令未确认"},
        {"lower-case vrfy", {}, "vrfy bob", "500 语法错误-命令无法理解： bob:"},
        {"command ended by a bare LF", {}, "NOOP\n", "250 确定"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.Name);
        Fixture f;
        f.Session.Receive(Joined(row.Before));
        const std::string command =
            row.Command.ends_with('\n') ? row.Command : row.Command + "\r\n";
        EXPECT_EQ(f.Session.Receive(command), row.Reply + "\r\n");
        EXPECT_EQ(f.Session.WantsClose(), row.Reply.starts_with("221"));
    }
}

TEST(SmtpSession, QuitClosesAndIgnoresWhatFollows) {
    Fixture f;
    EXPECT_EQ(f.Session.Receive("HELO a\r\nQUIT\r\nNOOP\r\n"), "250 您好 a\r\n221 关闭登录\r\n");
    EXPECT_TRUE(f.Session.WantsClose());
    EXPECT_EQ(f.Session.Receive("NOOP\r\n"), "");
}

TEST(SmtpSession, TwoMessagesOnOneConnection) {
    Fixture f;
    const std::string replies = f.Session.Receive(
        Envelope + "X-Vorn: {200,150,255,\"Arial\",8,0}\r\nSubject: one\r\n\r\nfirst\r\n.\r\n" +
        Joined({"MAIL FROM:<carl@box>", "RCPT TO:<al@mac>", "DATA"}) +
        "X-Vorn: {1,2,3,\"x\",4,5}\r\n\r\nsecond\r\nline\r\n.\r\nQUIT\r\n");
    std::vector<std::string> expected = EnvelopeReplies;
    expected.insert(expected.end(),
                    {"250 确定", "250 carl@box 地址正确", "250 al@mac 地址正确",
                     "354 开始邮件输入;结束 <CRLF>.<CRLF>", "250 确定", "221 关闭登录"});
    EXPECT_EQ(Lines(replies), expected);
    ASSERT_EQ(f.Delivery.Messages.size(), 2u);
    EXPECT_EQ(f.Delivery.Messages[0].From, "bob@pc:1784");
    EXPECT_EQ(f.Delivery.Messages[0].XVorn, "{200,150,255,\"Arial\",8,0}");
    EXPECT_EQ(f.Delivery.Messages[0].BodyLines, std::vector<std::string>{"first"});
    EXPECT_EQ(f.Delivery.Messages[1].From, "carl@box");
    EXPECT_EQ(f.Delivery.Messages[1].XVorn, "{1,2,3,\"x\",4,5}");
    EXPECT_EQ(f.Delivery.Messages[1].BodyLines, (std::vector<std::string>{"second", "line"}));
}

TEST(SmtpSession, AMessageEndsTheTransactionButNotTheGreeting) {
    Fixture f;
    f.Session.Receive(Envelope + "x\r\n.\r\n");
    EXPECT_EQ(f.Session.Receive("RCPT TO:<c@d>\r\nDATA\r\nHELO again\r\n"),
              "503 \r\n503 \r\n503 \r\n");
}

TEST(SmtpSession, MessagesAreParsed) {
    struct Row {
        const char* Name;
        std::string Data; // between the 354 and the final dot
        std::string XVorn;
        std::vector<std::string> Body;
    };
    const std::vector<Row> rows = {
        {"X-Vorn and body",
         "X-Vorn: {1,2,3,\"a\",4,5}\r\n\r\nhello\r\n",
         "{1,2,3,\"a\",4,5}",
         {"hello"}},
        {"dot-unstuffing",
         "X-Vorn: v\r\n\r\n..a\r\n...\r\n..\r\n.b\r\n",
         "v",
         {".a", "..", ".", ".b"}},
        {"folded X-Vorn",
         "X-Vorn: {200,150,\r\n\t255,\"Arial\",8,0}\r\n\r\nx\r\n",
         "{200,150,\t255,\"Arial\",8,0}",
         {"x"}},
        {"folded over several lines", "X-Vorn: a\r\n b\r\n  c\r\nTo: x\r\n\r\n", "a b  c", {}},
        {"name in any case, value trimmed", "x-vOrN: \t {1} \t\r\n\r\nb\r\n", "{1}", {"b"}},
        {"first X-Vorn wins", "X-VORN: one\r\nX-Vorn: two\r\n\r\n", "one", {}},
        {"blank before the colon", "X-Vorn : v\r\n\r\n", "v", {}},
        {"other headers only", "Subject: s\r\nX-Vornx: no\r\n\r\nbody\r\n", "", {"body"}},
        {"X-Vorn in the body is text", "Subject: s\r\n\r\nX-Vorn: v\r\n", "", {"X-Vorn: v"}},
        {"empty lines of the body stay", "X-Vorn: v\r\n\r\n\r\nx\r\n\r\n", "v", {"", "x", ""}},
        {"no headers at all", "hello world\r\nsecond\r\n", "", {"hello world", "second"}},
        {"headers without a body", "X-Vorn: v\r\nSubject: s\r\n", "v", {}},
        {"empty message", "", "", {}},
        {"8-bit text",
         "X-Vorn: {1,2,3,\"微软雅黑\",4,5}\r\n\r\n你好\r\n",
         "{1,2,3,\"微软雅黑\",4,5}",
         {"你好"}},
        {"trailer lines",
         "X-Vorn: v\r\n\r\ntext\r\n\r\n[Sent on: Mar 07, 2006 14:05 CET]\r\n"
         "[Sender: bob@pc:1784]\r\n",
         "v",
         {"text", "", "[Sent on: Mar 07, 2006 14:05 CET]", "[Sender: bob@pc:1784]"}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.Name);
        Fixture f;
        f.Session.Receive(Envelope);
        EXPECT_EQ(f.Session.Receive(row.Data + ".\r\n"), "250 确定\r\n");
        ASSERT_EQ(f.Delivery.Messages.size(), 1u);
        EXPECT_EQ(f.Delivery.Messages[0].XVorn, row.XVorn);
        EXPECT_EQ(f.Delivery.Messages[0].BodyLines, row.Body);
    }
}

// Only CR LF "." CR LF ends a message: whatever follows another kind of dot line must stay text
// and never be read as commands.
TEST(SmtpSession, OnlyCrLfDotCrLfEndsAMessage) {
    struct Row {
        const char* Name;
        std::string Sequence;
        std::vector<std::string> Body;
    };
    const std::string smuggled = "MAIL FROM:<evil@x>";
    const std::vector<Row> rows = {
        {"LF . LF", "\n.\n", {"A\n.\n" + smuggled}},
        {"LF . CR LF", "\n.\r\n", {"A\n.", smuggled}},
        {"CR LF . LF", "\r\n.\n", {"A", ".\n" + smuggled}},
        {"CR . CR", "\r.\r", {"A\r.\r" + smuggled}},
        {"CR LF . CR CR LF", "\r\n.\r\r\n", {"A", ".\r", smuggled}},
        {"CR . CR LF", "\r.\r\n", {"A\r.", smuggled}},
        {"CR LF . blank CR LF", "\r\n. \r\n", {"A", ". ", smuggled}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.Name);
        Fixture f;
        f.Session.Receive(Envelope);
        EXPECT_EQ(f.Session.Receive("X-Vorn: v\r\n\r\nA" + row.Sequence + smuggled + "\r\n"), "");
        EXPECT_TRUE(f.Session.InData());
        EXPECT_EQ(f.Session.Receive(".\r\n"), "250 确定\r\n");
        ASSERT_EQ(f.Delivery.Messages.size(), 1u);
        EXPECT_EQ(f.Delivery.Messages[0].BodyLines, row.Body);
    }
}

TEST(SmtpSession, HttpRequestsAreTurnedAway) {
    const std::vector<std::string> firstLines = {
        "GET / HTTP/1.1",  "POST /send HTTP/1.1",       "PUT /x HTTP/1.1",
        "HEAD / HTTP/1.0", "CONNECT pc:56784 HTTP/1.1", "OPTIONS * HTTP/1.1",
        "get / http/1.1"};
    for (const std::string& line : firstLines) {
        SCOPED_TRACE(line);
        Fixture f;
        const std::vector<std::string> replies = Lines(f.Session.Receive(line + "\r\n"));
        ASSERT_EQ(replies.size(), 1u);
        EXPECT_TRUE(replies[0].starts_with("221 ")) << replies[0];
        EXPECT_TRUE(f.Session.WantsClose());
    }
}

TEST(SmtpSession, AnHttpPostCarryingSmtpCommandsDeliversNothing) {
    Fixture f;
    const std::string body = Envelope + "X-Vorn: v\r\n\r\nspam\r\n.\r\n";
    const std::vector<std::string> replies =
        Lines(f.Session.Receive("POST / HTTP/1.1\r\nHost: pc:56784\r\nContent-Type: text/plain\r\n"
                                "Content-Length: " +
                                std::to_string(body.size()) + "\r\n\r\n" + body));
    ASSERT_EQ(replies.size(), 1u);
    EXPECT_TRUE(replies[0].starts_with("221 "));
    EXPECT_TRUE(f.Delivery.Messages.empty());
}

TEST(SmtpSession, HttpHeaderLinesEndTheSession) {
    const std::vector<std::string> headers = {"Host: x",
                                              "host:x",
                                              "User-Agent: curl/7.88",
                                              "Content-Length: 3",
                                              "Origin: http://evil",
                                              "Referer: http://evil",
                                              "Upgrade: websocket",
                                              "Cookie: a=b",
                                              "Connection: keep-alive",
                                              "Accept: */*",
                                              "Content-Type: text/plain"};
    for (const std::string& header : headers) {
        SCOPED_TRACE(header);
        Fixture f;
        f.Session.Receive("HELO a\r\nMAIL FROM:<a@b>\r\n");
        const std::vector<std::string> replies = Lines(f.Session.Receive(header + "\r\nNOOP\r\n"));
        ASSERT_EQ(replies.size(), 1u);
        EXPECT_TRUE(replies[0].starts_with("221 "));
        EXPECT_TRUE(f.Session.WantsClose());
    }
    // A header-like line inside DATA is message text.
    Fixture f;
    f.Session.Receive(Envelope);
    EXPECT_EQ(f.Session.Receive("Host: x\r\n\r\nUser-Agent: y\r\n.\r\n"), "250 确定\r\n");
    ASSERT_EQ(f.Delivery.Messages.size(), 1u);
    EXPECT_EQ(f.Delivery.Messages[0].BodyLines, std::vector<std::string>{"User-Agent: y"});
}

TEST(SmtpSession, NulOctetsAreKept) {
    using namespace std::string_literals;
    Fixture f;
    EXPECT_EQ(f.Session.Receive("NO\0OP\r\n"s), "500 语法错误\r\n");
    EXPECT_EQ(f.Session.Receive("HELO a\0b\r\n"s), "250 您好 a?b\r\n");
    f.Session.Receive("MAIL FROM:<a@b>\r\nRCPT TO:<c@d>\r\nDATA\r\n");
    EXPECT_EQ(f.Session.Receive("X-Vorn: {1,\0}\r\n\r\n\0\r\na\0b\0\r\n.\r\n"s), "250 确定\r\n");
    ASSERT_EQ(f.Delivery.Messages.size(), 1u);
    EXPECT_EQ(f.Delivery.Messages[0].XVorn, "{1,\0}"s);
    EXPECT_EQ(f.Delivery.Messages[0].BodyLines, (std::vector<std::string>{"\0"s, "a\0b\0"s}));
}

TEST(SmtpSession, ControlOctetsAreNotEchoed) {
    Fixture f;
    EXPECT_EQ(f.Session.Receive("HELO a\rb\x1b[2J\r\n"), "250 您好 a?b?[2J\r\n");
    EXPECT_EQ(f.Session.Receive("MAIL FROM:<x\ry>\r\n"), "250 x?y 地址正确\r\n");
}

TEST(SmtpSession, CommandLinesAreLimitedTo512Octets) {
    const std::string limit(TSmtpSession::MaxCommandLine - 2, 'x');
    struct Row {
        const char* Name;
        std::vector<std::string> Chunks;
        std::string Replies;
    };
    const std::vector<Row> rows = {
        {"512 octets", {"NOOP " + limit.substr(5) + "\r\n"}, "250 确定\r\n"},
        {"513 octets", {"NOOP " + limit.substr(5) + "y\r\n"}, "500 Line too long\r\n"},
        {"512 octets, CR and LF apart", {"NOOP " + limit.substr(5) + "\r", "\n"}, "250 确定\r\n"},
        {"511 octets of text and a bare LF",
         {"NOOP " + limit.substr(4) + "\n"},
         "500 Line too long\r\n"},
        {"100,000 octets in pieces",
         {"NOOP ", std::string(50000, 'x'), std::string(50000, 'y'), "\r\n"},
         "500 Line too long\r\n"},
        {"one chunk of 100,000 octets",
         {"HELO " + std::string(100000, 'x') + "\r\n"},
         "500 Line too long\r\n"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.Name);
        Fixture f;
        std::string replies;
        for (const std::string& chunk : row.Chunks)
            replies += f.Session.Receive(chunk);
        EXPECT_EQ(replies, row.Replies);
        // The connection goes on with the next line.
        EXPECT_EQ(f.Session.Receive("HELO a\r\n"), "250 您好 a\r\n");
        EXPECT_FALSE(f.Session.WantsClose());
    }
}

TEST(SmtpSession, BodyLinesMayBeLong) {
    Fixture f;
    f.Session.Receive(Envelope);
    std::string line;
    for (int i = 0; i < 100000; ++i)
        line += static_cast<char>('a' + i % 26);
    EXPECT_EQ(f.Session.Receive("X-Vorn: v\r\n\r\n" + line + "\r\n.\r\n"), "250 确定\r\n");
    ASSERT_EQ(f.Delivery.Messages.size(), 1u);
    EXPECT_EQ(f.Delivery.Messages[0].BodyLines, std::vector<std::string>{line});
}

TEST(SmtpSession, MessagesAreLimitedTo1MiB) {
    const std::string header = "X-Vorn: v\r\n\r\n";
    for (const size_t size : {TSmtpSession::MaxMessageSize, TSmtpSession::MaxMessageSize + 1}) {
        SCOPED_TRACE(size);
        // One body line; the limit counts every octet of DATA before the final dot.
        const std::string line(size - header.size() - 2, 'x');
        for (const bool inPieces : {false, true}) {
            Fixture f;
            f.Session.Receive(Envelope);
            const std::string data = header + line + "\r\n.\r\n";
            std::string replies;
            if (inPieces) {
                for (size_t at = 0; at < data.size(); at += 4093)
                    replies += f.Session.Receive(std::string_view(data).substr(at, 4093));
            } else {
                replies = f.Session.Receive(data);
            }
            if (size <= TSmtpSession::MaxMessageSize) {
                EXPECT_EQ(replies, "250 确定\r\n");
                ASSERT_EQ(f.Delivery.Messages.size(), 1u);
                EXPECT_EQ(f.Delivery.Messages[0].BodyLines, std::vector<std::string>{line});
            } else {
                EXPECT_EQ(Lines(replies).size(), 1u);
                EXPECT_TRUE(replies.starts_with("552 ")) << replies.substr(0, 80);
                EXPECT_TRUE(f.Delivery.Messages.empty());
            }
            // Either way the next message is a fresh one.
            EXPECT_EQ(f.Session.Receive(Joined({"MAIL FROM:<a@b>", "RCPT TO:<c@d>", "DATA"}) +
                                        "small\r\n.\r\n"),
                      "250 a@b 地址正确\r\n250 c@d 地址正确\r\n354 开始邮件输入;结束 "
                      "<CRLF>.<CRLF>\r\n250 确定\r\n");
            EXPECT_EQ(f.Delivery.Messages.back().BodyLines, std::vector<std::string>{"small"});
        }
    }
    // Many short lines count their line ends too.
    Fixture f;
    f.Session.Receive(Envelope);
    std::string data;
    while (data.size() <= TSmtpSession::MaxMessageSize)
        data += "\r\n";
    EXPECT_TRUE(f.Session.Receive(data + ".\r\n").starts_with("552 "));
    EXPECT_TRUE(f.Delivery.Messages.empty());
}

TEST(SmtpSession, TwentyRefusedCommandsEndTheSession) {
    Fixture f;
    std::string commands;
    for (int i = 0; i < 21; ++i)
        commands += i % 3 == 0 ? "BOGUS\r\n" : i % 3 == 1 ? "RCPT TO:<a@b>\r\n" : "EHLO a\r\n";
    const std::vector<std::string> replies = Lines(f.Session.Receive(commands));
    ASSERT_EQ(replies.size(), 21u);
    for (int i = 0; i < 20; ++i)
        EXPECT_EQ(replies[i][0], '5') << replies[i];
    EXPECT_TRUE(replies[20].starts_with("421 ")) << replies[20];
    EXPECT_TRUE(f.Session.WantsClose());
    EXPECT_EQ(f.Session.Receive("NOOP\r\n"), "");
}

TEST(SmtpSession, NineteenRefusedCommandsAmongGoodOnesAreTolerated) {
    Fixture f;
    std::string replies;
    for (int i = 0; i < 19; ++i)
        replies += f.Session.Receive("BOGUS\r\nNOOP\r\n");
    EXPECT_EQ(Lines(replies).size(), 38u);
    EXPECT_FALSE(f.Session.WantsClose());
    EXPECT_EQ(f.Session.Receive("HELO a\r\n"), "250 您好 a\r\n");
    EXPECT_EQ(f.Session.Receive("BOGUS\r\n"),
              "500 语法错误\r\n421 Too many errors, closing connection\r\n");
}

TEST(SmtpSession, DeliveryFailuresAreReported) {
    struct Row {
        const char* Name;
        TDeliveryResult Result;
        bool Throw;
        std::string Code;
    };
    const std::vector<Row> rows = {
        {"queue full", TDeliveryResult::QueueFull, false, "452 "},
        {"local error", TDeliveryResult::LocalError, false, "451 "},
        {"delivery throws", TDeliveryResult::Accepted, true, "451 "},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.Name);
        Fixture f;
        f.Delivery.Result = row.Result;
        f.Delivery.Throw = row.Throw;
        f.Session.Receive(Envelope);
        const std::vector<std::string> replies = Lines(f.Session.Receive("x\r\n.\r\n"));
        ASSERT_EQ(replies.size(), 1u);
        EXPECT_TRUE(replies[0].starts_with(row.Code)) << replies[0];
        EXPECT_FALSE(f.Session.WantsClose());
        // The transaction is over; the sender has to start again.
        EXPECT_EQ(f.Session.Receive("DATA\r\n"), "503 \r\n");
    }
}

TEST(SmtpSession, TimeoutEndsTheSessionAndDropsTheMessage) {
    for (const bool inData : {false, true}) {
        SCOPED_TRACE(inData);
        Fixture f;
        f.Session.Receive(inData ? Envelope + "X-Vorn: v\r\n\r\npartial\r\n" : "HELO a\r\n");
        EXPECT_EQ(f.Session.InData(), inData);
        const std::string reply = f.Session.Timeout();
        EXPECT_TRUE(reply.starts_with("421 ")) << reply;
        EXPECT_EQ(Lines(reply).size(), 1u);
        EXPECT_TRUE(f.Session.WantsClose());
        EXPECT_EQ(f.Session.Receive(".\r\n"), "");
        EXPECT_TRUE(f.Delivery.Messages.empty());
    }
}

// A dialogue touching most paths, as one stream.
std::string Dialogue() {
    using namespace std::string_literals;
    return "EHLO x\r\nhelo x\r\nNOOP " + std::string(600, 'n') + "\r\n" + Envelope +
           "X-Vorn: {1,2,3,\"a\",4,5}\r\n x\r\n\r\n..dot\r\nA\r\n.\r\r\nB\n.\nC\0D\r\n.\r\n"s +
           Joined({"RSET", "MAIL FROM:<c@d>", "RCPT TO:<e@f>", "VRFY x", "DATA"}) +
           "second\r\n.\r\nQUIT\r\n";
}

TEST(SmtpSession, AnySplitOfTheBytesGivesTheSameReplies) {
    const std::string bytes = Dialogue();
    Fixture whole;
    const std::string expected = whole.Session.Receive(bytes);
    ASSERT_EQ(whole.Delivery.Messages.size(), 2u);
    ASSERT_TRUE(whole.Session.WantsClose());

    Fixture single;
    std::string replies;
    for (const char c : bytes)
        replies += single.Session.Receive(std::string_view(&c, 1));
    EXPECT_EQ(replies, expected);

    std::mt19937 random(7);
    for (int round = 0; round < 50; ++round) {
        Fixture pieces;
        replies.clear();
        for (size_t at = 0; at < bytes.size();) {
            const size_t length = std::uniform_int_distribution<size_t>(1, 40)(random);
            replies += pieces.Session.Receive(std::string_view(bytes).substr(at, length));
            at += length;
        }
        EXPECT_EQ(replies, expected);
        ASSERT_EQ(pieces.Delivery.Messages.size(), 2u);
        for (size_t i = 0; i < 2; ++i) {
            EXPECT_EQ(pieces.Delivery.Messages[i].From, whole.Delivery.Messages[i].From);
            EXPECT_EQ(pieces.Delivery.Messages[i].XVorn, whole.Delivery.Messages[i].XVorn);
            EXPECT_EQ(pieces.Delivery.Messages[i].BodyLines, whole.Delivery.Messages[i].BodyLines);
        }
    }
}

bool IsWellFormedReplyLine(const std::string& line) {
    if (line.size() < 4 || line[3] != ' ')
        return false;
    for (int i = 0; i < 3; ++i)
        if (line[i] < '0' || line[i] > '9')
            return false;
    return line[0] >= '2' && line[0] <= '5' && line.find_first_of("\r\n") == std::string::npos;
}

TEST(SmtpSession, RandomBytesGetWellFormedReplies) {
    const std::vector<std::string> pieces = {"HELO a",
                                             "MAIL FROM:<a@b>",
                                             "RCPT TO:<c@d>",
                                             "DATA",
                                             "RSET",
                                             "QUIT",
                                             "X-Vorn: ",
                                             "\r\n",
                                             "\r",
                                             "\n",
                                             ".",
                                             "..",
                                             "\r\n.\r\n",
                                             " ",
                                             ":",
                                             "<",
                                             ">",
                                             "Host: x",
                                             "GET / ",
                                             std::string(1, '\0'),
                                             "\xff\xfe",
                                             std::string(300, 'z'),
                                             "helo",
                                             "AUTH x"};
    std::mt19937 random(20240611);
    for (int round = 0; round < 2000; ++round) {
        Fixture f;
        std::string replies;
        const int count = std::uniform_int_distribution<int>(1, 60)(random);
        for (int i = 0; i < count && !f.Session.WantsClose(); ++i) {
            std::string chunk;
            if (random() % 4 == 0) {
                chunk.resize(std::uniform_int_distribution<size_t>(1, 32)(random));
                for (char& c : chunk)
                    c = static_cast<char>(random() % 256);
            } else {
                chunk = pieces[random() % pieces.size()];
            }
            replies += f.Session.Receive(chunk);
        }
        if (random() % 8 == 0)
            replies += f.Session.Timeout();
        // Every reply is one line: three digits, a blank, text without CR or LF, then CR LF.
        ASSERT_TRUE(replies.empty() || replies.ends_with("\r\n")) << "round " << round;
        for (const std::string& line : Lines(replies))
            ASSERT_TRUE(IsWellFormedReplyLine(line)) << "round " << round << ": " << line;
    }
}

} // namespace
