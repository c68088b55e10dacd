#pragma once

#include "UGraphics.h"
#include "UNoteDrawing.h"
#include "UTNoteConfig.h"

#include <QWidget>

#include <cstdint>
#include <string>
#include <vector>

class IPrompt;
class QMenu;
class TNoteBody;
class TfrmNote;

// What a note window needs from the program around it.
class INoteHost {
public:
    virtual ~INoteHost() = default;
    virtual IPrompt& Prompt() = 0;
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
};

struct TMonitor;
class TfrmNote;
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
    static constexpr int MinWidth = 64;
    static constexpr int MinHeight = 36;

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

    // Asks when it must, saves the text, keeps the record, leaves the registry, moves the note
    // file to its deleted name and closes the window.
    void pmDeleteClick();

    // The note's menu; empty until its commands exist.
    QMenu& NoteMenu();
    // Opens the note's menu with its top-left corner at a screen position.
    void PopupMenu(const QPoint& globalPosition);

    // Pointer handling of the title bar and the grip: presses and releases in their own pixels,
    // moves on the screen.
    void TitlePress(const QPoint& point);
    void TitleMove(const QPoint& globalPoint);
    void TitleRelease(const QPoint& point);
    void TitleDoubleClick();
    void GripPress(const QPoint& point);
    void GripMove(const QPoint& globalPoint);
    void GripRelease();

Q_SIGNALS:
    // The note's menu was asked for at a screen position.
    void MenuRequested(const QPoint& globalPosition);

protected:
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void LayOut();
    void ApplyBodyLook();
    void ShowRolledUp();

    INoteHost& Host_;
    QWidget* pb_;
    TNoteBody* mem_;
    QWidget* pbSize_;
    QMenu* pm_ = nullptr;

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
