#include "Fakes.h"
#include "UQtColors.h"
#include "USessionEnd.h"
#include "USystem.h"

#include <gtest/gtest.h>

#include <QEventLoop>
#include <QGuiApplication>
#include <QPalette>
#include <QTimer>

#include <sys/utsname.h>

#include <csignal>
#include <cstdlib>
#include <initializer_list>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace {

// One application for the whole test program; it stays reachable until exit.
void EnsureApplication() {
    static int argc = 1;
    static char name[] = "test_platform";
    static char* argv[] = {name, nullptr};
    if (QCoreApplication::instance() == nullptr) {
        if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
            qputenv("QT_QPA_PLATFORM", "offscreen");
        [[maybe_unused]] static QGuiApplication* app = new QGuiApplication(argc, argv);
    }
}

} // namespace

TEST(LoginUserName, FirstNonEmptyOfUsernameUserLogname) {
    const struct {
        const char* username;
        const char* user;
        const char* logname;
        std::string expected;
    } rows[] = {
        {"alice", "bob", "carol", "alice"},
        {nullptr, "bob", "carol", "bob"},
        {nullptr, nullptr, "carol", "carol"},
        {"", "bob", "carol", "bob"},
        {"", "", "carol", "carol"},
        {nullptr, "", nullptr, ""},
        {nullptr, nullptr, nullptr, ""},
        {"J\xC3\xBCrgen M", nullptr, nullptr, "J\xC3\xBCrgen M"},
    };
    EnvironmentGuard guard{"USERNAME", "USER", "LOGNAME"};
    for (const auto& row : rows) {
        SCOPED_TRACE(row.expected);
        EnvironmentGuard::Set("USERNAME", row.username);
        EnvironmentGuard::Set("USER", row.user);
        EnvironmentGuard::Set("LOGNAME", row.logname);
        EXPECT_EQ(LoginUserName(), row.expected);
    }
}

TEST(HostName, MatchesTheKernelsNodeName) {
    utsname names{};
    ASSERT_EQ(uname(&names), 0);
    const std::string host = HostName();
    EXPECT_FALSE(host.empty());
    EXPECT_EQ(host.find('\0'), std::string::npos);
    EXPECT_EQ(host, names.nodename);
}

TEST(QtColors, PlainColoursKeepRedInTheLowByte) {
    EnsureApplication();
    EXPECT_EQ(ToQColor(0x00FF8040), QColor(0x40, 0x80, 0xFF));
    EXPECT_EQ(ToQColor(DefaultNoteColor), QColor(197, 233, 141));
    EXPECT_EQ(FromQColor(QColor(0x40, 0x80, 0xFF)), 0x00FF8040);
    EXPECT_EQ(FromQColor(QColor(1, 2, 3, 10)), 0x030201) << "alpha is dropped";
    EXPECT_EQ(FromQColor(QColor::fromHsv(0, 255, 255)), 0x0000FF);
    for (const TColor color : {0, 0xFFFFFF, 0x000001, 0x010000, DefaultNoteColor, 0x7F7F80})
        EXPECT_EQ(FromQColor(ToQColor(color)), color) << color;
}

TEST(QtColors, SystemColoursComeFromTheApplicationPalette) {
    EnsureApplication();
    // Every entry distinct and none black, so that a wrong role or group shows.
    const QPalette original = QGuiApplication::palette();
    QPalette palette = original;
    const QPalette::ColorGroup groups[] = {QPalette::Active, QPalette::Inactive,
                                           QPalette::Disabled};
    for (int g = 0; g < 3; ++g) {
        for (int r = 0; r < QPalette::NColorRoles; ++r) {
            const auto role = static_cast<QPalette::ColorRole>(r);
            if (role != QPalette::NoRole)
                palette.setColor(groups[g], role, QColor(20 + 9 * r, 60 + 60 * g, 90));
        }
    }
    QGuiApplication::setPalette(palette);

    const struct {
        const char* name;
        TColor value;
        QPalette::ColorGroup group;
        QPalette::ColorRole role;
    } rows[] = {
        {"window text, high byte FF", -16777208, QPalette::Active, QPalette::WindowText},
        {"button face, high bit only", -2147483633, QPalette::Active, QPalette::Button},
        {"window", -2147483643, QPalette::Active, QPalette::Base},
        {"highlight", -16777203, QPalette::Active, QPalette::Highlight},
        {"highlighted text", -2147483634, QPalette::Active, QPalette::HighlightedText},
        {"button shadow", -2147483632, QPalette::Active, QPalette::Dark},
        {"gray text", -2147483631, QPalette::Disabled, QPalette::Text},
        {"button text", -2147483630, QPalette::Active, QPalette::ButtonText},
        {"button highlight", -2147483628, QPalette::Active, QPalette::Light},
        {"3D dark shadow", -2147483627, QPalette::Active, QPalette::Shadow},
        {"3D light", -2147483626, QPalette::Active, QPalette::Midlight},
        {"tooltip text", -2147483625, QPalette::Active, QPalette::ToolTipText},
        {"tooltip background", -2147483624, QPalette::Active, QPalette::ToolTipBase},
        {"hot light", -2147483622, QPalette::Active, QPalette::Link},
        {"inactive caption", -2147483645, QPalette::Inactive, QPalette::Highlight},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(ToQColor(row.value), palette.color(row.group, row.role));
    }
    for (const TColor unknown : {-2147483623 /* 25 */, -2147483617 /* 31 */, -16777216 + 0xFF})
        EXPECT_EQ(ToQColor(unknown), QColor(0, 0, 0)) << unknown;

    QGuiApplication::setPalette(original);
}

class SessionEndWatcherTest : public testing::TestWithParam<int> {
protected:
    void SetUp() override { EnsureApplication(); }
};

TEST_P(SessionEndWatcherTest, SignalBecomesOneSessionEndingOnTheEventLoop) {
    const int signal = GetParam();
    {
        TSessionEndWatcher watcher;
        struct sigaction installed {};
        ASSERT_EQ(sigaction(signal, nullptr, &installed), 0);
        EXPECT_NE(installed.sa_handler, SIG_DFL);
        EXPECT_TRUE(installed.sa_flags & SA_RESTART);

        int emitted = 0;
        QEventLoop loop;
        QObject::connect(&watcher, &TSessionEndWatcher::SessionEnding, &loop, [&] {
            ++emitted;
            loop.quit();
        });
        ASSERT_EQ(raise(signal), 0);
        EXPECT_EQ(emitted, 0) << "never emitted inside the signal handler";

        QTimer guard;
        guard.setSingleShot(true);
        QObject::connect(&guard, &QTimer::timeout, &loop, &QEventLoop::quit);
        guard.start(10000);
        loop.exec();
        // A pipe left undrained would wake the notifier again here.
        QCoreApplication::processEvents();
        QCoreApplication::processEvents();
        EXPECT_EQ(emitted, 1);
    }
    struct sigaction restored {};
    ASSERT_EQ(sigaction(signal, nullptr, &restored), 0);
    EXPECT_EQ(restored.sa_handler, SIG_DFL);
}

INSTANTIATE_TEST_SUITE_P(StopSignals, SessionEndWatcherTest,
                         testing::Values(SIGTERM, SIGHUP, SIGINT),
                         [](const testing::TestParamInfo<int>& info) {
                             return info.param == SIGTERM  ? "SIGTERM"
                                    : info.param == SIGHUP ? "SIGHUP"
                                                           : "SIGINT";
                         });
