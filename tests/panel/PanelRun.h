#pragma once

#include "FakeProgram.h"
#include "Fakes.h"
#include "TestApplication.h"
#include "UVornApp.h"
#include "UfrmNote.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

// A started program in an empty folder whose settings name a user, so no welcome note is made.
struct Panel : FakeProgram {
    explicit Panel(const std::string& ini = "[Strings]\r\nsIdentity=tester\r\n") {
        EnsureApplication();
        WriteFixture(IniPath(), ini);
        App = std::make_unique<TVornApp>(Services());
        started = App->FormCreate();
    }

    std::string IniPath() const { return Folder.File("vorn.ini"); }
    std::string IndexPath() const { return Folder.File("vornnotes.xml"); }
    TfrmMain& Main() { return App->Main(); }
    TfrmNote* AddNote(int32_t left, int32_t top) {
        TfrmNote* note = App->Factory().CreateNoteWindow("text", left, top, 128, 128, -1, "", -1,
                                                         -1, false, false);
        EXPECT_NE(note, nullptr);
        return note;
    }
    template <class T>
    T* Find(const char* name) {
        T* found = Main().findChild<T*>(QString::fromLatin1(name));
        EXPECT_NE(found, nullptr) << name;
        return found;
    }

    std::unique_ptr<TVornApp> App; // last: its note windows go first
    bool started = false;
};
