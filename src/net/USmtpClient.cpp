#include "USmtpClient.h"

#include <QTcpSocket>

#include <utility>

TSmtpClient::TSmtpClient(QObject* parent) : QObject(parent), Socket_(new QTcpSocket(this)) {
    Timer_.setSingleShot(true);
    connect(&Timer_, &QTimer::timeout, this, &TSmtpClient::OnTimeout);
    connect(Socket_, &QTcpSocket::connected, this, &TSmtpClient::OnConnected);
    connect(Socket_, &QTcpSocket::readyRead, this, &TSmtpClient::OnReadyRead);
    connect(Socket_, &QTcpSocket::errorOccurred, this, &TSmtpClient::OnSocketError);
    connect(Socket_, &QTcpSocket::disconnected, this, &TSmtpClient::OnSocketError);
}

TSmtpClient::~TSmtpClient() {
    Busy_ = false;
    Socket_->disconnect(this);
    Socket_->abort();
}

void TSmtpClient::Send(const TSmtpSendRequest& request) {
    if (Busy_)
        Cancel();
    ++Generation_;
    Socket_->abort();
    Busy_ = true;
    Connected_ = false;
    Host_ = request.Host;
    Port_ = request.Port;
    Dialogue_ = TSmtpClientDialogue(request.HeloName, request.EnvelopeFrom, request.EnvelopeTo,
                                    request.Lines);
    std::string refusal;
    if (Dialogue_.Finished())
        refusal = Dialogue_.Error();
    else if (Host_.empty())
        refusal = "No computer name or address to send to";
    else if (Port_ < 1 || Port_ > 65535)
        refusal = "Invalid port number: " + std::to_string(Port_);
    if (!refusal.empty()) {
        const uint64_t generation = Generation_;
        QTimer::singleShot(0, this, [this, generation, refusal] {
            if (Busy_ && Generation_ == generation)
                Finish(false, refusal, false);
        });
        return;
    }
    Timer_.start(ConnectTimeoutMs);
    InSend_ = true;
    Socket_->connectToHost(QString::fromStdString(Host_), static_cast<quint16>(Port_));
    InSend_ = false;
}

void TSmtpClient::Cancel() {
    if (Busy_)
        Finish(false, CancelledText, Connected_);
}

void TSmtpClient::OnConnected() {
    if (!Busy_)
        return;
    Connected_ = true;
    Timer_.start(ReplyTimeoutMs);
}

void TSmtpClient::OnReadyRead() {
    const QByteArray bytes = Socket_->readAll();
    if (!Busy_)
        return;
    const std::string out =
        Dialogue_.Receive(std::string_view(bytes.constData(), static_cast<size_t>(bytes.size())));
    if (!out.empty())
        Transmit(out);
    if (Dialogue_.Finished()) {
        Finish(Dialogue_.Succeeded(), Dialogue_.Error(), false);
        return;
    }
    // A new command was sent: its answer has a time limit of its own.
    if (!out.empty())
        Timer_.start(ReplyTimeoutMs);
}

void TSmtpClient::OnSocketError() {
    if (!Busy_)
        return;
    // The peer may have answered just before it closed the connection.
    if (Socket_->bytesAvailable() > 0) {
        OnReadyRead();
        if (!Busy_)
            return;
    }
    std::string error = Socket_->error() == QAbstractSocket::UnknownSocketError
                            ? std::string("The peer closed the connection")
                            : Socket_->errorString().toStdString();
    if (InSend_) {
        const uint64_t generation = Generation_;
        QTimer::singleShot(0, this, [this, generation, error] {
            if (Busy_ && Generation_ == generation)
                Finish(false, error, false);
        });
        return;
    }
    Finish(false, error, false);
}

void TSmtpClient::OnTimeout() {
    if (!Busy_)
        return;
    if (Connected_)
        Finish(false, ReplyTimeoutText, true);
    else
        Finish(false, "Timed out connecting to " + Host_ + ":" + std::to_string(Port_), false);
}

void TSmtpClient::Transmit(const std::string& bytes) {
    Socket_->write(bytes.data(), static_cast<qint64>(bytes.size()));
}

void TSmtpClient::Finish(bool ok, const std::string& error, bool sendQuit) {
    Busy_ = false;
    Timer_.stop();
    if (Socket_->state() == QAbstractSocket::ConnectedState) {
        if (sendQuit && !Dialogue_.QuitSent())
            Transmit("QUIT\r\n");
        Socket_->flush();
        Socket_->disconnectFromHost();
    }
    // Whatever the peer would not take is dropped rather than kept waiting for it.
    if (Socket_->state() != QAbstractSocket::UnconnectedState)
        Socket_->abort();
    const TSmtpSendResult result{ok, ok ? std::string() : error, Dialogue_.LastServerIdentity()};
    Q_EMIT Finished(result);
}
