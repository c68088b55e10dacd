#pragma once

#include "UGraphics.h"
#include "UNoteArrangement.h"
#include "UNoteFiles.h"
#include "UPlatform.h"
#include "UTBoxController.h"
#include "UTConfigurationManager.h"
#include "UfrmNote.h"
#include "qzRegVal.h"
#include "qzScreenSnapper.h"

#include <QIcon>
#include <QImage>
#include <QWidget>

#include <functional>
#include <memory>
#include <string>
#include <vector>

class Tdm;
class TfrmSend;
class QTimer;
class IClock;
class IDesktop;
class IDialogs;
class IPrompt;
class IScreens;
class QListView;
class QSplitter;
class TNotesListModel;
class TfrmFind;
class QAction;
class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QMenu;
class QMenuBar;
class QPainter;
class QPlainTextEdit;
class QPushButton;
class QSpinBox;
class QSystemTrayIcon;
class QTabWidget;

// The platform services and the folders, handed to every part of the program.
struct TServices {
    IPrompt& Prompt;
    IScreens& Screens;
    IClock& Clock;
    IDialogs& Dialogs;
    IDesktop& Desktop;
    std::string AppFolder;
    // Where the start-at-login entry goes; empty when there is no such folder.
    std::string AutostartFolder;
};

// No new note is made while the notes list holds this many windows.
constexpr int MaxNoteWindows = 1024;
// What the user is told when that limit stops a new note.
std::string NoteLimitMessage();

// Where note windows come from (the note factory of the application).
class INoteFactory {
public:
    virtual ~INoteFactory() = default;
    virtual TfrmNote* CreateNewNote(const std::string& text) = 0;
    // At a random place with the size, colours, font and flags of a received record.
    virtual TfrmNote* CreateReceivedNote(const std::string& text, const TNoteConfig& config) = 0;
    virtual TfrmNote* CreateNoteFromFile(const std::string& path) = 0;
    virtual TfrmNote& OpenNoteWindow(int32_t id) = 0;
};

// The control panel: its controls are the settings in force, and it keeps the settings store,
// the note store and the registry of open note windows.
class TfrmMain : public QWidget, public INoteHost, public IBoxRegistry {
    Q_OBJECT

public:
    static constexpr int ClientWidth = 402;
    static constexpr int ClientHeight = 297;

    explicit TfrmMain(const TServices& services);
    ~TfrmMain() override;

    const TServices& Services() const { return Services_; }
    TqzRegVal& Ini() override { return Ini_; }
    TNoteCounter& NoteNumbers() { return NoteNumbers_; }
    TConfigurationManager& Store() { return *Store_; }
    bool HasStore() const { return Store_ != nullptr; }
    void SetStore(std::unique_ptr<TConfigurationManager> store) { Store_ = std::move(store); }
    // What new records take from the settings and the primary screen.
    TNoteDefaults NoteDefaults() const;

    void SetFactory(INoteFactory& factory) { Factory_ = &factory; }

    // The notes list, which is the registry of open note windows, in the order they were opened.
    const std::vector<TfrmNote*>& Notes() const;
    // No new note window may be made.
    bool AtNoteLimit() const { return Notes().size() >= static_cast<size_t>(MaxNoteWindows); }
    // Appends the window; when the store has no record for its number, one is made from it.
    void RegisterNote(TfrmNote& note);
    // Removes the first window with that note number, then refreshes the details.
    void UnregisterNote(int32_t id) override;
    // Copies the window's state into its store record, when there is one.
    void UpdateNoteRecord(const TfrmNote& note) override;
    void UpdateAllNoteRecords();
    // Saves the text of every window whose text is marked as modified.
    void SaveModifiedNotes();

    void LoadSettingsToControls();
    void StoreControlsToSettings();
    // Modified note texts, settings, records from the windows, the notes index.
    void SaveEverything();
    // The save command: modified texts, records and the index; not the settings.
    void SaveAllNotesNow();

    QPoint PanelPlace() const;
    void MovePanel(int32_t left, int32_t top);
    // Remembers the position and moves the panel off every monitor; it stays a shown window.
    void HideControlPanel();
    // HideControlPanel, then the settings are stored and saved; errors are reported.
    void HideCommand();
    // Back at the remembered position (a random one when that is off screen), in front.
    void ShowControlPanel() override;
    void BringAllNotesToFront();
    void MinimizeAllNotes();
    void RestoreAllNotes();
    void ShowLostNotes();
    // The monitors changed while the program runs: lost notes come back onto the screens, and
    // the panel's remembered place (and the panel, when shown) too.
    void ScreensChanged();
    // A new empty note from the factory; errors are reported.
    void CreateNewNoteCommand() override;
    // The selected note's place, size and text in the details pane, or "..." with no selection.
    void ShowNoteDetails();
    TfrmNote* SelectedNote() const;
    // What a press of the right mouse button on the list does before its menu opens: the entry
    // under the point, if any, is selected and the menu's entries fit it.
    void lbNotesRightClick(const QPoint& point);
    // The details pane's text becomes the selected note's text.
    void btnUpdateClick();
    // Restores and raises every note holding the text; a message when none does.
    void FindInNotes(const std::string& text, bool matchCase);
    void ShowFindDialog();
    // The undelete command, and what it does with the chosen deleted note file.
    void UndeleteCommand();
    void UndeleteFile(const std::string& path);
    void OpenNotesFolder();
    // The tray icon chooser; a file that cannot be loaded as an icon changes nothing.
    void ChooseTrayIcon();
    // The default font of new notes, through the font dialog.
    void btnFontClick();
    // Writes or removes the start-at-login entry.
    void chkStartupClick();
    void ShowAbout();
    // The tray icon's image: TrayIconFile when it names a file, the built-in icon otherwise.
    void ApplyTrayIcon();
    // A 16 x 16 yellow note with a darker title strip.
    static QIcon BuiltInTrayIcon();

    // The arrangement commands: every note rolls up, then the rolled-up notes become a block
    // (near-square, one row, one column) snapped to the grid as the Options tab says.
    void cmArrangeInaClusterClick();
    void cmArrangeHorizontallyClick();
    void cmArrangeVerticallyClick();

    // The Appearance tab. The preview strip from GradientStart to GradientEnd, column by column.
    void DrawGradient(QPainter& painter) const;
    // A mouse button released at x on the strip: the colour dialog for the nearer end.
    void pbGradientMouseUp(int x);
    // Each listed note in turn takes the next colour of the gradient from c1 to c2.
    void ApplyGradient(TColor c1, TColor c2);
    void btnApplyGradientClick();
    void btnRandomizeColorsClick();
    void btnGradientFromNotesClick();
    // Every note takes a brightened average of the desktop under the left end of its title bar.
    void btnDesktopWallpaperClick();
    void TakeDesktopColor(TfrmNote& note);
    // The rectangle of the screen whose colour a note takes: 17 pixels of its title bar.
    static QRect DesktopColorArea(const TfrmNote& note);
    void btnDarkerClick();
    void btnBrighterClick();
    // The desktop's pixels in rectangles of screen coordinates, one image each, with the notes
    // and the panel out of the way; a null image where they cannot be had. Tests put their own
    // desktop here.
    std::function<std::vector<QImage>(const std::vector<QRect>&)> GrabDesktop;

    // The network side, made with the panel; its address book is read by LoadDataModule.
    Tdm& dm() { return *Dm_; }
    void LoadDataModule();
    // What the first showing of the panel starts: the receive timer, and listening again when
    // it was on.
    void FormShow();
    // Starts the SMTP server on the port field's port; messages for every refusal.
    void btnListenClick();
    void btnStopClick();
    // Every message waiting in the receive queue becomes a read-only note.
    void timQueueTimer();
    void btnWav1Click();
    void AddLogLine(const std::string& text);
    // How the send dialog is run; tests answer it themselves.
    std::function<bool(TfrmSend&)> RunSendDialog;

    // user@computer:port while listening, empty otherwise.
    std::string NetworkIdentity;
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
    bool ConfirmDeletes() const override;
    void NoteClosed(TfrmNote& note) override;
    void NoteDestroyed(TfrmNote& note) override;
    IDialogs& Dialogs() override { return Services_.Dialogs; }
    IDesktop& Desktop() override { return Services_.Desktop; }
    IScreens& Screens() override { return Services_.Screens; }
    TFileDialogOptions& ImportDialog() override { return dlgOpen; }
    TFileDialogOptions& ExportDialog() override { return dlgSave; }
    TSnapSettings SnapSettings() const override;
    const TBoxController& BoxController() const override { return BoxController_; }
    // The one snapper of the program, made and refreshed from the monitors on first use.
    TScreenSnapper& GetScreenSnapper() override;
    void MoveMinimizedNotes(int32_t dx, int32_t dy, int32_t id) override;
    // The send command of a note: the address from the send dialog, the note as a mail message
    // to the peer's SMTP server, the peer into the address book and the log.
    void SendNote(TfrmNote& note) override;
    void ExitCommand() override { Q_EMIT ExitRequested(); }

    // IBoxRegistry: the notes list as snapping sees it.
    int GetBoxCount() const override;
    TBox GetBox(int index) const override;

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
    QTimer* timQueue;
    QMenuBar* mmMain;
    QMenu* pmTray;
    QAction* pmAppLabel;
    QAction* cmCreateVornNote;
    QSystemTrayIcon* TrayIcon;
    QListView* lbNotes;
    QSplitter* splNotes;
    QWidget* pnlNoteDetails;
    QLabel* lblPos;
    QLabel* lblSize;
    QPlainTextEdit* memContents;
    QPushButton* btnUpdate;
    QPushButton* btnDesktopWallpaper;
    QPushButton* btnDarker;
    QPushButton* btnBrighter;
    QWidget* pbGradient;
    QPushButton* btnApplyGradient;
    QPushButton* btnRandomizeColors;
    QPushButton* btnGradientFromNotes;
    QMenu* ppmNotes;
    QAction* cmSendNoteOverNetwork;
    QAction* ppmMinimize;
    QAction* ppmMaximize;
    QAction* ppmDelete;
    TfrmFind* dlgFind = nullptr; // made when first asked for

    // The file dialogs' settings, kept between runs.
    TFileDialogOptions dlgOpen;
    TFileDialogOptions dlgSave;
    TFileDialogOptions dlgOpenIcon;

Q_SIGNALS:
    // The exit command, carried out by the application.
    void ExitRequested();

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void ShowDefaultFont();
    void BuildOptionsTab();
    void BuildNetworkTab();
    void BuildNotesTab();
    void BuildAppearanceTab();
    void BuildMenus();
    void BuildTray();
    void WatchScreens();
    // The remembered place becomes the primary screen's centre when it is on no monitor.
    void KeepPanelPlaceOnScreen();
    void RepaintNotes(bool minimizedOnly);
    void RemoveEntry(const TfrmNote& note);
    using TArrangement = void (*)(std::vector<TNotePlace>&, bool, int32_t, int32_t);
    void ArrangeNotes(TArrangement arrange);
    void ShiftNoteColors(int amount);
    void TakeColorFrom(TfrmNote& note, const QImage& desktop);
    std::vector<QImage> GrabDesktopBehindWindows(const std::vector<QRect>& areas);

    TServices Services_;
    TqzRegVal Ini_;
    TNoteCounter NoteNumbers_;
    std::unique_ptr<TConfigurationManager> Store_;
    INoteFactory* Factory_ = nullptr;
    TNotesListModel* NotesModel_;
    TBoxController BoxController_{*this};
    std::unique_ptr<Tdm> Dm_;
    std::unique_ptr<TScreenSnapper> ScreenSnapper_;
    bool ScreensChangePending_ = false;
};
