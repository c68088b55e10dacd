// One pointer move of a note drag with 1,024 shown notes, snapping to the other notes and to
// the screen edges on (the grid off), on two monitors (drag_desktop.h). The program starts as
// on a desktop (TVornApp::FormCreate over a prepared program folder); bench/drag_under_xvfb.sh
// runs it on the xcb platform under its own Xvfb. Prints the median and 95th percentile per
// move of
//   - the snapping alone: SnappedPosition against the panel's own registry and screen snapper,
//     and, to tell reading the note windows from the arithmetic, against a copy of the boxes
//     the registry gave,
//   - the whole move: TfrmNote::TitleMove, then everything it takes for the move to reach the
//     X server and for the window system's answers (configure, expose, repaints) to be handled.
// The goal of under 20 us per move is the snapping's; it is printed, not enforced.
//
//   bench_drag [moves]    2000 measured moves when not given

#include "drag_desktop.h"

#include "BenchServices.h"
#include "UNoteFiles.h"
#include "UNoteSnapping.h"
#include "UPlatform.h"
#include "UQtDialogs.h"
#include "UTConfigurationManager.h"
#include "UVornApp.h"
#include "UfrmNote.h"

#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QTemporaryDir>
#include <QWindow>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <memory>
#include <string>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

constexpr double kGoalMicroseconds = 20;
// Moves before the measured ones, for caches and Qt's first-time work.
constexpr int kWarmUpMoves = 100;
constexpr int kMaxMoves = 100000;
// Where the pointer holds the title bar, in the bar's own pixels (clear of the menu box).
const QPoint kGrip(30, 5);
// Bounds for a slow machine: waiting for the windows, and each of the two passes.
constexpr auto kExposeTimeLimit = std::chrono::seconds(60);
constexpr auto kPassTimeLimit = std::chrono::seconds(120);

// The two monitors of the benchmark desktop; Xvfb has one screen covering both.
class TDragScreens : public IScreens {
public:
    TScreenSize PrimaryScreenSize() const override {
        return {DragDesktop::kMonitorWidth, DragDesktop::kMonitorHeight};
    }
    std::vector<TMonitor> Monitors() const override { return DragDesktop::Monitors(); }
};

// The boxes the panel's registry gave, held as plain values.
class TBoxCopy : public IBoxRegistry {
public:
    explicit TBoxCopy(const IBoxRegistry& registry) {
        for (int i = 0; i < registry.GetBoxCount(); ++i)
            Boxes_.push_back(registry.GetBox(i));
    }
    int GetBoxCount() const override { return static_cast<int>(Boxes_.size()); }
    TBox GetBox(int index) const override { return Boxes_[static_cast<size_t>(index)]; }

private:
    std::vector<TBox> Boxes_;
};

bool WriteBytes(const std::string& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    return out.good();
}

// The program folder of a user with 1,024 notes: settings (with an identity, so no welcome
// note), note files and their index, every note at its place on the benchmark desktop.
bool PrepareFolder(const std::string& folder) {
    if (!WriteBytes(folder + "vorn.ini", "[Strings]\r\nsIdentity=bench\r\n"))
        return false;
    const std::string notes = NotesFolder(folder);
    QDir().mkpath(QString::fromStdString(notes));
    TConfigurationManager index(folder + "vornnotes.xml", [] { return TNoteDefaults(); });
    for (int i = 0; i < DragDesktop::kNotes; ++i) {
        const TBox box = DragDesktop::NoteBox(i);
        if (!WriteBytes(NoteFileName(folder, box.Id),
                        "Note " + std::to_string(box.Id) + "\r\nBuy milk\r\nCall back"))
            return false;
        TNoteConfig config;
        config.Id = box.Id;
        config.Left = box.Left;
        config.Top = box.Top;
        config.Width = box.Width;
        config.Height = box.Height;
        index.Add(box.Id, config);
    }
    index.Save();
    return true;
}

// Handles what is pending, then waits for the window system to have carried out every request
// sent so far (for xcb a round trip) and handles what it answered.
void ReachWindowSystem() {
    QGuiApplication::sync();
}

int ExposedCount(const std::vector<TfrmNote*>& notes) {
    return static_cast<int>(std::count_if(notes.begin(), notes.end(), [](const TfrmNote* note) {
        return note->windowHandle() != nullptr && note->windowHandle()->isExposed();
    }));
}

double Micro(Clock::duration duration) {
    return std::chrono::duration<double, std::micro>(duration).count();
}

struct TSpread {
    double Median = 0;
    double P95 = 0;
    double Max = 0;
};

// Nearest-rank percentiles.
TSpread Spread(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    const auto rank = [&values](double fraction) {
        const auto position =
            static_cast<size_t>(std::ceil(fraction * static_cast<double>(values.size())));
        return values[std::clamp<size_t>(position, 1, values.size()) - 1];
    };
    return {rank(0.5), rank(0.95), values.back()};
}

} // namespace

int main(int argc, char* argv[]) {
    QApplication application(argc, argv);
    const int moves = argc > 1 ? std::clamp(std::atoi(argv[1]), 1, kMaxMoves) : 2000;
    const int steps = kWarmUpMoves + moves;

    QTemporaryDir dir;
    if (!dir.isValid()) {
        std::cerr << "no temporary folder\n";
        return EXIT_FAILURE;
    }
    const std::string folder = dir.path().toStdString() + "/";
    if (!PrepareFolder(folder)) {
        std::cerr << "cannot prepare the program folder in " << folder << "\n";
        return EXIT_FAILURE;
    }
    TBenchPrompt prompt;
    TDragScreens screens;
    TBenchClock clock;
    TQtDialogs dialogs; // never opened here
    TQtDesktop desktop;
    auto app =
        std::make_unique<TVornApp>(TServices{prompt, screens, clock, dialogs, desktop, folder, ""});
    if (!app->FormCreate())
        return EXIT_FAILURE;
    TfrmMain& main = app->Main();
    const std::vector<TfrmNote*>& notes = main.Notes();
    if (static_cast<int>(notes.size()) != DragDesktop::kNotes) {
        std::cerr << "expected " << DragDesktop::kNotes << " open notes, have " << notes.size()
                  << "\n";
        return EXIT_FAILURE;
    }

    // Until every note is on the screen. A note wholly covered by others gets no expose, so
    // the wait is bounded rather than required to end with all of them.
    const Clock::time_point exposeStart = Clock::now();
    while (ExposedCount(notes) < DragDesktop::kNotes &&
           Clock::now() - exposeStart < kExposeTimeLimit)
        ReachWindowSystem();
    const int exposed = ExposedCount(notes);
    for (int i = 0; i < 10; ++i)
        ReachWindowSystem(); // the first paints

    main.chkSnapGrid->setChecked(false);
    main.chkSnapNotes->setChecked(true);
    main.chkSnapEdges->setChecked(true);
    const TSnapSettings settings = main.SnapSettings();
    if (settings.Grid || !settings.Notes || !settings.Edges) {
        std::cerr << "the control panel did not take the snapping settings\n";
        return EXIT_FAILURE;
    }

    // The first note, in front as a window manager puts the window one clicks on.
    TfrmNote& note = *notes.front();
    note.raise();
    ReachWindowSystem();
    note.TitlePress(kGrip); // takes the monitors afresh for the gesture

    const auto pointerAt = [](int step) {
        const TPoint place = DragDesktop::DragPlace(step);
        return QPoint(place.X, place.Y) + kGrip;
    };

    // Pass 1: the snapping alone, as TitleMove asks for it, against the panel's registry (the
    // dragged note among the 1,024) and its screen snapper. It also yields where every move
    // must put the window.
    const TSnapTargets targets{settings, main.BoxController(), main.GetScreenSnapper()};
    std::vector<TPoint> expected;
    std::vector<double> snapTimes;
    int snapped = 0;
    Clock::time_point passStart = Clock::now();
    for (int step = 0; step < steps && Clock::now() - passStart < kPassTimeLimit; ++step) {
        const QPoint pointer = pointerAt(step);
        const int64_t left = int64_t{pointer.x()} - kGrip.x();
        const int64_t top = int64_t{pointer.y()} - kGrip.y();
        const Clock::time_point start = Clock::now();
        const TPoint place =
            SnappedPosition(targets, note.NoteId(), left, top, note.width(), note.height());
        const Clock::time_point end = Clock::now();
        expected.push_back(place);
        if (step >= kWarmUpMoves) {
            snapTimes.push_back(Micro(end - start));
            if (place.X != left || place.Y != top)
                ++snapped;
        }
    }

    // Pass 2: the same against the copy of the boxes; it must come to the same places.
    const TBoxCopy boxCopy(main);
    const TBoxController copyController(boxCopy);
    const TSnapTargets copyTargets{settings, copyController, main.GetScreenSnapper()};
    std::vector<double> copyTimes;
    passStart = Clock::now();
    for (size_t step = 0; step < expected.size() && Clock::now() - passStart < kPassTimeLimit;
         ++step) {
        const QPoint pointer = pointerAt(static_cast<int>(step));
        const Clock::time_point start = Clock::now();
        const TPoint place =
            SnappedPosition(copyTargets, note.NoteId(), int64_t{pointer.x()} - kGrip.x(),
                            int64_t{pointer.y()} - kGrip.y(), note.width(), note.height());
        const Clock::time_point end = Clock::now();
        if (!(place == expected[step])) {
            std::cerr << "the copy of the boxes snaps elsewhere than the registry\n";
            return EXIT_FAILURE;
        }
        if (static_cast<int>(step) >= kWarmUpMoves)
            copyTimes.push_back(Micro(end - start));
    }

    // Pass 3: the whole move, along the same path.
    std::vector<double> moveTimes;
    std::vector<double> movedTimes; // the moves that moved the window
    std::vector<double> stayedTimes;
    int misplaced = 0;
    passStart = Clock::now();
    for (size_t step = 0; step < expected.size() && Clock::now() - passStart < kPassTimeLimit;
         ++step) {
        const QPoint pointer = pointerAt(static_cast<int>(step));
        const QPoint before = note.pos();
        const Clock::time_point start = Clock::now();
        note.TitleMove(pointer, Qt::NoModifier);
        ReachWindowSystem();
        const Clock::time_point end = Clock::now();
        if (note.x() != expected[step].X || note.y() != expected[step].Y)
            ++misplaced;
        if (static_cast<int>(step) >= kWarmUpMoves) {
            moveTimes.push_back(Micro(end - start));
            (note.pos() != before ? movedTimes : stayedTimes).push_back(Micro(end - start));
        }
    }
    note.TitleRelease(kGrip);
    ReachWindowSystem();

    if (misplaced != 0) {
        std::cerr << misplaced << " moves left the note elsewhere than snapping said\n";
        return EXIT_FAILURE;
    }
    if (snapTimes.empty() || moveTimes.empty()) {
        std::cerr << "no measured moves within the time limit\n";
        return EXIT_FAILURE;
    }

    const auto print = [](const char* name, const std::vector<double>& times) {
        if (times.empty()) {
            std::printf("%-36s none\n", name);
            return;
        }
        const TSpread spread = Spread(times);
        std::printf("%-36s median %8.1f us  p95 %8.1f us  max %8.1f us  (%zu moves)\n", name,
                    spread.Median, spread.P95, spread.Max, times.size());
    };
    std::printf("platform %s, %d of %d notes exposed; snapping to notes and screen edges\n",
                qPrintable(QGuiApplication::platformName()), exposed, DragDesktop::kNotes);
    std::printf("after %d warm-up moves; snapping changed the place on %d of %zu moves\n",
                kWarmUpMoves, snapped, snapTimes.size());
    print("snapping alone (SnappedPosition):", snapTimes);
    const TSpread snap = Spread(snapTimes);
    std::printf("  goal < %.0f us per move at p95: %s\n", kGoalMicroseconds,
                snap.P95 < kGoalMicroseconds ? "met" : "NOT met");
    print("snapping over a copy of the boxes:", copyTimes);
    print("whole move (TitleMove + sync):", moveTimes);
    print("  of which the window moved:", movedTimes);
    print("  of which the window stayed:", stayedTimes);
    std::fflush(stdout);

    app.reset(); // the windows before the application
    return EXIT_SUCCESS;
}
