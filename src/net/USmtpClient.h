#pragma once

#include "USmtpClientDialogue.h"

#include <QObject>
#include <QTimer>

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

class QTcpSocket;

struct TSmtpSendRequest {
    std::string Host;
    int32_t Port = 25;
    std::string HeloName; // the computer's host name
    std::string EnvelopeFrom;
    std::string EnvelopeTo;
    std::vector<std::string> Lines; // header lines, empty line, body lines
};

struct TSmtpSendResult {
    bool Ok = false;
    std::string Error; // empty when Ok
    std::string LastServerIdentity;
};

// Delivers one message asynchronously on the calling thread's event loop.
class TSmtpClient : public QObject {
    Q_OBJECT

public:
    explicit TSmtpClient(QObject* parent = nullptr);
    // A delivery still running is dropped without Finished.
    ~TSmtpClient() override;

    // Starts a delivery; Finished follows exactly once, never from inside Send. A delivery still
    // running is cancelled first (its Finished comes before Send returns).
    void Send(const TSmtpSendRequest& request);
    // Ends the running delivery: Finished with the cancelled failure comes before this returns.
    // Nothing happens when none is running.
    void Cancel();
    bool Busy() const { return Busy_; }

    static constexpr const char* CancelledText = "Sending was cancelled";
    static constexpr const char* ReplyTimeoutText = "Timed out waiting for the peer's answer";

    int ConnectTimeoutMs = 10000; // host lookup and connection
    int ReplyTimeoutMs = 30000;   // each reply of the peer

Q_SIGNALS:
    void Finished(const TSmtpSendResult& result);

private:
    void OnConnected();
    void OnReadyRead();
    void OnSocketError();
    void OnTimeout();
    void Transmit(const std::string& bytes);
    // Sends QUIT unless the dialogue did, closes and reports.
    void Finish(bool ok, const std::string& error, bool sendQuit);

    QTcpSocket* Socket_;
    QTimer Timer_;
    TSmtpClientDialogue Dialogue_{{}, {}, {}, {}};
    std::string Host_;
    int32_t Port_ = 0;
    bool Busy_ = false;
    bool Connected_ = false;
    bool InSend_ = false;
    uint64_t Generation_ = 0; // tells a queued start-up failure from a later delivery
};
