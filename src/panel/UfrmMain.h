#pragma once

#include "UGraphics.h"
#include "UNoteFiles.h"
#include "UTConfigurationManager.h"
#include "UfrmNote.h"
#include "qzRegVal.h"

#include <QIcon>
#include <QWidget>

#include <memory>
#include <string>
#include <vector>

class IClock;
class IPrompt;
class IScreens;
class QAction;
class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QMenu;
class QMenuBar;
class QPlainTextEdit;
class QPushButton;
class QSpinBox;
class QSystemTrayIcon;
class QTabWidget;

// The platform services and the program folder, handed to every part of the program.
struct TServices {
    IPrompt& Prompt;
    IScreens& Screens;
    IClock& Clock;
    std::string AppFolder;
};

// The control panel: its controls are the settings in force, and it keeps the settings store,
// the note store and the registry of open note windows.
class TfrmMain : public QWidget, public INoteHost {
    Q_OBJECT

public:
    static constexpr int ClientWidth = 402;
    static constexpr int ClientHeight = 297;

    explicit TfrmMain(const TServices& services);
    ~TfrmMain() override;

    const TServices& Services() const { return Services_; }
    TqzRegVal& Ini() { return Ini_; }
    TNoteCounter& NoteNumbers() { return NoteNumbers_; }
    TConfigurationManager& Store() { return *Store_; }
    bool HasStore() const { return Store_ != nullptr; }
    void SetStore(std::unique_ptr<TConfigurationManager> store) { Store_ = std::move(store); }
    // What new records take from the settings and the primary screen.
    TNoteDefaults NoteDefaults() const;

    // The registry of open note windows, in the order they were opened.
    const std::vector<TfrmNote*>& Notes() const { return Notes_; }
    // Appends the window; when the store has no record for its number, one is made from it.
    void RegisterNote(TfrmNote& note);
    // Removes the first window with that note number.
    void UnregisterNote(int32_t id);
    // Copies the window's state into its store record, when there is one.
    void UpdateNoteRecord(const TfrmNote& note);
    void UpdateAllNoteRecords();
    // Saves the text of every window whose text is marked as modified.
    void SaveModifiedNotes();

    void LoadSettingsToControls();
    void StoreControlsToSettings();
    // Modified note texts, settings, records from the windows, the notes index.
    void SaveEverything();
    // The save command: modified texts, records and the index; not the settings.
    void SaveAllNotesNow();

    // Remembers the position and moves the panel off every monitor; it stays a shown window.
    void HideControlPanel();
    // HideControlPanel, then the settings are stored and saved; errors are reported.
    void HideCommand();
    // Back at the remembered position (a random one when that is off screen), in front.
    void ShowControlPanel();
    void BringAllNotesToFront();
    void MinimizeAllNotes();
    void RestoreAllNotes();
    void ShowLostNotes();
    // The tray icon's image: TrayIconFile when it names a file, the built-in icon otherwise.
    void ApplyTrayIcon();
    // A 16 x 16 yellow note with a darker title strip.
    static QIcon BuiltInTrayIcon();

    bool ClosingForReal = false;
    int32_t LastPanelX = 100;
    int32_t LastPanelY = 100;
    TColor GradientStart = 0;
    TColor GradientEnd = 0;
    std::string LastSendAddress;
    std::string IconFolder;
    std::string TrayIconFile;

    // INoteHost
    IPrompt& Prompt() override { return Services_.Prompt; }
    const std::string& AppFolder() const override { return Services_.AppFolder; }
    std::string NotesTitle() const override;
    bool ShowReadOnlyMarks() const override;
    bool ShowOnTopMarks() const override;
    void NoteClosed(TfrmNote& note) override;
    void NoteDestroyed(TfrmNote& note) override;

    // The controls bound to the settings.
    QCheckBox* chkRandomColor;
    QCheckBox* chkSnapGrid;
    QCheckBox* chkSnapEdges;
    QCheckBox* chkSnapNotes;
    QCheckBox* chkStartup;
    QCheckBox* chkBringToFront;
    QCheckBox* chkRemoveStayOnTop;
    QCheckBox* chkWinXPShadow;
    QCheckBox* chkPlayWav1;
    QCheckBox* chkPlayWav2;
    QCheckBox* chkConfirmDeletes;
    QCheckBox* chkShowReadOnly;
    QCheckBox* chkShowOnTop;
    QSpinBox* spnGridX;
    QSpinBox* spnGridY;
    QLineEdit* edtIdentity;
    QLineEdit* edtWAV1;
    QLineEdit* edtWAV2;
    QLineEdit* edtNotesTitle;
    QLineEdit* edtPort;
    QLabel* lblFont;
    QPushButton* btnListen;
    QPushButton* btnStop;
    QPushButton* btnWav1;
    QPushButton* btnWav2;
    QPushButton* btnFont;
    QPushButton* btnExit;
    QPushButton* btnHide;
    QTabWidget* pcMain;
    QWidget* tabOptions;
    QWidget* tabNetwork;
    QWidget* tabNotes;
    QWidget* tabAppearance;
    QWidget* tabLog;
    QPlainTextEdit* memLog;
    QMenuBar* mmMain;
    QMenu* pmTray;
    QAction* pmAppLabel;
    QSystemTrayIcon* TrayIcon;

Q_SIGNALS:
    // Commands carried out by the application: a new empty note, the exit command.
    void NewNoteRequested();
    void ExitRequested();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void ShowDefaultFont();
    void BuildOptionsTab();
    void BuildNetworkTab();
    void BuildMenus();
    void BuildTray();
    void RepaintNotes(bool minimizedOnly);

    TServices Services_;
    TqzRegVal Ini_;
    TNoteCounter NoteNumbers_;
    std::unique_ptr<TConfigurationManager> Store_;
    std::vector<TfrmNote*> Notes_;
};
