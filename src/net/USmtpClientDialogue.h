#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// The client side of one SMTP delivery as a state machine: reply bytes in, command bytes out.
// It waits for the 220 greeting, greets with EHLO (HELO when EHLO is refused with 5xx), resets,
// names the envelope, sends the message dot-stuffed and ends with QUIT without waiting for its
// answer. Any other reply than the expected one ends it with the peer's reply as the error.
class TSmtpClientDialogue {
public:
    // Longer reply lines are split into pieces of this size instead of failing the dialogue.
    static constexpr size_t MaxReplyLine = 1000;
    // The reply text kept for the error message; the rest of a huge reply is read and dropped.
    static constexpr size_t MaxReplyText = 4096;

    // `lines` are the message's header lines, an empty line and the body lines, without line
    // ends. A CR or LF inside a line still ends a line on the wire, so no bare CR or LF is sent.
    // An empty `heloName` greets as "localhost". Envelope addresses or a HELO name holding a
    // control character fail the dialogue at once (Finished() is true before anything is sent).
    TSmtpClientDialogue(std::string heloName, std::string envelopeFrom, std::string envelopeTo,
                        std::vector<std::string> lines);

    // Takes received bytes (any split) and returns the bytes to send now, possibly none.
    std::string Receive(std::string_view bytes);

    bool Finished() const { return State_ == TState::Succeeded || State_ == TState::Failed; }
    bool Succeeded() const { return State_ == TState::Succeeded; }
    // Why it failed: the peer's reply lines joined by "\n", or a text of our own.
    const std::string& Error() const { return Error_; }
    // The bracketed text of the 220 greeting, without control characters; empty without one.
    const std::string& LastServerIdentity() const { return LastServerIdentity_; }
    // The dialogue ended with QUIT on the wire: after the message, or after a refusal.
    bool QuitSent() const { return QuitSent_; }

    // The message as it goes after DATA: dot-stuffed lines ended by CR LF, then ".".
    static std::string MessageData(const std::vector<std::string>& lines);

private:
    enum class TState { Greeting, Ehlo, Helo, Rset, Mail, Rcpt, Data, Message, Succeeded, Failed };

    void TakeLine(std::string_view line, bool complete);
    void TakeReply(int code);
    std::string Command(std::string_view text) const;
    void Fail(std::string error);

    std::string HeloName_;
    std::string EnvelopeFrom_;
    std::string EnvelopeTo_;
    std::vector<std::string> Lines_;

    TState State_ = TState::Greeting;
    std::string Error_;
    std::string LastServerIdentity_;
    bool QuitSent_ = false;

    std::string Pending_;     // received bytes of an unfinished line
    bool InLongLine_ = false; // Pending_ continues a line whose first piece was taken
    int ReplyCode_ = -1;      // of the reply being read; -1 before its first line
    bool ReplyFinal_ = false; // the current line is the reply's last
    std::string ReplyText_;   // its lines, for the error message
    std::string Out_;         // what to send after this Receive
};
