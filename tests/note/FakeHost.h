#pragma once

#include "Fakes.h"
#include "UNoteFiles.h"
#include "UTBoxController.h"
#include "UfrmNote.h"
#include "qzRegVal.h"
#include "qzScreenSnapper.h"

#include <QDir>

#include <array>
#include <string>
#include <vector>

// The program around a note: a program folder with its notes folder, the title template, the
// mark and snapping settings, other notes to snap to; it records what the note reports.
class FakeHost : public INoteHost, public IBoxRegistry {
public:
    FakeHost() {
        QDir().mkdir(QString::fromStdString(NotesFolder(Folder.Path())));
        DeclareApplicationSettings(Settings);
    }

    IPrompt& Prompt() override { return Prompter; }
    IDialogs& Dialogs() override { return Dialog; }
    IDesktop& Desktop() override { return Shell; }
    IScreens& Screens() override { return Monitors; }
    TqzRegVal& Ini() override { return Settings; }
    TFileDialogOptions& ImportDialog() override { return Import; }
    TFileDialogOptions& ExportDialog() override { return Export; }
    TSnapSettings SnapSettings() const override { return Snap; }
    const TBoxController& BoxController() const override { return Boxes; }
    TScreenSnapper& GetScreenSnapper() override { return Snapper; }
    void MoveMinimizedNotes(int32_t dx, int32_t dy, int32_t id) override {
        MovedMinimized.push_back({dx, dy, id});
    }
    void ShowControlPanel() override { Commands.push_back("panel"); }
    void CreateNewNoteCommand() override { Commands.push_back("new"); }
    void SendNote(TfrmNote& note) override {
        Commands.push_back("send " + std::to_string(note.NoteId()));
    }
    void ExitCommand() override { Commands.push_back("exit"); }
    int GetBoxCount() const override { return static_cast<int>(Others.size()); }
    TBox GetBox(int index) const override { return Others[static_cast<size_t>(index)]; }
    const std::string& AppFolder() const override { return Folder.Path(); }
    std::string NotesTitle() const override { return Title; }
    bool ShowReadOnlyMarks() const override { return ShowReadOnly; }
    bool ShowOnTopMarks() const override { return ShowOnTop; }
    bool ConfirmDeletes() const override { return Confirm; }
    void UpdateNoteRecord(const TfrmNote& note) override { Updated.push_back(note.NoteId()); }
    void UnregisterNote(int32_t id) override { Unregistered.push_back(id); }
    void NoteClosed(TfrmNote& note) override { Closed.push_back(note.NoteId()); }
    void NoteDestroyed(TfrmNote& note) override { Destroyed.push_back(note.NoteId()); }

    std::string NoteFile(int32_t id) const { return NoteFileName(Folder.Path(), id); }
    bool RemoveNotesFolder() const {
        return QDir(QString::fromStdString(NotesFolder(Folder.Path()))).removeRecursively();
    }

    TempFolder Folder;
    FakePrompt Prompter;
    FakeDialogs Dialog;
    FakeDesktop Shell;
    FakeScreens Monitors;
    TqzRegVal Settings{Prompter, Folder.Path()};
    TFileDialogOptions Import{"导入文本文件", "Text Files (*.txt)|*.txt", "txt", ""};
    TFileDialogOptions Export{"导出文本文件", "Text Files (*.txt)|*.txt", "txt", ""};
    // No snapping unless a test turns it on.
    TSnapSettings Snap{false, false, false, 8, 8};
    std::vector<TBox> Others;
    TBoxController Boxes{*this};
    TScreenSnapper Snapper;
    std::vector<std::array<int32_t, 3>> MovedMinimized;
    std::vector<std::string> Commands;
    std::string Title = "Vorn [$id$]";
    bool ShowReadOnly = true;
    bool ShowOnTop = true;
    bool Confirm = false;
    std::vector<int32_t> Updated;
    std::vector<int32_t> Unregistered;
    std::vector<int32_t> Closed;
    std::vector<int32_t> Destroyed;
};
