#include "UMappedProbe.h"

#include <QCoreApplication>
#include <QEvent>
#include <QWindow>

#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <fstream>
#include <set>
#include <string>

namespace {

long PeakMemoryKB() {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind("VmHWM:", 0) == 0)
            return std::strtol(line.c_str() + 6, nullptr, 10);
    }
    return -1;
}

class TMappedProbe : public QObject {
public:
    explicit TMappedProbe(long count) : QObject(QCoreApplication::instance()), Count_(count) {}

protected:
    bool eventFilter(QObject* object, QEvent* event) override {
        if (event->type() == QEvent::Expose && !Done_) {
            auto* window = qobject_cast<QWindow*>(object);
            if (window != nullptr && window->isExposed())
                Exposed_.insert(window);
            if (static_cast<long>(Exposed_.size()) >= Count_) {
                Done_ = true;
                timespec now{};
                clock_gettime(CLOCK_REALTIME, &now);
                std::printf("mapped %ld %lld %ld\n", Count_,
                            static_cast<long long>(now.tv_sec) * 1000000000LL + now.tv_nsec,
                            PeakMemoryKB());
                std::fflush(stdout);
                QCoreApplication::exit(0);
            }
        }
        return false;
    }

private:
    long Count_;
    bool Done_ = false;
    std::set<QWindow*> Exposed_;
};

} // namespace

void InstallMappedProbe() {
    const char* count = std::getenv("VORN_REPORT_MAPPED");
    if (count == nullptr || std::atol(count) <= 0)
        return;
    QCoreApplication::instance()->installEventFilter(new TMappedProbe(std::atol(count)));
}
