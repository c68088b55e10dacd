#pragma once

#include "UGraphics.h"
#include "UNoteDrawing.h"
#include "UNoteSnapping.h"
#include "UTNoteConfig.h"

#include <QWidget>

#include <cstdint>
#include <string>
#include <vector>

class IDesktop;
class IDialogs;
class IPrompt;
class IScreens;
class QAction;
class QMenu;
class TBoxController;
class TNoteBody;
class TScreenSnapper;
class TfrmNote;
class TqzRegVal;
struct TFileDialogOptions;

// What a note window needs from the program around it.
class INoteHost {
public:
    virtual ~INoteHost() = default;
    virtual IPrompt& Prompt() = 0;
    virtual IDialogs& Dialogs() = 0;
    virtual IDesktop& Desktop() = 0;
    virtual IScreens& Screens() = 0;
    // The settings store, for what notes remember directly in it.
    virtual TqzRegVal& Ini() = 0;
    // The import and export dialogs' settings, shared by every note.
    virtual TFileDialogOptions& ImportDialog() = 0;
    virtual TFileDialogOptions& ExportDialog() = 0;
    virtual const std::string& AppFolder() const = 0;
    // The title template, "$id$" standing for the note number, as the settings show it now.
    virtual std::string NotesTitle() const = 0;
    // Whether rolled-up notes show their read-only and stay-on-top marks.
    virtual bool ShowReadOnlyMarks() const = 0;
    virtual bool ShowOnTopMarks() const = 0;
    // Whether deleting an ordinary note asks first.
    virtual bool ConfirmDeletes() const = 0;
    // The window's state into its record in the note store, when it has one.
    virtual void UpdateNoteRecord(const TfrmNote& note) = 0;
    // The first registered window with that number leaves the registry.
    virtual void UnregisterNote(int32_t id) = 0;
    // The window was closed: it leaves the registry and its record is brought up to date.
    virtual void NoteClosed(TfrmNote& note) = 0;
    // The window is being destroyed: its record is brought up to date (when it has one).
    virtual void NoteDestroyed(TfrmNote& note) = 0;

    // The snapping aids as the control panel shows them now, and what they snap against.
    virtual TSnapSettings SnapSettings() const = 0;
    virtual const TBoxController& BoxController() const = 0;
    virtual TScreenSnapper& GetScreenSnapper() = 0;
    // Every other rolled-up note moves by the offset.
    virtual void MoveMinimizedNotes(int32_t dx, int32_t dy, int32_t id) = 0;

    // Application-wide commands that a note's menu and keys reach.
    virtual void ShowControlPanel() = 0;
    virtual void CreateNewNoteCommand() = 0;
    virtual void SendNote(TfrmNote& note) = 0;
    virtual void ExitCommand() = 0;
};

// What a key released in a note does.
enum class TNoteKeyCommand {
    None, // left to the body
    SelectAll,
    Save,
    ControlPanel,
    Delete,
    BackgroundColor,
    NewRandomColor,
    Font,
    FontColor,
    NewRandomFontColor,
};
// Ctrl counts whatever else is held; F11 alone means none of Shift, Ctrl and Alt.
TNoteKeyCommand NoteKeyCommand(int key, Qt::KeyboardModifiers modifiers);

struct TMonitor;
// A note that is not wholly on the monitors' work areas is moved, keeping its size, into the
// work area of the monitor nearest to it.
void BringOntoScreen(TfrmNote& note, const std::vector<TMonitor>& monitors);

// One note on the desktop: a borderless tool window with a painted title bar, a plain-text
// body and a resize grip. It holds the live state of its note; the note store holds the record.
class TfrmNote : public QWidget {
    Q_OBJECT

public:
    static constexpr int TitleHeight = 16;
    static constexpr int MinimizedSize = 17;
    static constexpr int GripSize = 12;
    static constexpr int MinWidth = MinNoteWidth;
    static constexpr int MinHeight = MinNoteHeight;

    explicit TfrmNote(INoteHost& host);
    ~TfrmNote() override;

    int32_t NoteId() const { return NoteId_; }
    void SetNoteId(int32_t id) { NoteId_ = id; }

    // The body text with CR LF between lines, as the note file holds it.
    std::string Text() const;
    void SetText(const std::string& text);
    TNoteBody& Body() { return *mem_; }

    TColor NoteColor() const { return NoteColor_; }
    const TTitleColors& TitleColors() const { return Colors_; }
    QFont BodyFont() const;
    TColor FontColor() const { return FontColor_; }
    void SetBodyFont(const std::string& name, int32_t pointSize, TColor color);

    bool IsMinimized() const { return IsMinimized_; }
    bool IsReadOnly() const { return IsReadOnly_; }
    bool IsOnTop() const { return IsOnTop_; }
    bool IsModified() const { return IsModified_; }
    bool IsSystemNote() const { return IsSystemNote_; }
    void SetSystemNote(bool systemNote) { IsSystemNote_ = systemNote; }
    bool IsChat() const { return IsChat_; }
    int RestoreWidth() const { return RestoreWidth_; }
    int RestoreHeight() const { return RestoreHeight_; }

    // Saves pending changes first; then the body is editable or not.
    void SetReadOnly(bool readOnly);
    // Enters or leaves the topmost band without moving, resizing or activating the window.
    void SetStayOnTop(bool onTop);
    void SetModified(bool modified);
    // The window and body colour; the title colours follow. Callers repaint.
    void SetNoteColor(TColor color);

    void Minimize();
    void Restore();
    void ToggleMinimized();

    // The note file's text into the body, line breaks as CR LF; nothing when there is no file.
    void LoadText();
    // The body's text into the note file. Raises Exception when it cannot be written; the text
    // then stays marked as modified.
    void SaveText();

    void ApplyConfig(const TNoteConfig& config);
    void FillConfig(TNoteConfig& config) const;
    TNoteConfig CreateConfig() const;

    // The title as drawn: the template with the note number, "System " for a system note.
    QString TitleText() const;
    void pbPaint();
    void pbSizePaint();
    // Draws the title bar or the grip as it looks now, onto any painter.
    void DrawTitle(QPainter& painter) const;
    void DrawGrip(QPainter& painter) const;

    // The commands of the note's menu and keys.
    void pmControlPanelClick();
    void pmSaveVornNoteClick();
    void pmSendNoteOverNetworkClick();
    void pmBackgroundColorClick();
    void pmNewRandomColorClick();
    void pmFontClick();
    void pmFontColorClick();
    void pmNewRandomFontColorClick();
    // The body takes the whole file, line breaks as CR LF, unmodified until it is saved.
    void pmImportTextFileClick();
    // The body's text exactly as it is, replacing the file.
    void pmExportTextFileClick();
    void cmOpeninDefaultTextEditorClick();
    void pmNewVornNoteClick();
    // Asks when it must, saves the text, keeps the record, leaves the registry, moves the note
    // file to its deleted name and closes the window.
    void pmDeleteClick();
    void pmReadOnlyClick();
    void pmStayOnTopClick();
    void pmExitApplicationClick();
    // Files dropped on the note: the first one becomes its text, unless the note is read-only.
    void FilesDropped(const std::vector<std::string>& paths);
    // What a released key does; false when the key is left to the body.
    bool FormKeyUp(int key, Qt::KeyboardModifiers modifiers);

    // The note's menu, its check marks as the note is now.
    QMenu& NoteMenu();
    // Opens the note's menu with its top-left corner at a screen position.
    void PopupMenu(const QPoint& globalPosition);

    // Pointer handling of the title bar and the grip: presses and releases in their own pixels,
    // moves on the screen.
    void TitlePress(const QPoint& point);
    void TitleMove(const QPoint& globalPoint, Qt::KeyboardModifiers modifiers = {});
    void TitleRelease(const QPoint& point);
    void TitleDoubleClick();
    void GripPress(const QPoint& point);
    void GripMove(const QPoint& globalPoint);
    void GripRelease();

Q_SIGNALS:
    // The note's menu was asked for at a screen position.
    void MenuRequested(const QPoint& globalPosition);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void BuildMenu();
    // Snaps against the other notes, the screens and the grid as the control panel says.
    TSnapTargets SnapTargets(const TSnapSettings& settings);
    // A gesture's press: the screen edges are taken afresh when they are snapped to.
    void StartGesture(const QPoint& point);
    void RepaintTitleAndGrip();
    // The text a file brings into the body.
    void TakeFileText(const std::string& path);
    void LayOut();
    void ApplyBodyLook();
    void ShowRolledUp();

    INoteHost& Host_;
    QWidget* pb_;
    TNoteBody* mem_;
    QWidget* pbSize_;
    QMenu* pm_ = nullptr;
    QAction* pmReadOnly_ = nullptr;
    QAction* pmStayOnTop_ = nullptr;

    int32_t NoteId_ = 0;
    TColor NoteColor_ = DefaultNoteColor;
    TTitleColors Colors_;
    TColor FontColor_ = 0;
    bool IsChat_ = false;
    bool IsSystemNote_ = false;
    bool IsMinimized_ = false;
    bool IsOnTop_ = false;
    bool IsReadOnly_ = false;
    bool IsModified_ = false;
    int RestoreWidth_ = 0;
    int RestoreHeight_ = 0;
    int DownX_ = 0;
    int DownY_ = 0;
    bool IsDragging_ = false;
    bool IsSizing_ = false;
    bool DoubleClicked_ = false; // the release after a double click is no click
};
