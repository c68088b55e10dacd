#include "USessionEnd.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QSocketNotifier>
#include <QtDebug>

#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstring>
#include <iterator>

namespace {

constexpr int kSignals[] = {SIGTERM, SIGHUP, SIGINT};

// The pipe of the one watcher alive; the handler only ever writes to the write end.
volatile sig_atomic_t WriteFd = -1;
int ReadFd = -1;
struct sigaction PreviousActions[std::size(kSignals)];

extern "C" void OnStopSignal(int) {
    const int savedErrno = errno;
    const char byte = 1;
    // The write end does not block: when the pipe is full, a request is pending anyway.
    [[maybe_unused]] const ssize_t written = write(WriteFd, &byte, 1);
    errno = savedErrno;
}

} // namespace

TSessionEndWatcher::TSessionEndWatcher(QObject* parent) : QObject(parent) {
    if (auto* app = qobject_cast<QGuiApplication*>(QCoreApplication::instance())) {
        connect(app, &QGuiApplication::commitDataRequest, this,
                [this](QSessionManager&) { Q_EMIT SessionEnding(); });
    }

    Q_ASSERT(WriteFd < 0);
    int fds[2];
    if (WriteFd >= 0 ||
        socketpair(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0, fds) != 0) {
        qWarning("TSessionEndWatcher: stop signals are not watched");
        return;
    }
    ReadFd = fds[0];
    WriteFd = fds[1];
    Notifier_ = new QSocketNotifier(ReadFd, QSocketNotifier::Read, this);
    connect(Notifier_, &QSocketNotifier::activated, this, &TSessionEndWatcher::ReadSignal);

    struct sigaction action;
    std::memset(&action, 0, sizeof action);
    action.sa_handler = OnStopSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (size_t i = 0; i < std::size(kSignals); ++i)
        sigaction(kSignals[i], &action, &PreviousActions[i]);
}

TSessionEndWatcher::~TSessionEndWatcher() {
    if (Notifier_ == nullptr)
        return;
    for (size_t i = 0; i < std::size(kSignals); ++i)
        sigaction(kSignals[i], &PreviousActions[i], nullptr);
    // Unregister the notifier before its descriptor goes away.
    delete Notifier_;
    Notifier_ = nullptr;
    close(WriteFd);
    close(ReadFd);
    WriteFd = -1;
    ReadFd = -1;
}

void TSessionEndWatcher::ReadSignal() {
    // Signals that came in a burst are one request.
    bool any = false;
    char buffer[64];
    for (;;) {
        const ssize_t count = read(ReadFd, buffer, sizeof buffer);
        if (count > 0)
            any = true;
        else if (count < 0 && errno == EINTR)
            continue;
        else
            break;
    }
    if (any)
        Q_EMIT SessionEnding();
}
