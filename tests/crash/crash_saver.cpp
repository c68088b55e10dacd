// Runs the program's own start-up and save commands over and over, so that crash_safety.sh can
// kill it at any moment and look at what the kill left in VORN_HOME.
//
//   crash_saver create N   a fresh folder: the first start, notes up to N through the new-note
//                          command, generation 1 saved, then the exit command
//   crash_saver run N      the start-up over an earlier run's files, checked, then generation
//                          after generation until killed
//   crash_saver verify N   the start-up and its check only
//
// Generation G gives every note a text, a place and a size made from its number and G, and the
// settings values made from G; the save commands write them. It prints "saving G" before it
// changes anything, "writing G" before the first save command and "saved G" once every save
// command has returned. check_folder.py holds the same formulas as its own oracle: change them
// together.

#include "Fakes.h"
#include "UAppFolder.h"
#include "UAutostart.h"
#include "UFileUtil.h"
#include "UNoteFiles.h"
#include "UQtDialogs.h"
#include "UQtPlatform.h"
#include "URandom.h"
#include "UVornApp.h"

#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QLineEdit>
#include <QSpinBox>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

std::string NoteText(int id, int generation) {
    const std::string unit =
        "note " + std::to_string(id) + " generation " + std::to_string(generation) + " ";
    // Neighbouring generations differ by hundreds of units, so a torn file cannot pass.
    const int repeats = 1 + (id * 7 + generation * 131) % 300;
    std::string text;
    for (int i = 0; i < repeats; ++i) {
        text += unit;
        if (i % 8 == 7 && i + 1 < repeats)
            text += "\r\n";
    }
    return text;
}

// Well inside the offscreen platform's 800 x 600 screen, so the start-up moves no note.
QRect NotePlace(int id, int generation) {
    return {(id * 37 + generation * 53) % 480, (id * 23 + generation * 29) % 300,
            128 + (id * 5 + generation * 11) % 64, 128 + (id * 3 + generation * 17) % 64};
}

QString NotesTitle(int generation) {
    return QStringLiteral("g%1 $id$").arg(generation);
}

[[noreturn]] void Fail(const std::string& why) {
    std::cout << "FAILED " << why << std::endl;
    std::cerr << "crash_saver: " << why << "\n";
    std::_Exit(2);
}

// The generation a note text stands for; fails unless the text is that generation's whole text.
int TextGeneration(int id, const std::string& text) {
    int readId = 0;
    int generation = 0;
    if (std::sscanf(text.c_str(), "note %d generation %d ", &readId, &generation) != 2 ||
        readId != id || NoteText(id, generation) != text)
        Fail("note " + std::to_string(id) + " holds no whole generation text (" +
             std::to_string(text.size()) + " bytes: \"" + text.substr(0, 60) + "\")");
    return generation;
}

// What an action of the program raises ends the driver with a message.
template <typename Action>
auto Guarded(const char* what, const Action& action) {
    try {
        return action();
    } catch (const std::exception& error) {
        Fail(std::string(what) + " raised: " + error.what());
    }
}

void CheckNoReports(const FakePrompt& prompt, const char* when) {
    std::string reports;
    for (const std::string& text : prompt.Errors)
        reports += " error: " + text;
    for (const std::string& text : prompt.Messages)
        reports += " message: " + text;
    if (!reports.empty())
        Fail(std::string(when) + " reported" + reports);
}

class TSaver {
public:
    TSaver(TVornApp& app, FakePrompt& prompt, int count)
        : App_(app), Main_(app.Main()), Prompt_(prompt), Count_(count) {}

    void CheckNoteCount() const {
        if (static_cast<int>(Main_.Notes().size()) != Count_)
            Fail(std::to_string(Main_.Notes().size()) + " notes instead of " +
                 std::to_string(Count_));
        std::vector<int> ids;
        for (const TfrmNote* note : Main_.Notes())
            ids.push_back(note->NoteId());
        std::sort(ids.begin(), ids.end());
        for (int i = 0; i < Count_; ++i)
            if (ids[static_cast<size_t>(i)] != i + 1)
                Fail("the note numbers are not 1.." + std::to_string(Count_));
    }

    // What the start-up made of the files must be what the files hold, each a whole generation;
    // returns the highest generation found.
    int CheckLoaded() const {
        CheckNoReports(Prompt_, "the start-up");
        CheckNoteCount();
        int newest = 0;
        for (const TfrmNote* note : Main_.Notes()) {
            const int id = note->NoteId();
            const std::string file = ReadFileBytes(NoteFileName(Main_.AppFolder(), id));
            if (note->Text() != file)
                Fail("note " + std::to_string(id) + " shows other text than its file holds");
            newest = std::max(newest, TextGeneration(id, file));
        }

        // The index is written whole, after the texts: every record belongs to one generation,
        // none newer than the newest text (and the places repeat only after 4800 generations).
        int indexGeneration = 0;
        for (int g = newest; g >= 1 && indexGeneration == 0; --g)
            if (Record(1) == NotePlace(1, g))
                indexGeneration = g;
        if (indexGeneration == 0)
            Fail("the index record of note 1 is of no generation");
        for (const TfrmNote* note : Main_.Notes()) {
            const int id = note->NoteId();
            if (Record(id) != NotePlace(id, indexGeneration))
                Fail("the index record of note " + std::to_string(id) + " is of no generation");
            if (note->geometry() != Record(id))
                Fail("note " + std::to_string(id) + " is not where its record puts it");
        }

        const QString title = Main_.edtNotesTitle->text();
        bool known = false;
        const int iniGeneration = title.mid(1, title.indexOf(QLatin1Char(' ')) - 1).toInt(&known);
        if (!known || title != NotesTitle(iniGeneration) ||
            Main_.chkSnapGrid->isChecked() != (iniGeneration % 2 == 0) ||
            Main_.spnGridX->value() != 1 + iniGeneration % 50)
            Fail("the settings are of no generation (title \"" + title.toStdString() + "\")");
        std::cout << "loaded newest " << newest << " index " << indexGeneration << " settings "
                  << iniGeneration << std::endl;
        return newest;
    }

    // One generation through the program's commands: texts into the notes' bodies, places and
    // sizes, settings into the panel's controls; then a third of the notes by their own save
    // command, the rest by the panel's save command, and everything by the save at the end.
    void SaveGeneration(int generation) {
        std::cout << "saving " << generation << std::endl;
        for (TfrmNote* note : Main_.Notes()) {
            note->SetText(NoteText(note->NoteId(), generation));
            note->setGeometry(NotePlace(note->NoteId(), generation));
        }
        Main_.edtNotesTitle->setText(NotesTitle(generation));
        Main_.chkSnapGrid->setChecked(generation % 2 == 0);
        Main_.spnGridX->setValue(1 + generation % 50);
        std::cout << "writing " << generation << std::endl;
        for (TfrmNote* note : Main_.Notes())
            if (note->NoteId() % 3 == generation % 3)
                note->pmSaveVornNoteClick();
        Main_.SaveAllNotesNow();
        Main_.SaveEverything();
        std::cout << "saved " << generation << std::endl;
    }

    // Generations from `first` on, one per turn of the event loop, for ever.
    void SaveForEver(int first) {
        QTimer::singleShot(0, &Main_, [this, first] {
            Guarded("saving", [&] { SaveGeneration(first); });
            SaveForEver(first + 1);
        });
    }

    void Create() {
        CheckNoReports(Prompt_, "the first start");
        for (int made = static_cast<int>(Main_.Notes().size()); made < Count_; ++made) {
            Main_.CreateNewNoteCommand();
            CheckNoReports(Prompt_, "the new-note command");
        }
        CheckNoteCount();
        QTimer::singleShot(0, &Main_, [this] {
            Guarded("saving", [&] { SaveGeneration(1); });
            App_.Exit();
            // A failed save keeps the program running; it must not wait for ever.
            CheckNoReports(Prompt_, "the exit command");
        });
    }

private:
    QRect Record(int id) const {
        const TNoteConfig* record = Main_.Store().Get(id);
        if (record == nullptr)
            Fail("the index has no record of note " + std::to_string(id));
        return {record->Left, record->Top, record->Width, record->Height};
    }

    TVornApp& App_;
    TfrmMain& Main_;
    FakePrompt& Prompt_;
    int Count_;
};

} // namespace

int main(int argc, char* argv[]) {
    const std::string mode = argc == 3 ? argv[1] : "";
    const int count = argc == 3 ? std::atoi(argv[2]) : 0;
    if ((mode != "create" && mode != "run" && mode != "verify") || count < 1) {
        std::cerr << "usage: crash_saver create|run|verify <notes>  (folder in VORN_HOME)\n";
        return 64;
    }
    if (std::getenv("VORN_HOME") == nullptr) {
        std::cerr << "crash_saver: VORN_HOME must name the folder\n";
        return 64;
    }

    // As main.cpp starts the program, with message boxes and dialogs that answer at once: a
    // real one would wait for a user nobody is.
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("VornNotes"));
    QApplication::setQuitOnLastWindowClosed(false);
    Randomize();
    FakePrompt prompt;
    TQtScreens screens;
    TQtClock clock;
    FakeDialogs dialogs;
    TQtDesktop desktop;
    const std::string appFolder = ComputeAppFolder();
    QDir().mkpath(QString::fromStdString(appFolder));
    TVornApp vorn({prompt, screens, clock, dialogs, desktop, appFolder, AutostartFolder()});
    if (!vorn.FormCreate())
        Fail("the start-up gave up");

    TSaver saver(vorn, prompt, count);
    if (mode == "create") {
        saver.Create();
        return QApplication::exec();
    }
    const int newest = Guarded("checking", [&] { return saver.CheckLoaded(); });
    if (mode == "verify")
        return EXIT_SUCCESS;
    saver.SaveForEver(newest + 1);
    return QApplication::exec();
}
