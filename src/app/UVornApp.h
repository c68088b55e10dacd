#pragma once

#include "UNoteFactory.h"
#include "UfrmMain.h"

#include <memory>
#include <string>

// The welcome note of the first start, lines joined by CR LF.
std::string WelcomeNoteText();

// The running program: the control panel with its stores, the note factory, start-up, the
// save points and the end.
class TVornApp {
public:
    explicit TVornApp(const TServices& services);
    // Note windows go before the panel; each brings its record up to date once more.
    ~TVornApp();

    // The start-up sequence. False when the program cannot run (no note store can be had);
    // the reason has been shown.
    bool FormCreate();
    // A window for every live note file, lost ones moved onto a screen; numbers above all.
    void OpenNoteFiles();
    void ScanDeletedNoteFiles();

    // The exit command: saves everything and ends the event loop; when saving fails the
    // program goes on, so the user may try again.
    void Exit();
    // The session ends or the program is told to stop: everything is saved, then it ends.
    void EndSession();

    TfrmMain& Main() { return *Main_; }
    TNoteFactory& Factory() { return Factory_; }

private:
    std::unique_ptr<TfrmMain> Main_;
    TNoteFactory Factory_;
};
