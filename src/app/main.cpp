// Until the note windows exist, the program opens its folder, loads the settings and the notes
// index, lists the note files and prints what it found.

#include "UAppFolder.h"
#include "UConvert.h"
#include "UNoteFiles.h"
#include "UQtPlatform.h"
#include "URandom.h"
#include "UTConfigurationManager.h"
#include "qzRegVal.h"

#include <QDir>
#include <QGuiApplication>

#include <cstdio>
#include <cstdlib>
#include <iostream>

namespace {

// Message boxes of a console program: the text goes to standard error.
class TConsolePrompt : public IPrompt {
public:
    void ShowMessage(const std::string& text) override { std::cerr << text << "\n"; }
    void ShowError(const std::string& text) override { std::cerr << "Error: " << text << "\n"; }
    bool Confirm(const std::string& text) override {
        std::cerr << text << " (answered No)\n";
        return false;
    }
};

void ChoosePlatform() {
    if (std::getenv("QT_QPA_PLATFORM") != nullptr)
        return;
    // Notes place themselves by screen coordinates, which only X11 gives; without any display
    // the program still runs on the offscreen platform.
    setenv("QT_QPA_PLATFORM", std::getenv("DISPLAY") != nullptr ? "xcb" : "offscreen", 1);
}

} // namespace

int main(int argc, char* argv[]) {
    ChoosePlatform();
    QGuiApplication application(argc, argv);
    QGuiApplication::setApplicationName(QStringLiteral("VornNotes"));
    Randomize();

    TConsolePrompt prompt;
    TQtScreens screens;
    TQtClock clock;
    const std::string appFolder = ComputeAppFolder();
    std::cout << "Vorn v2.04b\nProgram folder: " << appFolder << "\n";

    TqzRegVal ini(prompt, appFolder);
    DeclareApplicationSettings(ini);
    try {
        ini.Load();
    } catch (const Exception& error) {
        prompt.ShowError(error.what());
    }
    QDir().mkpath(QString::fromStdString(NotesFolder(appFolder)));

    std::unique_ptr<TConfigurationManager> store;
    try {
        store = OpenNoteStore(
            appFolder + "vornnotes.xml", [&] { return ReadNoteDefaults(ini, screens); }, prompt,
            clock);
    } catch (const Exception& error) {
        prompt.ShowError(error.what());
        return EXIT_FAILURE;
    }

    TNoteCounter numbers;
    const auto liveFiles = ListNoteFiles(appFolder, false);
    const auto deletedFiles = ListNoteFiles(appFolder, true);
    for (const auto& name : liveFiles)
        numbers.Raise(NoteIdFromFileName(name));
    for (const auto& name : deletedFiles)
        numbers.Raise(NoteIdFromFileName(name));

    std::cout << "Settings: " << ini.IniFileName << ", identity \"" << ini.GetString("sIdentity")
              << "\", port " << ini.GetString("sPort") << ", title \""
              << ini.GetString("sNotesTitle") << "\"\n";
    std::cout << "Notes index: " << store->FileName << ", " << store->Records().size()
              << " records\n";
    std::cout << "Note files: " << liveFiles.size() << " live, " << deletedFiles.size()
              << " deleted; highest note number " << numbers.HighestNoteId() << "\n";
    for (const auto& name : liveFiles) {
        const int32_t id = NoteIdFromFileName(name);
        const TNoteConfig* record = store->Get(id);
        std::cout << "  " << name;
        if (record != nullptr)
            std::cout << " at " << record->Left << "," << record->Top << " size " << record->Width
                      << "x" << record->Height << " font \"" << record->FontName << "\" "
                      << record->FontSize << "pt";
        else if (id != -1)
            std::cout << " (no stored record)";
        std::cout << "\n";
    }
    return EXIT_SUCCESS;
}
