// The SMTP server under load: a host that listens with TSmtpServer and counts the messages it
// is given, for smtp_vs_sink.sh to load with Postfix's smtp-source.
//
//   bench_smtp_server <port> <messages> <seconds>
//
// Prints "port N" once listening (port 0 picks a free one), then, when <messages> were
// delivered or <seconds> passed, "delivered M in S s" and ends; exit status 1 when the count
// was not reached.

#include "USmtpServer.h"
#include "USmtpSession.h"

#include <QCoreApplication>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>

namespace {

// Stands in for the receive queue: takes every message, as an empty queue would.
class TCountingDelivery : public ISmtpDelivery {
public:
    TDeliveryResult Deliver(const TSmtpMessage&) override {
        Count.fetch_add(1, std::memory_order_release);
        return TDeliveryResult::Accepted;
    }

    std::atomic<long> Count = 0;
};

} // namespace

int main(int argc, char** argv) {
    if (argc != 4) {
        std::fprintf(stderr, "usage: %s <port> <messages> <seconds>\n", argv[0]);
        return 2;
    }
    const int port = std::atoi(argv[1]);
    const long target = std::atol(argv[2]);
    const int seconds = std::atoi(argv[3]);
    QCoreApplication app(argc, argv);

    TCountingDelivery delivery;
    TSmtpServer server(delivery);
    server.MaxConnections = 256;
    if (port < 0 || port > 65535 || !server.Start(static_cast<uint16_t>(port), "bench@host:0")) {
        std::fprintf(stderr, "cannot listen on port %d\n", port);
        return 1;
    }
    std::printf("port %u\n", static_cast<unsigned>(server.Port()));
    std::fflush(stdout);

    using Clock = std::chrono::steady_clock;
    const auto start = Clock::now();
    const auto deadline = start + std::chrono::seconds(seconds);
    while (delivery.Count.load(std::memory_order_acquire) < target && Clock::now() < deadline)
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    const long count = delivery.Count.load(std::memory_order_acquire);
    const double elapsed = std::chrono::duration<double>(Clock::now() - start).count();
    server.Stop();
    std::printf("delivered %ld in %.3f s\n", count, elapsed);
    return count >= target ? 0 : 1;
}
