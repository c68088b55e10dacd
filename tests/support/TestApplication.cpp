#include "TestApplication.h"

#include <QApplication>

#include <gtest/gtest.h>

#include <memory>

namespace {

std::unique_ptr<QApplication>& Application() {
    static std::unique_ptr<QApplication> app;
    return app;
}

class ApplicationEnd : public ::testing::Environment {
public:
    void TearDown() override { Application().reset(); }
};
[[maybe_unused]] ::testing::Environment* const kApplicationEnd =
    ::testing::AddGlobalTestEnvironment(new ApplicationEnd);

} // namespace

void EnsureApplication() {
    if (Application())
        return;
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", QByteArray("offscreen"));
    static int argc = 1;
    static char name[] = "vorn_tests";
    static char* argv[] = {name, nullptr};
    Application() = std::make_unique<QApplication>(argc, argv);
    // The offscreen platform says so for every window shown; nothing else is kept quiet.
    static const QtMessageHandler previous = qInstallMessageHandler(
        [](QtMsgType type, const QMessageLogContext& context, const QString& message) {
            if (message != QStringLiteral("This plugin does not support raise()"))
                previous(type, context, message);
        });
}
