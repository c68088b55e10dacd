#include "UQtPlatform.h"

#include <QApplication>
#include <QDateTime>
#include <QGuiApplication>
#include <QLocale>
#include <QMessageBox>
#include <QScreen>
#include <QTimeZone>

namespace {

const QString kTitle = QStringLiteral("VornNotes");

} // namespace

void TQtPrompt::ShowMessage(const std::string& text) {
    QMessageBox::information(nullptr, kTitle, QString::fromStdString(text));
}

void TQtPrompt::ShowError(const std::string& text) {
    QMessageBox::critical(nullptr, kTitle, QString::fromStdString(text));
}

bool TQtPrompt::Confirm(const std::string& text) {
    return QMessageBox::question(nullptr, kTitle, QString::fromStdString(text),
                                 QMessageBox::Yes | QMessageBox::No) == QMessageBox::Yes;
}

std::vector<TMonitor> TQtScreens::Monitors() const {
    const auto toRect = [](const QRect& r) {
        return TRect{r.left(), r.top(), r.left() + r.width(), r.top() + r.height()};
    };
    std::vector<TMonitor> monitors;
    for (const QScreen* screen : QGuiApplication::screens())
        monitors.push_back({toRect(screen->geometry()), toRect(screen->availableGeometry())});
    return monitors;
}

TScreenSize TQtScreens::PrimaryScreenSize() const {
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (screen == nullptr)
        return {};
    const QRect bounds = screen->geometry();
    return {bounds.width(), bounds.height()};
}

TLocalDateTime TQtClock::LocalNow() const {
    const QDateTime now = QDateTime::currentDateTime();
    const QDate date = now.date();
    const QTime time = now.time();
    return {date.year(), date.month(), date.day(), time.hour(), time.minute(), time.second()};
}

std::string TQtClock::ShortMonthName(int month) const {
    return QLocale::system().monthName(month, QLocale::ShortFormat).toStdString();
}

TTimeZoneInfo TQtClock::TimeZone() const {
    const QTimeZone zone = QTimeZone::systemTimeZone();
    TTimeZoneInfo info;
    info.Known = zone.isValid();
    if (!info.Known)
        return info;
    const QDateTime now = QDateTime::currentDateTime();
    info.HasDaylightTime = zone.hasDaylightTime();
    info.InDaylightTime = zone.isDaylightTime(now);
    info.StandardName = zone.displayName(QTimeZone::StandardTime).toStdString();
    info.DaylightName = zone.displayName(QTimeZone::DaylightTime).toStdString();
    return info;
}
