#include "USmtpServer.h"

#include "USmtpSession.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QHostAddress>
#include <QSocketNotifier>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>

#include <sys/eventfd.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <future>
#include <string_view>
#include <thread>
#include <unordered_set>
#include <utility>
#include <vector>

namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

struct TServerSettings {
    uint16_t Port = 0;
    std::string Identity;
    std::chrono::milliseconds IdleLimit;
    std::chrono::milliseconds DataLimit;
    int MaxConnections = 0;
};

// How long a closing connection may take to hand over its last reply before it is cut.
constexpr auto CloseGrace = 5s;
// A client that sends without reading its replies is not read from until they drain.
constexpr qint64 MaxUnsentReplies = 256 * 1024;
constexpr qint64 ReadChunk = 64 * 1024;

void Send(QTcpSocket* socket, const std::string& bytes) {
    if (!bytes.empty())
        socket->write(bytes.data(), static_cast<qint64>(bytes.size()));
}

// Ends a connection without losing the last reply: once it is sent, only our side is shut, and
// what the client still sends is read and dropped until it closes too. Closing at once with
// unread input would reset the connection, and the client could lose the reply. A client that
// does not close is cut off after CloseGrace.
void CloseSocket(QTcpSocket* socket) {
    // A timer of the socket's own, gone with it: a single-shot timer would outlive the socket
    // until it fires, and thousands of them slow every timer operation of the thread.
    auto* grace = new QTimer(socket);
    grace->setSingleShot(true);
    QObject::connect(grace, &QTimer::timeout, socket, &QAbstractSocket::abort);
    grace->start(CloseGrace);
    const auto shutWhenSent = [socket] {
        if (socket->bytesToWrite() == 0 && socket->state() == QAbstractSocket::ConnectedState)
            ::shutdown(static_cast<int>(socket->socketDescriptor()), SHUT_WR);
    };
    QObject::connect(socket, &QTcpSocket::bytesWritten, socket, shutWhenSent);
    QObject::connect(socket, &QTcpSocket::readyRead, socket, [socket] { socket->readAll(); });
    shutWhenSent();
}

// One client connection with its session; lives and dies on the server's thread.
class TConnection : public QObject {
public:
    TConnection(QTcpSocket* socket, const TServerSettings& settings, ISmtpDelivery& delivery,
                std::unordered_set<TConnection*>& registry)
        : Socket_(socket), Session_(settings.Identity, delivery), Registry_(registry),
          IdleLimit_(settings.IdleLimit) {
        Registry_.insert(this);
        Socket_->setParent(this);
        Socket_->setReadBufferSize(ReadChunk);
        Idle_.setSingleShot(true);
        Data_.setSingleShot(true);
        Data_.setInterval(settings.DataLimit);
        connect(&Idle_, &QTimer::timeout, this, &TConnection::IdleTimeOut);
        connect(&Data_, &QTimer::timeout, this, &TConnection::TimeOut);
        connect(Socket_, &QTcpSocket::readyRead, this, &TConnection::ReadReady);
        connect(Socket_, &QTcpSocket::bytesWritten, this, &TConnection::ReadReady);
        connect(Socket_, &QTcpSocket::disconnected, this, &QObject::deleteLater);
        Send(Socket_, Session_.Greeting());
        LastActivity_ = Clock::now();
        Idle_.start(IdleLimit_);
    }

    ~TConnection() override {
        Registry_.erase(this);
        Socket_->disconnect(this);
        Socket_->abort();
    }

    // The server is stopping: a last word, then the connection ends.
    void Shutdown() {
        if (!Closing_) {
            Send(Socket_, "421 Server shutting down, closing connection\r\n");
            Socket_->flush();
        }
    }

private:
    void ReadReady() {
        while (Socket_->bytesAvailable() > 0 && !Closing_) {
            if (Socket_->bytesToWrite() > MaxUnsentReplies)
                return; // bytesWritten calls again
            const QByteArray chunk = Socket_->read(ReadChunk);
            Receive(std::string_view(chunk.constData(), static_cast<size_t>(chunk.size())));
        }
    }

    void Receive(std::string_view bytes) {
        const std::string replies = Session_.Receive(bytes);
        // Only whole commands and message text count as activity, so a line that never ends
        // cannot hold the connection open.
        if (!replies.empty() || Session_.InData())
            LastActivity_ = Clock::now();
        if (replies.starts_with("354 ") || replies.find("\r\n354 ") != std::string::npos)
            Data_.start();
        if (!Session_.InData())
            Data_.stop();
        Send(Socket_, replies);
        if (Session_.WantsClose())
            Close();
    }

    // The idle timer runs from the last activity it knows of and, when it fires, looks again:
    // cheaper than restarting it for every packet.
    void IdleTimeOut() {
        const auto idle =
            std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - LastActivity_);
        if (idle < IdleLimit_)
            Idle_.start(IdleLimit_ - idle);
        else
            TimeOut();
    }

    void TimeOut() {
        if (Closing_)
            return;
        Send(Socket_, Session_.Timeout());
        Close();
    }

    void Close() {
        Closing_ = true;
        Idle_.stop();
        Data_.stop();
        CloseSocket(Socket_);
    }

    QTcpSocket* Socket_;
    TSmtpSession Session_;
    std::unordered_set<TConnection*>& Registry_;
    const std::chrono::milliseconds IdleLimit_;
    Clock::time_point LastActivity_;
    QTimer Idle_;
    QTimer Data_;
    bool Closing_ = false;
};

} // namespace

// The server's thread: its own event loop holds the listener and every connection. A std::thread
// and an eventfd rather than QThread::quit(): their hand-overs are visible to ThreadSanitizer.
class TSmtpServerThread {
public:
    TSmtpServerThread(ISmtpDelivery& delivery, TServerSettings settings)
        : Delivery_(delivery), Settings_(std::move(settings)),
          StopEvent_(eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK)) {}

    ~TSmtpServerThread() {
        if (Thread_.joinable())
            Stop();
        if (StopEvent_ >= 0)
            ::close(StopEvent_);
    }

    // The port listened on, or -1 when the port could not be opened.
    int Start() {
        if (StopEvent_ < 0)
            return -1;
        std::future<int> listening = Listening_.get_future();
        Thread_ = std::thread([this] { Run(); });
        const int port = listening.get();
        if (port < 0)
            Thread_.join();
        return port;
    }

    void Stop() {
        const uint64_t one = 1;
        while (::write(StopEvent_, &one, sizeof one) < 0 && errno == EINTR) {
        }
        Thread_.join();
    }

private:
    void Run() {
        QEventLoop loop; // first, as it gives the thread its event dispatcher
        QSocketNotifier stop(StopEvent_, QSocketNotifier::Read);
        QObject::connect(&stop, &QSocketNotifier::activated, &loop, &QEventLoop::quit);
        QTcpServer listener;
        listener.setListenBacklogSize(128);
        // The dual-stack address where there is IPv6, else IPv4 alone.
        if (!listener.listen(QHostAddress::Any, Settings_.Port) &&
            !listener.listen(QHostAddress::AnyIPv4, Settings_.Port)) {
            Listening_.set_value(-1);
            return;
        }
        std::unordered_set<TConnection*> connections;
        QObject::connect(&listener, &QTcpServer::newConnection, &listener, [&] {
            while (QTcpSocket* socket = listener.nextPendingConnection()) {
                if (static_cast<int>(connections.size()) >= Settings_.MaxConnections) {
                    QObject::connect(socket, &QTcpSocket::disconnected, socket,
                                     &QObject::deleteLater);
                    Send(socket, "421 Too many connections, try again later\r\n");
                    CloseSocket(socket);
                } else {
                    new TConnection(socket, Settings_, Delivery_, connections);
                }
            }
        });
        Listening_.set_value(listener.serverPort());
        loop.exec();

        listener.close();
        const std::vector<TConnection*> open(connections.begin(), connections.end());
        for (TConnection* connection : open) {
            connection->Shutdown();
            delete connection;
        }
        // What was left for deleteLater goes now; this thread runs no further loop.
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    ISmtpDelivery& Delivery_;
    const TServerSettings Settings_;
    const int StopEvent_;
    std::promise<int> Listening_;
    std::thread Thread_;
};

TSmtpServer::TSmtpServer(ISmtpDelivery& delivery) : Delivery_(delivery) {}

TSmtpServer::~TSmtpServer() {
    Stop();
}

bool TSmtpServer::Start(uint16_t port, const std::string& identity) {
    Stop();
    auto thread = std::make_unique<TSmtpServerThread>(
        Delivery_, TServerSettings{port, identity, IdleLimit, DataLimit, MaxConnections});
    const int listening = thread->Start();
    if (listening < 0)
        return false;
    Thread_ = std::move(thread);
    Port_ = static_cast<uint16_t>(listening);
    Active_ = true;
    return true;
}

void TSmtpServer::Stop() {
    if (!Thread_)
        return;
    Thread_->Stop();
    Thread_.reset();
    Active_ = false;
    Port_ = 0;
}
