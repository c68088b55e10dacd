// The floor of what the window system costs for a desktop of notes: N bare frameless top-level
// windows of 128 x 128 pixels, each painting one colour and one line of text, and nothing else.
// bench/startup_vs_floor.sh compares the start-up time and peak memory of the program with this.
//
//   bench_floor_windows [N]    N windows, 1024 when not given
//
// With VORN_REPORT_MAPPED=N it prints "mapped N <realtime ns> <VmHWM kB>" once all N windows
// are on the screen, and ends (UMappedProbe.h).

#include "UMappedProbe.h"

#include <QApplication>
#include <QColor>
#include <QPainter>
#include <QString>
#include <QWidget>

#include <algorithm>
#include <cstdlib>
#include <memory>
#include <vector>

namespace {

constexpr int kSize = 128;
constexpr int kScreenWidth = 1280;
constexpr int kScreenHeight = 800;

class TBareWindow : public QWidget {
public:
    TBareWindow(const QColor& color, const QString& text)
        : QWidget(nullptr, Qt::Tool | Qt::FramelessWindowHint), Color_(color), Text_(text) {
        setAttribute(Qt::WA_OpaquePaintEvent);
    }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        painter.fillRect(rect(), Color_);
        painter.setPen(Qt::black);
        painter.drawText(4, 14, Text_);
    }

private:
    QColor Color_;
    QString Text_;
};

} // namespace

int main(int argc, char* argv[]) {
    QApplication application(argc, argv);
    InstallMappedProbe();

    int count = 1024;
    if (argc > 1)
        count = std::max(1, std::atoi(argv[1]));

    static const QColor kColors[] = {QColor(197, 233, 141), QColor(255, 255, 160),
                                     QColor(160, 220, 255), QColor(255, 190, 200)};
    std::vector<std::unique_ptr<TBareWindow>> windows;
    windows.reserve(static_cast<size_t>(count));
    for (int i = 0; i < count; ++i) {
        auto window =
            std::make_unique<TBareWindow>(kColors[i % 4], QStringLiteral("Note %1").arg(i + 1));
        // Spread over the screen by two coprime strides, so that few windows share a place.
        window->setGeometry((i * 97) % (kScreenWidth - kSize), (i * 61) % (kScreenHeight - kSize),
                            kSize, kSize);
        window->show();
        windows.push_back(std::move(window));
    }
    const int result = QApplication::exec();
    windows.clear(); // before the application goes
    return result;
}
