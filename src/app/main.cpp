#include "UAppFolder.h"
#include "UAutostart.h"
#include "UMappedProbe.h"
#include "UProduct.h"
#include "UQtDialogs.h"
#include "UQtPlatform.h"
#include "URandom.h"
#include "USessionEnd.h"
#include "UVornApp.h"
#include "qzColorPickerDialog.h"

#include <QApplication>
#include <QDir>

#include <cstdlib>

namespace {

// Notes place themselves by screen coordinates, which only X11 gives to programs: in a Wayland
// session with an X display at hand the program runs through XWayland.
void ChoosePlatform() {
    if (std::getenv("QT_QPA_PLATFORM") == nullptr && std::getenv("DISPLAY") != nullptr)
        setenv("QT_QPA_PLATFORM", "xcb", 1);
}

} // namespace

int main(int argc, char* argv[]) {
    ChoosePlatform();
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("VornNotes"));
    // Ties the windows to the installed menu entry, and so to its icon.
    QApplication::setDesktopFileName(QString::fromLatin1(ProductIconName));
    QApplication::setQuitOnLastWindowClosed(false); // the notes and the tray keep it running
    InstallMappedProbe();
    Randomize();

    TQtPrompt prompt;
    TQtScreens screens;
    TQtClock clock;
    TQtDialogs qtDialogs;
    // Every colour the user chooses goes through the program's own picker, one for all.
    TqzColorPickerDialog dlgColor = ProgramColorDialog();
    TPickerDialogs dialogs(qtDialogs, dlgColor);
    TQtDesktop desktop;
    const std::string appFolder = ComputeAppFolder();
    // A folder named by VORN_HOME that is not there yet is where the user wants the notes.
    QDir().mkpath(QString::fromStdString(appFolder));
    TVornApp vorn({prompt, screens, clock, dialogs, desktop, appFolder, AutostartFolder()});
    if (!vorn.FormCreate())
        return EXIT_FAILURE;

    TSessionEndWatcher sessionEnd;
    QObject::connect(&sessionEnd, &TSessionEndWatcher::SessionEnding,
                     [&vorn] { vorn.EndSession(); });
    return QApplication::exec();
}
