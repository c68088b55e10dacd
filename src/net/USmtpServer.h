#pragma once

#include <atomic>
#include <chrono>
#include <cstdint>
#include <memory>
#include <string>

class ISmtpDelivery;
class TSmtpServerThread;

// The built-in SMTP server: listens on every local interface and serves all its connections on
// a thread of its own, each through a TSmtpSession. The delivery is called on that thread.
class TSmtpServer {
public:
    explicit TSmtpServer(ISmtpDelivery& delivery);
    ~TSmtpServer();
    TSmtpServer(const TSmtpServer&) = delete;
    TSmtpServer& operator=(const TSmtpServer&) = delete;

    // Listens on `port` (0 picks a free one) with `identity` in the greeting; returns once the
    // server listens, or false when the port cannot be opened. A listening server stops first.
    bool Start(uint16_t port, const std::string& identity);
    // The port listened on; 0 while not listening.
    uint16_t Port() const { return Port_; }
    // Closes every connection and stops listening; returns once the server's thread has ended.
    void Stop();
    bool IsActive() const { return Active_; }

    // Limits, taken over by each Start. A connection that sends nothing for IdleLimit, or stays
    // in DATA for DataLimit, is told 421 and closed; beyond MaxConnections at once a new
    // connection is told 421 and closed.
    std::chrono::milliseconds IdleLimit = std::chrono::minutes(5);
    std::chrono::milliseconds DataLimit = std::chrono::minutes(10);
    int MaxConnections = 32;

private:
    ISmtpDelivery& Delivery_;
    std::unique_ptr<TSmtpServerThread> Thread_;
    std::atomic<uint16_t> Port_ = 0;
    std::atomic<bool> Active_ = false;
};
