#pragma once

#include <QObject>

class QSocketNotifier;

// Tells when the desktop session ends or the program is asked to stop: SIGTERM, SIGHUP and
// SIGINT (handled through a self-pipe, never inside the signal handler) and the session
// manager's commit-data request. Create one after the QGuiApplication, before the event loop.
class TSessionEndWatcher : public QObject {
    Q_OBJECT

public:
    explicit TSessionEndWatcher(QObject* parent = nullptr);
    ~TSessionEndWatcher() override;

Q_SIGNALS:
    // Emitted on the user-interface thread, once per request.
    void SessionEnding();

private:
    void ReadSignal();

    QSocketNotifier* Notifier_ = nullptr;
};
