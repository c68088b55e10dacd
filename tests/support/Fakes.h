#pragma once

#include "UPlatform.h"

#include <QTemporaryDir>

#include <deque>
#include <functional>
#include <initializer_list>
#include <optional>
#include <string>
#include <utility>
#include <vector>

// Records every message box instead of showing it.
class FakePrompt : public IPrompt {
public:
    void ShowMessage(const std::string& text) override { Messages.push_back(text); }
    void ShowError(const std::string& text) override { Errors.push_back(text); }
    // Answers with the next of Answers, or No when none is left.
    bool Confirm(const std::string& text) override;

    std::vector<std::string> Messages;
    std::vector<std::string> Errors;
    std::vector<std::string> Questions;
    std::deque<bool> Answers;
};

// One 1024 x 768 monitor with a 30-pixel panel at the bottom unless the test says otherwise.
// The first monitor is the primary one.
class FakeScreens : public IScreens {
public:
    TScreenSize PrimaryScreenSize() const override;
    std::vector<TMonitor> Monitors() const override { return List; }

    std::vector<TMonitor> List{{{0, 0, 1024, 768}, {0, 0, 1024, 738}}};
};

// A clock that stands still at the time the test sets, with English month names.
class FakeClock : public IClock {
public:
    TLocalDateTime LocalNow() const override { return Now; }
    std::string ShortMonthName(int month) const override;
    TTimeZoneInfo TimeZone() const override { return Zone; }

    TLocalDateTime Now{2006, 3, 7, 14, 5, 0};
    TTimeZoneInfo Zone{true, true, false, "W. Europe Standard Time", "W. Europe Daylight Time"};
};

// Answers file and font dialogs as the test says and records what they were opened with.
class FakeDialogs : public IDialogs {
public:
    std::string OpenFile(const TFileDialogOptions& options) override;
    std::string SaveFile(const TFileDialogOptions& options) override;
    // Takes the next of Fonts; cancelled when none is left.
    bool ChooseFont(TFontChoice& font) override;

    std::deque<std::string> Files; // the next answers; empty text or none left: cancelled
    std::vector<TFileDialogOptions> Opened;
    std::deque<TFontChoice> Fonts;
    std::vector<TFontChoice> FontsShown;
    // Takes the next of Colors; cancelled when none is left.
    bool ChooseColor(int32_t& color) override;
    std::deque<int32_t> Colors;
    std::vector<int32_t> ColorsShown;
    // Runs when the next file dialog opens, before it answers (to interfere with the files).
    std::function<void()> WhileOpen;
};

// Records what was to be opened; opening succeeds while Succeeds is true.
class FakeDesktop : public IDesktop {
public:
    bool OpenPath(const std::string& path) override;
    bool OpenUrl(const std::string& url) override;
    bool PlaySound(const std::string& path) override;

    std::vector<std::string> Opened;
    std::vector<std::string> Played;
    bool Succeeds = true;
};

// A fresh empty folder, removed with everything in it at the end of the test.
class TempFolder {
public:
    TempFolder();
    // The folder's path with a trailing '/', like the program folder.
    const std::string& Path() const { return Path_; }
    std::string File(const std::string& name) const { return Path_ + name; }

private:
    QTemporaryDir Dir_;
    std::string Path_;
};

// Writes bytes to a file, replacing it (fixtures only: no error handling beyond a failed test).
void WriteFixture(const std::string& path, const std::string& bytes);
std::string ReadFixture(const std::string& path);

// Sets or removes environment variables for one test and puts the old values back.
class EnvironmentGuard {
public:
    explicit EnvironmentGuard(std::initializer_list<const char*> names);
    ~EnvironmentGuard();
    static void Set(const char* name, const char* value);

private:
    std::vector<std::pair<std::string, std::optional<std::string>>> Saved_;
};
