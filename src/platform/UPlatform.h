#pragma once

#include <cstdint>
#include <exception>
#include <string>
#include <vector>

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
    // A question with the buttons Yes and No; true for Yes.
    virtual bool Confirm(const std::string& text) = 0;
};

struct TScreenSize {
    int32_t Width = 0;
    int32_t Height = 0;
};

// Screen rectangles: right and bottom are one past the last column and row.
struct TRect {
    int32_t Left = 0;
    int32_t Top = 0;
    int32_t Right = 0;
    int32_t Bottom = 0;
    int32_t Width() const { return Right - Left; }
    int32_t Height() const { return Bottom - Top; }
    bool operator==(const TRect&) const = default;
};

struct TMonitor {
    TRect Bounds;   // the whole monitor
    TRect WorkArea; // less panels and docks
    bool operator==(const TMonitor&) const = default;
};

class IScreens {
public:
    virtual ~IScreens() = default;
    virtual TScreenSize PrimaryScreenSize() const = 0;
    // Every monitor, in the platform's order, in virtual-desktop coordinates.
    virtual std::vector<TMonitor> Monitors() const = 0;
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

// What an open or save dialog starts with, kept between runs like a dialog's properties.
struct TFileDialogOptions {
    std::string Title;
    // Pairs of description and patterns, all separated by '|': "Text (*.txt)|*.txt|All|*.*".
    std::string Filter;
    std::string DefaultExt; // appended, with a dot, to a typed name without an extension
    std::string InitialDir;
};

// A font with its size in points and its colour value.
struct TFontChoice {
    std::string Name;
    int32_t Size = 8;
    int32_t Color = 0;
};

// The modal dialogs that hand a choice back.
class IDialogs {
public:
    virtual ~IDialogs() = default;
    // The chosen file's full path, or empty when the user cancelled.
    virtual std::string OpenFile(const TFileDialogOptions& options) = 0;
    virtual std::string SaveFile(const TFileDialogOptions& options) = 0;
    // Starts with `font` and changes it on OK; false when the user cancelled.
    virtual bool ChooseFont(TFontChoice& font) = 0;
    // Starts with the colour value `color` and changes it on OK; false when the user cancelled.
    virtual bool ChooseColor(int32_t& color) = 0;
};

// Hands files, folders and web addresses to the programs the desktop chooses for them.
class IDesktop {
public:
    virtual ~IDesktop() = default;
    // A local file or folder; false when no program could be started for it.
    virtual bool OpenPath(const std::string& path) = 0;
    virtual bool OpenUrl(const std::string& url) = 0;
    // Plays a sound file with the desktop's sound player, without waiting for it; false when
    // there is no such file or no player could be started.
    virtual bool PlaySound(const std::string& path) = 0;
};

// Runs a user action or a start-up step; an error it raises is shown in an error box and the
// action is abandoned. Errors never travel through the event loop. True when it succeeded.
template <class TAction>
bool RunReported(IPrompt& prompt, TAction&& action) {
    try {
        action();
        return true;
    } catch (const std::exception& error) {
        prompt.ShowError(error.what());
        return false;
    }
}
