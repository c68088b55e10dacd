// The save sequence (TfrmMain::SaveEverything) with 1,024 open note windows: once with every
// text modified (1,024 note files, the settings and the index written) and once with nothing
// modified (the settings and the index only). The goal for the first case is below 100 ms.
// The program starts as it starts on a desktop (TVornApp::FormCreate over a prepared program
// folder) on Qt's offscreen platform; the files go to a temporary folder.

#include "BenchServices.h"
#include "UNoteFiles.h"
#include "UPlatform.h"
#include "UQtDialogs.h"
#include "UTConfigurationManager.h"
#include "UVornApp.h"
#include "UfrmNote.h"

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QDir>
#include <QTemporaryDir>

#include <cstdlib>
#include <fstream>
#include <iostream>
#include <memory>
#include <string>
#include <vector>

namespace {

constexpr int kNotes = 1024;
constexpr int kScreenWidth = 1280;
constexpr int kScreenHeight = 800;

class TBenchScreens : public IScreens {
public:
    TScreenSize PrimaryScreenSize() const override { return {kScreenWidth, kScreenHeight}; }
    std::vector<TMonitor> Monitors() const override {
        return {{{0, 0, kScreenWidth, kScreenHeight}, {0, 0, kScreenWidth, kScreenHeight}}};
    }
};

void WriteBytes(const std::string& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!out.good()) {
        std::cerr << "cannot write " << path << "\n";
        std::exit(EXIT_FAILURE);
    }
}

std::string NoteText(int id, int round) {
    return "Note " + std::to_string(id) + ", round " + std::to_string(round) +
           "\r\nBuy milk\r\nCall back";
}

// The program folder of a user with 1,024 notes: settings, note files and their index.
void PrepareFolder(const std::string& folder) {
    WriteBytes(folder + "vorn.ini", "[Strings]\r\nsIdentity=bench\r\n");
    const std::string notes = NotesFolder(folder);
    QDir().mkpath(QString::fromStdString(notes));
    TConfigurationManager index(folder + "vornnotes.xml", [] { return TNoteDefaults(); });
    for (int id = 1; id <= kNotes; ++id) {
        WriteBytes(NoteFileName(folder, id), NoteText(id, 0));
        TNoteConfig config;
        config.Id = id;
        config.Left = (id * 97) % (kScreenWidth - DefaultNoteSize);
        config.Top = (id * 61) % (kScreenHeight - DefaultNoteSize);
        index.Add(id, config);
    }
    index.Save();
}

struct TWorld {
    QTemporaryDir Dir;
    std::string Folder;
    TBenchPrompt Prompt;
    TBenchScreens Screens;
    TBenchClock Clock;
    TQtDialogs Dialogs; // never opened here
    TQtDesktop Desktop;
    std::unique_ptr<TVornApp> App;
};

TWorld* World = nullptr;

void BM_SaveEverything_AllModified(benchmark::State& state) {
    TfrmMain& main = World->App->Main();
    int round = 0;
    for (auto _ : state) {
        state.PauseTiming();
        ++round;
        for (TfrmNote* note : main.Notes()) {
            note->SetText(NoteText(note->NoteId(), round));
            note->SetModified(true);
        }
        state.ResumeTiming();
        main.SaveEverything();
    }
    for (const TfrmNote* note : main.Notes()) {
        if (note->IsModified()) {
            state.SkipWithError("a note is still marked as modified");
            break;
        }
    }
    state.counters["notes"] = static_cast<double>(main.Notes().size());
}
BENCHMARK(BM_SaveEverything_AllModified)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_SaveEverything_NoneModified(benchmark::State& state) {
    TfrmMain& main = World->App->Main();
    for (TfrmNote* note : main.Notes())
        note->SetModified(false);
    for (auto _ : state)
        main.SaveEverything();
    state.counters["notes"] = static_cast<double>(main.Notes().size());
}
BENCHMARK(BM_SaveEverything_NoneModified)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace

int main(int argc, char* argv[]) {
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QApplication application(argc, argv);

    auto world = std::make_unique<TWorld>();
    if (!world->Dir.isValid()) {
        std::cerr << "no temporary folder\n";
        return EXIT_FAILURE;
    }
    world->Folder = world->Dir.path().toStdString() + "/";
    PrepareFolder(world->Folder);
    world->App =
        std::make_unique<TVornApp>(TServices{world->Prompt, world->Screens, world->Clock,
                                             world->Dialogs, world->Desktop, world->Folder, ""});
    if (!world->App->FormCreate())
        return EXIT_FAILURE;
    if (static_cast<int>(world->App->Main().Notes().size()) != kNotes) {
        std::cerr << "expected " << kNotes << " open notes, have "
                  << world->App->Main().Notes().size() << "\n";
        return EXIT_FAILURE;
    }
    World = world.get();

    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return EXIT_FAILURE;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    World = nullptr;
    return EXIT_SUCCESS;
}
