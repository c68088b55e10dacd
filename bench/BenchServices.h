#pragma once

#include "UPlatform.h"

#include <iostream>
#include <string>

// Platform services for benchmark programs: message boxes go to stderr and questions are
// answered No; the clock stands still.
class TBenchPrompt : public IPrompt {
public:
    void ShowMessage(const std::string& text) override { std::cerr << "message: " << text << "\n"; }
    void ShowError(const std::string& text) override { std::cerr << "error: " << text << "\n"; }
    bool Confirm(const std::string&) override { return false; }
};

class TBenchClock : public IClock {
public:
    TLocalDateTime LocalNow() const override { return {2006, 3, 7, 14, 5, 0}; }
    std::string ShortMonthName(int month) const override {
        static const char* const kNames[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                             "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
        return month >= 1 && month <= 12 ? kNames[month - 1] : "";
    }
    TTimeZoneInfo TimeZone() const override { return {}; }
};
