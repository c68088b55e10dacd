#include "USmtpSession.h"

#include "UConvert.h"
#include "UProduct.h"

#include <algorithm>
#include <array>
#include <exception>
#include <utility>

namespace {

constexpr std::string_view CRLF = "\r\n";
constexpr std::string_view Blanks = " \t";

bool StartsWithNoCase(std::string_view text, std::string_view prefix) {
    return text.size() >= prefix.size() && SameTextAscii(text.substr(0, prefix.size()), prefix);
}

// Text of the client's that goes back in a reply: a CR, LF or other control octet there would
// break the reply line, so each becomes '?'.
std::string Printable(std::string_view text) {
    std::string result(text);
    for (char& c : result) {
        const auto octet = static_cast<unsigned char>(c);
        if (octet < 0x20 || octet == 0x7F)
            c = '?';
    }
    return result;
}

// The address of a MAIL or RCPT argument: inside the angle brackets, or the first word when
// the client sent none.
std::string AddressOf(std::string_view text) {
    text = TrimBlanks(text);
    const size_t open = text.find('<');
    if (open != std::string_view::npos) {
        const size_t close = text.find('>', open + 1);
        return std::string(text.substr(
            open + 1, close == std::string_view::npos ? std::string_view::npos : close - open - 1));
    }
    return std::string(text.substr(0, text.find_first_of(Blanks)));
}

bool IsHttpMethod(std::string_view verb) {
    static constexpr std::array<std::string_view, 9> Methods = {
        "GET", "POST", "PUT", "HEAD", "CONNECT", "OPTIONS", "DELETE", "PATCH", "TRACE"};
    return std::any_of(Methods.begin(), Methods.end(),
                       [verb](std::string_view method) { return SameTextAscii(verb, method); });
}

// A browser or a script tricked into talking to this port sends HTTP headers, whose lines could
// otherwise pass for SMTP commands one by one.
bool IsHttpHeaderLine(std::string_view line) {
    static constexpr std::array<std::string_view, 17> Names = {"Host",
                                                               "User-Agent",
                                                               "Content-Type",
                                                               "Content-Length",
                                                               "Accept",
                                                               "Accept-Encoding",
                                                               "Accept-Language",
                                                               "Origin",
                                                               "Referer",
                                                               "Connection",
                                                               "Cookie",
                                                               "Upgrade",
                                                               "Authorization",
                                                               "Cache-Control",
                                                               "Transfer-Encoding",
                                                               "Pragma",
                                                               "Sec-Fetch-Mode"};
    size_t end = 0;
    while (end < line.size() &&
           ((line[end] >= 'A' && line[end] <= 'Z') || (line[end] >= 'a' && line[end] <= 'z') ||
            (line[end] >= '0' && line[end] <= '9') || line[end] == '-'))
        ++end;
    if (end == 0 || end >= line.size() || line[end] != ':')
        return false;
    const std::string_view name = line.substr(0, end);
    return std::any_of(Names.begin(), Names.end(),
                       [name](std::string_view known) { return SameTextAscii(name, known); });
}

// Where the name of a header line "Name: value" ends, or npos when the line is no header. The
// name is printable ASCII; blanks before the colon are tolerated, as old mailers wrote them.
size_t HeaderNameEnd(std::string_view line) {
    size_t end = 0;
    while (end < line.size() && line[end] > ' ' && line[end] < 0x7F && line[end] != ':')
        ++end;
    if (end == 0)
        return std::string_view::npos;
    const size_t colon = line.find_first_not_of(Blanks, end);
    return colon != std::string_view::npos && line[colon] == ':' ? end : std::string_view::npos;
}

} // namespace

TSmtpSession::TSmtpSession(std::string identity, ISmtpDelivery& delivery)
    : Identity_(std::move(identity)), Delivery_(delivery) {}

std::string TSmtpSession::Greeting() const {
    return "220 Welcome to " + ProductTitle() + " SMTP Server [" + Printable(Identity_) + "]" +
           std::string(CRLF);
}

std::string TSmtpSession::Receive(std::string_view bytes) {
    std::string replies;
    while (!bytes.empty() && !WantsClose_) {
        if (InData_)
            ReceiveDataBytes(bytes, replies);
        else
            ReceiveCommandBytes(bytes, replies);
    }
    return replies;
}

std::string TSmtpSession::Timeout() {
    WantsClose_ = true;
    InData_ = false;
    ClearData();
    return "421 Timeout, closing connection" + std::string(CRLF);
}

void TSmtpSession::ReceiveCommandBytes(std::string_view& bytes, std::string& replies) {
    const size_t lf = bytes.find('\n');
    const std::string_view part = bytes.substr(0, lf);
    bytes.remove_prefix(lf == std::string_view::npos ? bytes.size() : lf + 1);
    if (Discarding_) {
        Discarding_ = lf == std::string_view::npos;
        return;
    }
    // The limit counts the CR LF; a CR still waiting for its LF does not count twice.
    bool tooLong = Line_.size() + part.size() > MaxCommandLine;
    if (!tooLong) {
        Line_.append(part);
        const size_t text = Line_.size() - (!Line_.empty() && Line_.back() == '\r' ? 1 : 0);
        tooLong = text > MaxCommandLine - CRLF.size();
    }
    if (tooLong) {
        // Answered at once, so the client hears of it even if the line never ends.
        Line_.clear();
        Discarding_ = lf == std::string_view::npos;
        ++Commands_;
        Reply(replies, "500 Line too long");
        return;
    }
    if (lf == std::string_view::npos)
        return;
    if (!Line_.empty() && Line_.back() == '\r')
        Line_.pop_back();
    const std::string line = std::exchange(Line_, {});
    Command(line, replies);
}

void TSmtpSession::Command(const std::string& line, std::string& replies) {
    const bool first = ++Commands_ == 1;
    const std::string_view text(line);
    const size_t blank = text.find(' ');
    // Commands in any letter case (Python's smtplib sends them in lower case).
    const std::string verb = LowerCaseAscii(text.substr(0, blank));
    const std::string_view argument =
        blank == std::string_view::npos ? std::string_view() : TrimBlanks(text.substr(blank + 1));

    if ((first && IsHttpMethod(verb)) || IsHttpHeaderLine(text)) {
        replies += "221 This is an SMTP server, closing connection";
        replies += CRLF;
        WantsClose_ = true;
        return;
    }

    static constexpr std::string_view ParameterError =
        "501 Syntax error in parameters or arguments";
    if (verb == "ehlo") {
        Reply(replies, "500 命令未确认");
    } else if (verb == "helo") {
        if (Greeted_) {
            Reply(replies, "503 ");
        } else if (argument.empty()) {
            Reply(replies, "501 Syntax Error in parameters or arguments");
        } else {
            Greeted_ = true;
            Reply(replies, "250 您好 " + Printable(argument));
        }
    } else if (verb == "mail") {
        if (!Greeted_) {
            Reply(replies, "501 有礼貌的人说 HELLO");
        } else if (!StartsWithNoCase(argument, "FROM:")) {
            Reply(replies, ParameterError);
        } else {
            From_ = AddressOf(argument.substr(5));
            HasSender_ = true;
            HasRecipient_ = false;
            Reply(replies, "250 " + Printable(From_) + " 地址正确");
        }
    } else if (verb == "rcpt") {
        if (!HasSender_) {
            Reply(replies, "503 ");
        } else if (!StartsWithNoCase(argument, "TO:")) {
            Reply(replies, ParameterError);
        } else {
            HasRecipient_ = true;
            Reply(replies, "250 " + Printable(AddressOf(argument.substr(3))) + " 地址正确");
        }
    } else if (verb == "data") {
        if (!HasRecipient_) {
            Reply(replies, "503 ");
        } else {
            ClearData();
            InData_ = true;
            Reply(replies, "354 开始邮件输入;结束 <CRLF>.<CRLF>");
        }
    } else if (verb == "rset") {
        ClearTransaction();
        Reply(replies, "250 确定");
    } else if (verb == "noop") {
        Reply(replies, "250 确定");
    } else if (verb == "quit") {
        Reply(replies, "221 关闭登录");
        WantsClose_ = true;
    } else if (verb == "auth" || verb == "help" || verb == "expn" || verb == "vrfy" ||
               verb == "soml" || verb == "send" || verb == "saml" || verb == "turn") {
        Reply(replies, "500 语法错误-命令无法理解： " + Printable(argument) + ":");
    } else {
        Reply(replies, "500 语法错误");
    }
}

void TSmtpSession::ReceiveDataBytes(std::string_view& bytes, std::string& replies) {
    while (!bytes.empty() && InData_) {
        if (PendingCR_) {
            PendingCR_ = false;
            if (bytes.front() == '\n') {
                bytes.remove_prefix(1);
                EndOfDataLine(replies);
                continue;
            }
            AppendData("\r"); // a bare CR is text
        }
        const size_t cr = bytes.find('\r');
        AppendData(bytes.substr(0, cr));
        if (cr == std::string_view::npos) {
            bytes = {};
        } else {
            bytes.remove_prefix(cr + 1);
            PendingCR_ = true;
        }
    }
}

void TSmtpSession::AppendData(std::string_view part) {
    DataLineSize_ += part.size();
    // A line of one octet may still be the final dot, which does not count.
    if (!TooLarge_ && DataLineSize_ > 1 && DataSize_ + DataLineSize_ > MaxMessageSize) {
        TooLarge_ = true;
        DataLines_ = {};
        DataLine_.resize(std::min<size_t>(DataLine_.size(), 2));
    }
    if (!TooLarge_)
        DataLine_.append(part);
    else if (DataLine_.size() < 2) // enough to tell the final "." from other lines
        DataLine_.append(part.substr(0, 2 - DataLine_.size()));
}

void TSmtpSession::EndOfDataLine(std::string& replies) {
    if (DataLineSize_ == 1 && DataLine_ == ".") {
        EndOfMessage(replies);
        return;
    }
    DataSize_ += DataLineSize_ + CRLF.size();
    if (!TooLarge_ && DataSize_ > MaxMessageSize) {
        TooLarge_ = true;
        DataLines_ = {};
    }
    if (!TooLarge_) {
        if (DataLine_.starts_with(".."))
            DataLine_.erase(0, 1);
        DataLines_.push_back(std::move(DataLine_));
    }
    DataLine_.clear();
    DataLineSize_ = 0;
}

void TSmtpSession::EndOfMessage(std::string& replies) {
    InData_ = false;
    if (TooLarge_) {
        Reply(replies, "552 Message too large, not accepted");
    } else {
        TDeliveryResult result = TDeliveryResult::LocalError;
        try {
            result = Delivery_.Deliver(ParseMessage());
        } catch (const std::exception&) {
            // A failure behind the delivery must not take the connection (or the server) down.
            result = TDeliveryResult::LocalError;
        }
        switch (result) {
        case TDeliveryResult::Accepted:
            Reply(replies, "250 确定");
            break;
        case TDeliveryResult::QueueFull:
            Reply(replies, "452 Too many notes waiting, try again later");
            break;
        case TDeliveryResult::LocalError:
            Reply(replies, "451 Local error, message not accepted");
            break;
        }
    }
    ClearTransaction();
    ClearData();
}

TSmtpMessage TSmtpSession::ParseMessage() {
    TSmtpMessage message;
    message.From = From_;
    // The header block ends at the first empty line. A line that is neither a header nor its
    // continuation ends it too and starts the body, so a message sent without headers keeps
    // all of its text.
    std::vector<std::string> headers;
    size_t index = 0;
    for (; index < DataLines_.size(); ++index) {
        const std::string& line = DataLines_[index];
        if (line.empty()) {
            ++index;
            break;
        }
        if ((line.front() == ' ' || line.front() == '\t') && !headers.empty()) {
            headers.back() += line;
            continue;
        }
        if (HeaderNameEnd(line) == std::string_view::npos)
            break;
        headers.push_back(line);
    }
    for (const std::string& header : headers) {
        const size_t end = HeaderNameEnd(header);
        if (SameTextAscii(std::string_view(header).substr(0, end), "X-Vorn")) {
            const size_t colon = header.find(':', end);
            message.XVorn = std::string(TrimBlanks(std::string_view(header).substr(colon + 1)));
            break;
        }
    }
    message.BodyLines.assign(std::make_move_iterator(DataLines_.begin() + index),
                             std::make_move_iterator(DataLines_.end()));
    return message;
}

void TSmtpSession::Reply(std::string& replies, std::string_view line) {
    replies += line;
    replies += CRLF;
    if (line.front() == '5' && ++Refused_ >= MaxRefusedCommands) {
        replies += "421 Too many errors, closing connection";
        replies += CRLF;
        WantsClose_ = true;
    }
}

void TSmtpSession::ClearTransaction() {
    HasSender_ = false;
    HasRecipient_ = false;
    From_.clear();
}

void TSmtpSession::ClearData() {
    DataLines_.clear();
    DataLine_.clear();
    DataLineSize_ = 0;
    PendingCR_ = false;
    DataSize_ = 0;
    TooLarge_ = false;
}
