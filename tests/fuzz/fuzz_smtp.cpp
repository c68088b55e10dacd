// The SMTP server session on any bytes from a client. The input is the byte stream; it is fed
// once whole and once in chunks whose sizes are drawn from the input itself. Every reply is a
// line of a 3-digit code, a blank and text without control octets, ended by CR LF; how the
// bytes are split changes neither the replies nor what is delivered; after the session wants
// to close it answers nothing more.

#include "FuzzCheck.h"
#include "USmtpSession.h"

#include <cstddef>
#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace {

// Takes every message; the answer goes round all the results and a failure behind delivery.
class TDelivery : public ISmtpDelivery {
public:
    TDeliveryResult Deliver(const TSmtpMessage& message) override {
        Messages.push_back(message);
        switch (Messages.size() % 4) {
        case 1:
            return TDeliveryResult::Accepted;
        case 2:
            return TDeliveryResult::QueueFull;
        case 3:
            return TDeliveryResult::LocalError;
        default:
            throw std::runtime_error("the receive queue failed");
        }
    }
    std::vector<TSmtpMessage> Messages;
};

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

void CheckReplies(std::string_view replies) {
    constexpr std::string_view CRLF = "\r\n";
    while (!replies.empty()) {
        const size_t end = replies.find(CRLF);
        Require(end != std::string_view::npos, "every reply ends with CR LF");
        const std::string_view line = replies.substr(0, end);
        Require(line.size() >= 4 && IsDigit(line[0]) && IsDigit(line[1]) && IsDigit(line[2]) &&
                    line[3] == ' ',
                "every reply starts with a 3-digit code and a blank");
        Require(line[0] >= '2' && line[0] <= '5', "reply codes are 2xx to 5xx");
        for (const char c : line) {
            const auto octet = static_cast<unsigned char>(c);
            Require(octet >= 0x20 && octet != 0x7F, "no reply carries a control octet");
        }
        replies.remove_prefix(end + CRLF.size());
    }
}

// The stream in chunks whose sizes come from a generator seeded by the input: mostly short,
// now and then longer than a command line may be. In one input of 256 one chunk is sent again
// and again until more than a message may hold has passed, so that the size limit of DATA is met
// at every split.
struct TChunk {
    std::string_view Bytes;
    size_t Times = 1;
};

std::vector<TChunk> Chunks(std::string_view bytes) {
    uint64_t state = 14695981039346656037u;
    for (const char c : bytes)
        state = (state ^ static_cast<unsigned char>(c)) * 1099511628211u;
    const bool repeat = state % 256 == 0;
    const size_t repeated = (state >> 8) % 16;
    std::vector<TChunk> chunks;
    while (!bytes.empty()) {
        state = state * 6364136223846793005u + 1442695040888963407u;
        const uint64_t draw = state >> 33;
        TChunk chunk{bytes.substr(0, draw % 8 == 0 ? 1 + draw % 700 : 1 + draw % 16)};
        bytes.remove_prefix(chunk.Bytes.size());
        if (repeat && chunks.size() == repeated)
            chunk.Times = TSmtpSession::MaxMessageSize / chunk.Bytes.size() + 2;
        chunks.push_back(chunk);
    }
    return chunks;
}

bool SameMessages(const std::vector<TSmtpMessage>& a, const std::vector<TSmtpMessage>& b) {
    if (a.size() != b.size())
        return false;
    for (size_t i = 0; i < a.size(); ++i) {
        if (a[i].From != b[i].From || a[i].XVorn != b[i].XVorn || a[i].BodyLines != b[i].BodyLines)
            return false;
    }
    return true;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::vector<TChunk> chunks =
        Chunks(std::string_view(reinterpret_cast<const char*>(data), size));
    std::string bytes;
    for (const TChunk& chunk : chunks) {
        for (size_t i = 0; i < chunk.Times; ++i)
            bytes += chunk.Bytes;
    }
    // The identity comes from the machine's name; a control octet in it must not leak.
    const std::string identity = "desk\r\n250 x:56784";

    TDelivery wholeDelivery;
    TSmtpSession whole(identity, wholeDelivery);
    const std::string greeting = whole.Greeting();
    Require(greeting.starts_with("220 "), "the greeting is a 220 reply");
    CheckReplies(greeting);
    const std::string wholeReplies = whole.Receive(bytes);
    CheckReplies(wholeReplies);

    TDelivery chunkDelivery;
    TSmtpSession chunked(identity, chunkDelivery);
    std::string chunkReplies;
    for (const TChunk& chunk : chunks) {
        for (size_t i = 0; i < chunk.Times; ++i) {
            const bool closed = chunked.WantsClose();
            const std::string replies = chunked.Receive(chunk.Bytes);
            Require(!closed || replies.empty(), "a session that wants to close answers nothing");
            CheckReplies(replies);
            chunkReplies += replies;
        }
    }
    Require(chunkReplies == wholeReplies, "the split of the bytes does not change the replies");
    Require(SameMessages(chunkDelivery.Messages, wholeDelivery.Messages),
            "the split of the bytes does not change what is delivered");
    Require(chunked.WantsClose() == whole.WantsClose() && chunked.InData() == whole.InData(),
            "the split of the bytes does not change the state");

    if (!whole.WantsClose()) {
        const std::string timeout = whole.Timeout();
        Require(timeout.starts_with("421 "), "a time limit is answered 421");
        CheckReplies(timeout);
        Require(whole.WantsClose() && !whole.InData(), "after a time limit the session closes");
        Require(whole.Receive("NOOP\r\n").empty(), "and answers nothing more");
    }
    return 0;
}
