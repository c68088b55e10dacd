#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

// One delivered message as the receiving side needs it.
struct TSmtpMessage {
    std::string From;                   // the MAIL FROM address, inside its angle brackets
    std::string XVorn;                  // first X-Vorn header (any case), unfolded, trimmed
    std::vector<std::string> BodyLines; // after the header block, dot-unstuffed
};

enum class TDeliveryResult {
    Accepted,   // 250
    QueueFull,  // 452: too many notes waiting
    LocalError, // 451: e.g. the address book could not be saved
};

// Where a session hands delivered messages; called on the session's thread.
class ISmtpDelivery {
public:
    virtual ~ISmtpDelivery() = default;
    virtual TDeliveryResult Deliver(const TSmtpMessage& message) = 0;
};

// The server side of one SMTP connection as a state machine: bytes in, reply bytes out. It
// knows nothing of sockets or time; the server closes the connection when WantsClose() says so
// and enforces the idle and DATA time limits itself (Timeout()).
//
// Outside DATA a line ends at LF, with or without the CR before it, because some clients end
// commands with a bare LF. Inside DATA only CR LF ends a line, so only CR LF "." CR LF ends a
// message and nothing can be smuggled in behind a bare CR or LF.
//
// Limits: a command line of more than MaxCommandLine octets is answered 500 as soon as it is
// too long, and the rest of it is dropped; a message of more than MaxMessageSize octets of DATA
// (as sent, line ends included, up to the final dot) is answered 552 and not delivered; after
// MaxRefusedCommands replies of 5xx the session answers 421 and wants to close. Something that
// speaks HTTP (a first line with an HTTP method, or an HTTP header line outside DATA) is
// answered 221 and the session ends at once.
class TSmtpSession {
public:
    static constexpr size_t MaxCommandLine = 512;     // octets with CR LF (RFC 5321)
    static constexpr size_t MaxMessageSize = 1 << 20; // octets of DATA
    static constexpr int MaxRefusedCommands = 20;

    // `identity` is the NetworkIdentity shown in the greeting's brackets.
    TSmtpSession(std::string identity, ISmtpDelivery& delivery);

    // The "220 ..." line with CR LF, to send when the connection opens.
    std::string Greeting() const;
    // Takes received bytes (any split), returns the replies to send (possibly empty).
    std::string Receive(std::string_view bytes);
    // The reply to send when a time limit ran out ("421 ..."); the session then wants to close.
    std::string Timeout();
    // After QUIT, an HTTP request, too many refused commands or a time limit.
    bool WantsClose() const { return WantsClose_; }
    bool InData() const { return InData_; }

private:
    // Each takes what it can of `bytes` and leaves the rest for the other mode.
    void ReceiveCommandBytes(std::string_view& bytes, std::string& replies);
    void ReceiveDataBytes(std::string_view& bytes, std::string& replies);
    void Command(const std::string& line, std::string& replies);
    void AppendData(std::string_view part);
    void EndOfDataLine(std::string& replies);
    void EndOfMessage(std::string& replies);
    TSmtpMessage ParseMessage();
    void Reply(std::string& replies, std::string_view line);
    void ClearTransaction();
    void ClearData();

    std::string Identity_;
    ISmtpDelivery& Delivery_;

    bool Greeted_ = false;
    bool HasSender_ = false;
    bool HasRecipient_ = false;
    std::string From_;
    int Commands_ = 0; // complete command lines so far, for spotting an HTTP request
    int Refused_ = 0;

    std::string Line_;        // the command line being received
    bool Discarding_ = false; // the rest of an over-long command line is thrown away

    std::vector<std::string> DataLines_; // the message so far, dot-unstuffed
    std::string DataLine_;               // the DATA line being received, without its CR LF
    size_t DataLineSize_ = 0;            // its octets, also those no longer stored
    bool PendingCR_ = false;             // the last DATA octet was a CR that may start CR LF
    size_t DataSize_ = 0;                // octets of the finished DATA lines with their CR LF
    bool TooLarge_ = false;              // counted on to the final dot, no longer stored

    bool WantsClose_ = false;
    bool InData_ = false;
};
