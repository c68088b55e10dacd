#pragma once

#include <cstdint>
#include <string>

// The platform services that rules need and tests must control. Each has one Qt implementation
// (UQtPlatform.h) and a fake in the tests.

// Message boxes. Texts are UTF-8 byte strings.
class IPrompt {
public:
    virtual ~IPrompt() = default;
    // A notice that does not abort what the program is doing.
    virtual void ShowMessage(const std::string& text) = 0;
    // An error report: what raised it has been abandoned.
    virtual void ShowError(const std::string& text) = 0;
};

struct TScreenSize {
    int32_t Width = 0;
    int32_t Height = 0;
};

class IScreens {
public:
    virtual ~IScreens() = default;
    virtual TScreenSize PrimaryScreenSize() const = 0;
};

struct TLocalDateTime {
    int Year = 0;
    int Month = 1; // 1 .. 12
    int Day = 1;
    int Hour = 0;
    int Minute = 0;
    int Second = 0;
};

// What the platform says about the time zone in force now.
struct TTimeZoneInfo {
    bool Known = false;           // the zone could be determined at all
    bool HasDaylightTime = false; // the zone ever switches to daylight time
    bool InDaylightTime = false;  // daylight time applies now
    std::string StandardName;
    std::string DaylightName;
};

class IClock {
public:
    virtual ~IClock() = default;
    virtual TLocalDateTime LocalNow() const = 0;
    // Abbreviated month name of the user's locale, month 1 .. 12.
    virtual std::string ShortMonthName(int month) const = 0;
    virtual TTimeZoneInfo TimeZone() const = 0;
};
