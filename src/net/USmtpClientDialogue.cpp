#include "USmtpClientDialogue.h"

#include "UNetworkUtil.h"

#include <utility>

namespace {

bool IsControl(char c) {
    const auto byte = static_cast<unsigned char>(c);
    return byte < 0x20 || byte == 0x7F;
}

bool HasControl(std::string_view text) {
    for (const char c : text)
        if (IsControl(c))
            return true;
    return false;
}

// The peer's identity goes into the address book, one entry a line, and into the log.
std::string WithoutControls(std::string_view text) {
    std::string clean;
    for (const char c : text)
        if (!IsControl(c))
            clean += c;
    return clean;
}

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

} // namespace

TSmtpClientDialogue::TSmtpClientDialogue(std::string heloName, std::string envelopeFrom,
                                         std::string envelopeTo, std::vector<std::string> lines)
    : HeloName_(std::move(heloName)), EnvelopeFrom_(std::move(envelopeFrom)),
      EnvelopeTo_(std::move(envelopeTo)), Lines_(std::move(lines)) {
    if (HeloName_.empty())
        HeloName_ = "localhost";
    // A line break in a command would let the text after it pass as a command of its own.
    if (HasControl(HeloName_) || HasControl(EnvelopeFrom_) || HasControl(EnvelopeTo_)) {
        State_ = TState::Failed;
        Error_ = "The sender, the recipient or the computer name holds a control character";
    }
}

std::string TSmtpClientDialogue::Receive(std::string_view bytes) {
    Out_.clear();
    while (!bytes.empty() && !Finished()) {
        const size_t lf = bytes.find('\n');
        std::string_view segment = bytes.substr(0, lf);
        bytes.remove_prefix(lf == std::string_view::npos ? bytes.size() : lf + 1);
        while (Pending_.size() + segment.size() > MaxReplyLine && !Finished()) {
            const size_t take = MaxReplyLine - Pending_.size();
            Pending_.append(segment.substr(0, take));
            segment.remove_prefix(take);
            TakeLine(Pending_, false);
            Pending_.clear();
        }
        if (Finished())
            break;
        Pending_.append(segment);
        if (lf != std::string_view::npos) {
            TakeLine(Pending_, true);
            Pending_.clear();
        }
    }
    return std::move(Out_);
}

void TSmtpClientDialogue::TakeLine(std::string_view line, bool complete) {
    if (!line.empty() && line.back() == '\r')
        line.remove_suffix(1);
    auto addText = [this](std::string_view text) {
        if (!ReplyText_.empty() && ReplyText_.size() < MaxReplyText)
            ReplyText_ += '\n';
        ReplyText_.append(text.substr(0, MaxReplyText - ReplyText_.size()));
    };
    if (!InLongLine_) {
        const bool wellFormed = line.size() >= 3 && IsDigit(line[0]) && IsDigit(line[1]) &&
                                IsDigit(line[2]) &&
                                (line.size() == 3 || line[3] == ' ' || line[3] == '-');
        addText(line);
        if (!wellFormed) {
            // The error box must say something even when the peer said nothing.
            Fail(ReplyText_.empty() ? std::string("The peer's answer is not an SMTP reply")
                                    : ReplyText_);
            return;
        }
        const int code = (line[0] - '0') * 100 + (line[1] - '0') * 10 + (line[2] - '0');
        if (ReplyCode_ < 0)
            ReplyCode_ = code;
        ReplyFinal_ = line.size() == 3 || line[3] == ' ';
        if (State_ == TState::Greeting && code == 220 && LastServerIdentity_.empty())
            LastServerIdentity_ = WithoutControls(ExtractBracketed(line));
    } else {
        addText(line);
    }
    InLongLine_ = !complete;
    if (complete && ReplyFinal_) {
        const int replyCode = ReplyCode_;
        TakeReply(replyCode);
        ReplyCode_ = -1;
        ReplyFinal_ = false;
        ReplyText_.clear();
    }
}

void TSmtpClientDialogue::TakeReply(int code) {
    auto expect = [&](bool accepted, TState next, std::string_view command) {
        if (!accepted) {
            Fail(ReplyText_);
            return;
        }
        State_ = next;
        Out_ += Command(command);
    };
    switch (State_) {
    case TState::Greeting:
        expect(code == 220, TState::Ehlo, "EHLO " + HeloName_);
        break;
    case TState::Ehlo:
        // A peer that knows no extensions refuses EHLO; plain HELO is what it understands.
        if (code >= 500 && code <= 599)
            expect(true, TState::Helo, "HELO " + HeloName_);
        else
            expect(code == 250, TState::Rset, "RSET");
        break;
    case TState::Helo:
        expect(code == 250, TState::Rset, "RSET");
        break;
    case TState::Rset:
        expect(true, TState::Mail, "MAIL FROM:<" + EnvelopeFrom_ + ">");
        break;
    case TState::Mail:
        expect(code == 250, TState::Rcpt, "RCPT TO:<" + EnvelopeTo_ + ">");
        break;
    case TState::Rcpt:
        expect(code == 250 || code == 251, TState::Data, "DATA");
        break;
    case TState::Data:
        if (code != 354) {
            Fail(ReplyText_);
            break;
        }
        State_ = TState::Message;
        Out_ += MessageData(Lines_);
        break;
    case TState::Message:
        if (code != 250) {
            Fail(ReplyText_);
            break;
        }
        // The message is delivered; QUIT's answer changes nothing, so it is not awaited.
        State_ = TState::Succeeded;
        Out_ += Command("QUIT");
        QuitSent_ = true;
        break;
    case TState::Succeeded:
    case TState::Failed:
        break;
    }
}

std::string TSmtpClientDialogue::Command(std::string_view text) const {
    std::string command(text);
    command += "\r\n";
    return command;
}

void TSmtpClientDialogue::Fail(std::string error) {
    State_ = TState::Failed;
    Error_ = std::move(error);
    Out_ += Command("QUIT");
    QuitSent_ = true;
}

std::string TSmtpClientDialogue::MessageData(const std::vector<std::string>& lines) {
    std::string data;
    auto addLine = [&data](std::string_view line) {
        if (!line.empty() && line.front() == '.')
            data += '.';
        data.append(line);
        data += "\r\n";
    };
    for (const std::string& line : lines) {
        // CR LF, CR alone and LF alone each end a line, as in a note's text.
        std::string_view rest(line);
        for (size_t brk = rest.find_first_of("\r\n"); brk != std::string_view::npos;
             brk = rest.find_first_of("\r\n")) {
            addLine(rest.substr(0, brk));
            const bool crlf = rest[brk] == '\r' && brk + 1 < rest.size() && rest[brk + 1] == '\n';
            rest.remove_prefix(brk + (crlf ? 2 : 1));
        }
        addLine(rest);
    }
    data += ".\r\n";
    return data;
}
