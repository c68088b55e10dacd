#pragma once

#include "UPlatform.h"

// Modal message boxes (QMessageBox); needs a QApplication.
class TQtPrompt : public IPrompt {
public:
    void ShowMessage(const std::string& text) override;
    void ShowError(const std::string& text) override;
    bool Confirm(const std::string& text) override;
};

// The primary screen of QGuiApplication.
class TQtScreens : public IScreens {
public:
    TScreenSize PrimaryScreenSize() const override;
    std::vector<TMonitor> Monitors() const override;
};

// The system clock, QLocale::system() and QTimeZone::systemTimeZone().
class TQtClock : public IClock {
public:
    TLocalDateTime LocalNow() const override;
    std::string ShortMonthName(int month) const override;
    TTimeZoneInfo TimeZone() const override;
};
