#pragma once

#include "Fakes.h"
#include "UfrmMain.h"

// A program folder, a start-at-login folder and fake platform services, handed to a program
// run as it would get the real ones.
struct FakeProgram {
    TServices Services() {
        return {Prompt, Screens, Clock, Dialogs, Desktop, Folder.Path(), Autostart.Path()};
    }

    TempFolder Folder;
    FakePrompt Prompt;
    FakeScreens Screens;
    FakeClock Clock;
    FakeDialogs Dialogs;
    FakeDesktop Desktop;
    TempFolder Autostart;
};
