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
    // (the implementation's state)
    bool WantsClose_ = false;
    bool InData_ = false;
};
