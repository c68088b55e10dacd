#include "UAutostart.h"

#include "Fakes.h"

#include <gtest/gtest.h>

#include <pwd.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <initializer_list>
#include <optional>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

namespace {

const std::string Description = "Vorn - Qwerl Software";

// The value of the first line "key=value" of a desktop entry; nothing when there is none.
std::optional<std::string> Value(const std::string& entry, const std::string& key) {
    std::istringstream lines(entry);
    for (std::string line; std::getline(lines, line);) {
        if (line.rfind(key + "=", 0) == 0)
            return line.substr(key.size() + 1);
    }
    return std::nullopt;
}

std::vector<std::string> FolderContents(const std::string& folder) {
    std::vector<std::string> names;
    for (const auto& item : std::filesystem::directory_iterator(folder))
        names.push_back(item.path().filename().string());
    return names;
}

} // namespace

TEST(AutostartFolder, FromXdgConfigHomeElseHome) {
    const struct {
        const char* xdgConfigHome;
        const char* home;
        std::string expected;
    } rows[] = {
        {"/x/cfg", "/home/ann", "/x/cfg/autostart/"},
        {"/x/cfg/", "/home/ann", "/x/cfg/autostart/"},
        {"/", "/home/ann", "/autostart/"},
        {nullptr, "/home/ann", "/home/ann/.config/autostart/"},
        {"", "/home/ann", "/home/ann/.config/autostart/"},
        {"relative/cfg", "/home/ann", "/home/ann/.config/autostart/"},
        {nullptr, "/home/ann/", "/home/ann/.config/autostart/"},
        {nullptr, "/home/a b", "/home/a b/.config/autostart/"},
    };
    EnvironmentGuard guard{"XDG_CONFIG_HOME", "HOME"};
    for (const auto& row : rows) {
        SCOPED_TRACE(row.expected);
        EnvironmentGuard::Set("XDG_CONFIG_HOME", row.xdgConfigHome);
        EnvironmentGuard::Set("HOME", row.home);
        EXPECT_EQ(AutostartFolder(), row.expected);
    }
}

TEST(AutostartFolder, WithoutUsableHomeFallsBackToPasswordDatabase) {
    const passwd* user = getpwuid(getuid());
    if (user == nullptr || user->pw_dir == nullptr || user->pw_dir[0] != '/')
        GTEST_SKIP() << "no home folder in the password database";
    std::string home = user->pw_dir;
    while (!home.empty() && home.back() == '/')
        home.pop_back();
    EnvironmentGuard guard{"XDG_CONFIG_HOME", "HOME"};
    EnvironmentGuard::Set("XDG_CONFIG_HOME", nullptr);
    for (const char* value : {static_cast<const char*>(nullptr), "", "relative"}) {
        SCOPED_TRACE(value == nullptr ? "unset" : value);
        EnvironmentGuard::Set("HOME", value);
        EXPECT_EQ(AutostartFolder(), home + "/.config/autostart/");
    }
}

TEST(AutostartEntryText, WholeEntry) {
    EXPECT_EQ(AutostartEntryText("/home/ann/.local/bin/vorn", Description),
              "[Desktop Entry]\n"
              "Type=Application\n"
              "Name=Vorn\n"
              "Icon=vorn\n"
              "Comment=Vorn - Qwerl Software\n"
              "Exec=/home/ann/.local/bin/vorn\n"
              "Terminal=false\n"
              "X-GNOME-Autostart-enabled=true\n");
}

TEST(AutostartEntryText, ExecQuotesAndEscapesThePath) {
    // Expected values are the bytes in the file: Exec quoting first (quotes around an argument
    // with a blank or reserved character, \ before " ` $ \ inside them, %% for %), then the
    // string escapes of the file format (\\ for \, \t, \n).
    const struct {
        std::string program;
        std::string exec;
    } rows[] = {
        {"/usr/bin/vorn", "/usr/bin/vorn"},
        {"/home/a b/vorn", "\"/home/a b/vorn\""},
        {"/opt/say \"hi\"/vorn", R"("/opt/say \\"hi\\"/vorn")"},
        {"/opt/it's/vorn", "\"/opt/it's/vorn\""},
        {"/opt/100%/vorn", "/opt/100%%/vorn"},
        {"/opt/100% off/vorn", "\"/opt/100%% off/vorn\""},
        {"/opt/$HOME/vorn", R"("/opt/\\$HOME/vorn")"},
        {"/opt/back`tick/vorn", R"("/opt/back\\`tick/vorn")"},
        {"/opt/back\\slash/vorn", R"("/opt/back\\\\slash/vorn")"},
        {"/opt/a;b&c|d/vorn", "\"/opt/a;b&c|d/vorn\""},
        {"/opt/tab\there/vorn", R"("/opt/tab\there/vorn")"},
        {"/opt/line\nbreak/vorn", R"("/opt/line\nbreak/vorn")"},
        {"/opt/a=b,c+d@e/vorn", "/opt/a=b,c+d@e/vorn"},
        {"/opt/J\xC3\xBCrgen/vorn", "/opt/J\xC3\xBCrgen/vorn"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.program);
        const std::string entry = AutostartEntryText(row.program, Description);
        EXPECT_EQ(Value(entry, "Exec"), row.exec);
        // Whatever the path holds, the entry keeps its seven lines.
        EXPECT_EQ(std::count(entry.begin(), entry.end(), '\n'), 8);
    }
}

TEST(AutostartEntryText, CommentEscapesLineBreaksAndBackslashes) {
    const std::string entry = AutostartEntryText("/usr/bin/vorn", "one\ntwo \\ 100%");
    EXPECT_EQ(Value(entry, "Comment"), R"(one\ntwo \\ 100%)");
    EXPECT_EQ(std::count(entry.begin(), entry.end(), '\n'), 8);
}

TEST(AutostartEntry, WriteCreatesTheFolderAndRemoveDeletesTheEntry) {
    TempFolder temp;
    // Two missing levels, and no trailing '/'.
    const std::string folder = temp.File("config/autostart");
    const std::string program = "/home/a b/vorn";
    ASSERT_TRUE(WriteAutostartEntry(folder, program, Description));
    EXPECT_EQ(ReadFixture(folder + "/vorn.desktop"), AutostartEntryText(program, Description));
    EXPECT_EQ(FolderContents(folder), std::vector<std::string>{"vorn.desktop"});

    WriteFixture(folder + "/other.desktop", "[Desktop Entry]\n");
    RemoveAutostartEntry(folder + "/");
    EXPECT_FALSE(std::filesystem::exists(folder + "/vorn.desktop"));
    EXPECT_EQ(FolderContents(folder), std::vector<std::string>{"other.desktop"});
}

TEST(AutostartEntry, WriteReplacesAnOlderEntry) {
    TempFolder temp;
    WriteFixture(temp.File("vorn.desktop"), "[Desktop Entry]\nExec=/old/place/vorn\n");
    ASSERT_TRUE(WriteAutostartEntry(temp.Path(), "/new/place/vorn", Description));
    EXPECT_EQ(ReadFixture(temp.File("vorn.desktop")),
              AutostartEntryText("/new/place/vorn", Description));
    EXPECT_EQ(FolderContents(temp.Path()), std::vector<std::string>{"vorn.desktop"});
}

TEST(AutostartEntry, RemoveWithoutEntryIsHarmless) {
    TempFolder temp;
    WriteFixture(temp.File("other.desktop"), "x");
    std::filesystem::create_directory(temp.File("sub"));
    RemoveAutostartEntry(temp.Path());
    RemoveAutostartEntry(temp.File("missing/"));
    RemoveAutostartEntry("");
    EXPECT_FALSE(std::filesystem::exists(temp.File("missing")));
    EXPECT_EQ(ReadFixture(temp.File("other.desktop")), "x");
    EXPECT_TRUE(std::filesystem::is_directory(temp.File("sub")));

    // A folder that happens to carry the entry's name is not taken away.
    std::filesystem::create_directory(temp.File("sub/vorn.desktop"));
    RemoveAutostartEntry(temp.File("sub"));
    EXPECT_TRUE(std::filesystem::is_directory(temp.File("sub/vorn.desktop")));
}

TEST(AutostartEntry, WriteFailsWithoutLeavingFiles) {
    TempFolder temp;
    WriteFixture(temp.File("plain-file"), "x");
    // The folder cannot be created beneath a file.
    EXPECT_FALSE(
        WriteAutostartEntry(temp.File("plain-file/autostart/"), "/usr/bin/vorn", Description));
    EXPECT_EQ(ReadFixture(temp.File("plain-file")), "x");

    // The entry's name is taken by a folder: nothing is written, no temporary file stays.
    std::filesystem::create_directories(temp.File("taken/vorn.desktop"));
    EXPECT_FALSE(WriteAutostartEntry(temp.File("taken/"), "/usr/bin/vorn", Description));
    EXPECT_EQ(FolderContents(temp.File("taken")), std::vector<std::string>{"vorn.desktop"});
    EXPECT_TRUE(std::filesystem::is_directory(temp.File("taken/vorn.desktop")));

    // No folder at all is refused rather than written to the current folder.
    EXPECT_FALSE(WriteAutostartEntry("", "/usr/bin/vorn", Description));
}
