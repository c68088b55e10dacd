#include "UfrmNote.h"

#include "UFileUtil.h"
#include "UNoteBody.h"
#include "UNoteFiles.h"
#include "UNoteTitle.h"
#include "UPlatform.h"
#include "UQtColors.h"
#include "UQtText.h"
#include "UScreenFunctions.h"

#include <QCloseEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QWindow>

#include <algorithm>
#include <optional>

namespace {

// The painted title bar: its events go to the note.
class TTitleBar : public QWidget {
public:
    TTitleBar(TfrmNote& note) : QWidget(&note), Note_(note) {
        setObjectName(QStringLiteral("pb"));
        setAttribute(Qt::WA_OpaquePaintEvent);
    }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        Note_.DrawTitle(painter);
    }
    void mousePressEvent(QMouseEvent* event) override {
        if (event->button() == Qt::LeftButton)
            Note_.TitlePress(event->position().toPoint());
    }
    void mouseMoveEvent(QMouseEvent* event) override {
        Note_.TitleMove(event->globalPosition().toPoint());
    }
    void mouseReleaseEvent(QMouseEvent* event) override {
        if (event->button() == Qt::LeftButton)
            Note_.TitleRelease(event->position().toPoint());
    }
    void mouseDoubleClickEvent(QMouseEvent* event) override {
        if (event->button() == Qt::LeftButton)
            Note_.TitleDoubleClick();
    }
    void contextMenuEvent(QContextMenuEvent* event) override {
        Note_.PopupMenu(event->globalPos());
    }

private:
    TfrmNote& Note_;
};

// The resize grip in the bottom-right corner.
class TSizeGrip : public QWidget {
public:
    TSizeGrip(TfrmNote& note) : QWidget(&note), Note_(note) {
        setObjectName(QStringLiteral("pbSize"));
        setAttribute(Qt::WA_OpaquePaintEvent);
        setCursor(Qt::SizeFDiagCursor);
        resize(TfrmNote::GripSize, TfrmNote::GripSize);
    }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        Note_.DrawGrip(painter);
    }
    void mousePressEvent(QMouseEvent* event) override {
        if (event->button() == Qt::LeftButton)
            Note_.GripPress(event->position().toPoint());
    }
    void mouseMoveEvent(QMouseEvent* event) override {
        Note_.GripMove(event->globalPosition().toPoint());
    }
    void mouseReleaseEvent(QMouseEvent*) override { Note_.GripRelease(); }

private:
    TfrmNote& Note_;
};

// The menu box reacts to a press anywhere in x 4..16, y 4..16, larger than the drawn box.
bool InMenuBox(int x, int y) {
    return x >= 4 && x <= 16 && y >= 4 && y <= 16;
}

} // namespace

void BringOntoScreen(TfrmNote& note, const std::vector<TMonitor>& monitors) {
    if (RectOnScreen(monitors, note.x(), note.y(), note.width(), note.height()))
        return;
    const TPoint place = MoveOntoScreen(
        monitors, {note.x(), note.y(), note.x() + note.width(), note.y() + note.height()});
    note.move(place.X, place.Y);
}

TfrmNote::TfrmNote(INoteHost& host)
    : QWidget(nullptr, Qt::Tool | Qt::FramelessWindowHint), Host_(host) {
    setObjectName(QStringLiteral("TfrmNote"));
    setAttribute(Qt::WA_DeleteOnClose);
    // The title bar, body and grip cover the whole window.
    setAttribute(Qt::WA_OpaquePaintEvent);
    setAttribute(Qt::WA_NoSystemBackground);
    setFont(TitleFont());
    pb_ = new TTitleBar(*this);
    mem_ = new TNoteBody(this);
    pbSize_ = new TSizeGrip(*this);
    connect(mem_, &TNoteBody::TextChanged, this, [this] {
        if (!IsModified_)
            SetModified(true);
    });
    SetNoteColor(DefaultNoteColor);
    SetBodyFont("MS Sans Serif", 8, 0);
    resize(119, 107);
}

TfrmNote::~TfrmNote() {
    Host_.NoteDestroyed(*this);
}

std::string TfrmNote::Text() const {
    QString text = mem_->Text();
    text.replace(QLatin1Char('\n'), QStringLiteral("\r\n"));
    return EncodeText(text);
}

void TfrmNote::SetText(const std::string& text) {
    QString body = DecodeText(ToCRLF(text));
    body.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    mem_->SetText(body);
}

QFont TfrmNote::BodyFont() const {
    return mem_->NoteFont();
}

void TfrmNote::SetBodyFont(const std::string& name, int32_t pointSize, TColor color) {
    QFont font(QString::fromStdString(name));
    if (pointSize > 0)
        font.setPointSize(pointSize);
    mem_->SetNoteFont(font);
    FontColor_ = color;
    ApplyBodyLook();
}

void TfrmNote::ApplyBodyLook() {
    mem_->SetColors(ToQColor(NoteColor_), ToQColor(FontColor_));
}

void TfrmNote::SetReadOnly(bool readOnly) {
    if (IsModified_)
        SaveText();
    IsReadOnly_ = readOnly;
    mem_->SetReadOnly(readOnly);
}

void TfrmNote::SetStayOnTop(bool onTop) {
    IsOnTop_ = onTop;
    // Only the hint changes: the window keeps its place and size and is not activated.
    Qt::WindowFlags flags = windowFlags();
    flags.setFlag(Qt::WindowStaysOnTopHint, onTop);
    overrideWindowFlags(flags);
    if (QWindow* window = windowHandle())
        window->setFlags(flags);
    pbPaint();
}

void TfrmNote::SetModified(bool modified) {
    IsModified_ = modified;
    pbPaint();
}

void TfrmNote::SetNoteColor(TColor color) {
    NoteColor_ = color;
    Colors_ = TitleColorsFor(color);
    ApplyBodyLook();
}

void TfrmNote::ShowRolledUp() {
    pb_->setToolTip(QString::fromStdString(FirstLine(Text())));
    mem_->hide();
    pbSize_->hide();
    resize(MinimizedSize, MinimizedSize);
    LayOut();
    pbPaint();
}

void TfrmNote::Minimize() {
    if (IsMinimized_)
        return;
    if (IsModified_)
        SaveText();
    RestoreWidth_ = width();
    RestoreHeight_ = height();
    IsMinimized_ = true;
    ShowRolledUp();
}

void TfrmNote::Restore() {
    if (!IsMinimized_)
        return;
    pb_->setToolTip(QString());
    IsMinimized_ = false;
    resize(RestoreWidth_, RestoreHeight_);
    mem_->show();
    pbSize_->show();
    LayOut();
    pbPaint();
}

void TfrmNote::ToggleMinimized() {
    if (IsMinimized_)
        Restore();
    else
        Minimize();
}

void TfrmNote::LoadText() {
    const std::optional<std::string> text =
        ReadFileIfExists(NoteFileName(Host_.AppFolder(), NoteId_));
    if (!text)
        return;
    SetText(*text);
    SetModified(false);
}

void TfrmNote::SaveText() {
    WriteFileAtomic(NoteFileName(Host_.AppFolder(), NoteId_), Text());
    SetModified(false);
}

void TfrmNote::ApplyConfig(const TNoteConfig& config) {
    NoteId_ = config.Id;
    move(config.Left, config.Top);
    RestoreWidth_ = config.Width;
    RestoreHeight_ = config.Height;
    IsMinimized_ = config.Minimized;
    IsSystemNote_ = config.SystemNote;
    IsChat_ = config.Chat;
    SetReadOnly(config.ReadOnly);
    SetStayOnTop(config.OnTop);
    SetNoteColor(config.Color);
    SetBodyFont(config.FontName, config.FontSize, config.FontColor);
    if (IsMinimized_) {
        ShowRolledUp();
    } else {
        resize(config.Width, config.Height);
        pbPaint();
        pbSizePaint();
    }
}

void TfrmNote::FillConfig(TNoteConfig& config) const {
    config.Id = NoteId_;
    config.Left = x();
    config.Top = y();
    config.Width = IsMinimized_ ? RestoreWidth_ : width();
    config.Height = IsMinimized_ ? RestoreHeight_ : height();
    config.Minimized = IsMinimized_;
    config.SystemNote = IsSystemNote_;
    config.Chat = IsChat_;
    config.ReadOnly = IsReadOnly_;
    config.OnTop = IsOnTop_;
    config.Color = NoteColor_;
    const QFont font = BodyFont();
    config.FontSize = font.pointSize();
    config.FontColor = FontColor_;
    config.FontName = font.family().toStdString();
}

TNoteConfig TfrmNote::CreateConfig() const {
    TNoteConfig config;
    FillConfig(config);
    return config;
}

QString TfrmNote::TitleText() const {
    return QString::fromStdString(NoteTitleText(Host_.NotesTitle(), NoteId_, IsSystemNote_));
}

void TfrmNote::pbPaint() {
    pb_->repaint();
}

void TfrmNote::pbSizePaint() {
    if (!IsMinimized_)
        pbSize_->repaint();
}

void TfrmNote::DrawTitle(QPainter& painter) const {
    if (IsMinimized_) {
        DrawMinimizedTitle(painter, Colors_, IsReadOnly_ && Host_.ShowReadOnlyMarks(),
                           IsOnTop_ && Host_.ShowOnTopMarks());
        return;
    }
    DrawNoteTitle(painter, pb_->width(), pb_->height(),
                  {Colors_, IsReadOnly_, IsOnTop_, IsModified_, TitleText()});
}

void TfrmNote::DrawGrip(QPainter& painter) const {
    DrawSizeGrip(painter, Colors_);
}

QMenu& TfrmNote::NoteMenu() {
    if (pm_ == nullptr) {
        pm_ = new QMenu(this);
        pm_->setObjectName(QStringLiteral("pm"));
    }
    return *pm_;
}

void TfrmNote::PopupMenu(const QPoint& globalPosition) {
    QMenu& menu = NoteMenu();
    if (!menu.isEmpty())
        menu.popup(globalPosition);
    Q_EMIT MenuRequested(globalPosition);
}

void TfrmNote::TitlePress(const QPoint& point) {
    IsDragging_ = true;
    DownX_ = point.x();
    DownY_ = point.y();
}

void TfrmNote::TitleMove(const QPoint& globalPoint) {
    if (!IsDragging_)
        return;
    // left + (pointer in the bar) - DownX, with the pointer taken on the screen: motion events
    // may still be relative to where the window was before the last move.
    const int left = globalPoint.x() - DownX_;
    const int top = globalPoint.y() - DownY_;
    if (left != x() || top != y())
        move(left, top);
}

void TfrmNote::TitleRelease(const QPoint& point) {
    IsDragging_ = false;
    const bool click = pb_->rect().contains(point) && !DoubleClicked_;
    DoubleClicked_ = false;
    if (click && InMenuBox(DownX_, DownY_) && !IsMinimized_)
        PopupMenu(mapToGlobal(QPoint(8, 8)));
}

void TfrmNote::TitleDoubleClick() {
    DoubleClicked_ = true;
    RunReported(Host_.Prompt(), [this] { ToggleMinimized(); });
}

void TfrmNote::GripPress(const QPoint& point) {
    IsSizing_ = true;
    DownX_ = point.x();
    DownY_ = point.y();
}

void TfrmNote::GripMove(const QPoint& globalPoint) {
    if (!IsSizing_)
        return;
    // width + (pointer in the grip) - DownX, the grip's left being left + width - 12.
    const int newWidth = std::max(MinWidth, globalPoint.x() - x() + GripSize - DownX_);
    const int newHeight = std::max(MinHeight, globalPoint.y() - y() + GripSize - DownY_);
    resize(newWidth, newHeight);
}

void TfrmNote::GripRelease() {
    IsSizing_ = false;
}

void TfrmNote::LayOut() {
    if (IsMinimized_) {
        pb_->setGeometry(0, 0, MinimizedSize, MinimizedSize);
        return;
    }
    pb_->setGeometry(0, 0, width(), TitleHeight);
    mem_->setGeometry(0, TitleHeight, width(), std::max(0, height() - TitleHeight));
    pbSize_->move(width() - GripSize, height() - GripSize);
    pbSize_->raise();
}

void TfrmNote::resizeEvent(QResizeEvent*) {
    LayOut();
}

void TfrmNote::showEvent(QShowEvent*) {
    LayOut();
    pbPaint();
}

void TfrmNote::closeEvent(QCloseEvent* event) {
    event->accept();
    Host_.NoteClosed(*this);
}

void TfrmNote::pmDeleteClick() {
    std::string question = "Are you sure you want to delete this VornNote?";
    if (IsReadOnly_)
        question = "This is a Read-Only VornNote!\r\n" + question;
    if ((Host_.ConfirmDeletes() || IsReadOnly_) && !Host_.Prompt().Confirm(question))
        return;
    if (IsModified_)
        SaveText();
    Host_.UpdateNoteRecord(*this);
    Host_.UnregisterNote(NoteId_);
    // A rename that fails leaves the file where it is; the note is deleted all the same.
    MoveNoteFileToDeleted(Host_.AppFolder(), NoteId_);
    close();
}
