#include "Fakes.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <utility>

std::string FakeClock::ShortMonthName(int month) const {
    static const char* const kNames[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                         "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
    return month >= 1 && month <= 12 ? kNames[month - 1] : "";
}

bool FakePrompt::Confirm(const std::string& text) {
    Questions.push_back(text);
    if (Answers.empty())
        return false;
    const bool answer = Answers.front();
    Answers.pop_front();
    return answer;
}

namespace {

std::string NextFile(FakeDialogs& dialogs, const TFileDialogOptions& options) {
    dialogs.Opened.push_back(options);
    if (dialogs.WhileOpen)
        std::exchange(dialogs.WhileOpen, nullptr)();
    if (dialogs.Files.empty())
        return {};
    std::string answer = dialogs.Files.front();
    dialogs.Files.pop_front();
    return answer;
}

} // namespace

std::string FakeDialogs::OpenFile(const TFileDialogOptions& options) {
    return NextFile(*this, options);
}

std::string FakeDialogs::SaveFile(const TFileDialogOptions& options) {
    return NextFile(*this, options);
}

bool FakeDialogs::ChooseFont(TFontChoice& font) {
    FontsShown.push_back(font);
    if (Fonts.empty())
        return false;
    font = Fonts.front();
    Fonts.pop_front();
    return true;
}

bool FakeDialogs::ChooseColor(int32_t& color) {
    ColorsShown.push_back(color);
    if (Colors.empty())
        return false;
    color = Colors.front();
    Colors.pop_front();
    return true;
}

bool FakeDesktop::OpenPath(const std::string& path) {
    Opened.push_back(path);
    return Succeeds;
}

bool FakeDesktop::PlaySound(const std::string& path) {
    Played.push_back(path);
    return Succeeds;
}

bool FakeDesktop::OpenUrl(const std::string& url) {
    Opened.push_back(url);
    return Succeeds;
}

TScreenSize FakeScreens::PrimaryScreenSize() const {
    if (List.empty())
        return {};
    return {List.front().Bounds.Width(), List.front().Bounds.Height()};
}

TempFolder::TempFolder() {
    EXPECT_TRUE(Dir_.isValid());
    Path_ = Dir_.path().toStdString() + "/";
}

void WriteFixture(const std::string& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    ASSERT_TRUE(out.good()) << path;
}

std::string ReadFixture(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

EnvironmentGuard::EnvironmentGuard(std::initializer_list<const char*> names) {
    for (const char* name : names) {
        const char* value = std::getenv(name);
        Saved_.push_back({name, value ? std::optional<std::string>(value) : std::nullopt});
    }
}

EnvironmentGuard::~EnvironmentGuard() {
    for (const auto& [name, value] : Saved_)
        Set(name.c_str(), value ? value->c_str() : nullptr);
}

void EnvironmentGuard::Set(const char* name, const char* value) {
    if (value != nullptr)
        setenv(name, value, 1);
    else
        unsetenv(name);
}
