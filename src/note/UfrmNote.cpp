#include "UfrmNote.h"

#include "UFileUtil.h"
#include "UNoteBody.h"
#include "UNoteFiles.h"
#include "UNoteTitle.h"
#include "UPlatform.h"
#include "UQtColors.h"
#include "UQtText.h"
#include "UScreenFunctions.h"
#include "UTBoxController.h"
#include "qzRegVal.h"
#include "qzScreenSnapper.h"

#include <QCloseEvent>
#include <QDropEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QMimeData>
#include <QMouseEvent>
#include <QPainter>
#include <QUrl>
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
        Note_.TitleMove(event->globalPosition().toPoint(), event->modifiers());
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

// The local files of a drag, in the order they were dropped.
std::vector<std::string> LocalFiles(const QMimeData& data) {
    std::vector<std::string> files;
    for (const QUrl& url : data.urls())
        if (url.isLocalFile())
            files.push_back(url.toLocalFile().toStdString());
    return files;
}

// The folder part of a file name, ending with the separator.
std::string FolderOf(const std::string& path) {
    const size_t slash = path.find_last_of('/');
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

} // namespace

TNoteKeyCommand NoteKeyCommand(int key, Qt::KeyboardModifiers modifiers) {
    const bool ctrl = modifiers.testFlag(Qt::ControlModifier);
    const bool none = !(modifiers & (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier));
    switch (key) {
    case Qt::Key_A:
        return ctrl ? TNoteKeyCommand::SelectAll : TNoteKeyCommand::None;
    case Qt::Key_S:
        return ctrl ? TNoteKeyCommand::Save : TNoteKeyCommand::None;
    case Qt::Key_F2:
        return TNoteKeyCommand::ControlPanel;
    case Qt::Key_F4:
        // F4 alone is the control panel's new-note shortcut, which acts on the press.
        return ctrl ? TNoteKeyCommand::Delete : TNoteKeyCommand::None;
    case Qt::Key_F9:
        return TNoteKeyCommand::BackgroundColor;
    case Qt::Key_F10:
        return TNoteKeyCommand::NewRandomColor;
    case Qt::Key_F11:
        return ctrl   ? TNoteKeyCommand::Font
               : none ? TNoteKeyCommand::FontColor
                      : TNoteKeyCommand::None;
    case Qt::Key_F12:
        return TNoteKeyCommand::NewRandomFontColor;
    default:
        return TNoteKeyCommand::None;
    }
}

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
    mem_->SetPreviewFilter(this);
    setAcceptDrops(true);
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

void TfrmNote::BuildMenu() {
    pm_ = new QMenu(this);
    pm_->setObjectName(QStringLiteral("pm"));
    // The keys are the note's own (FormKeyUp); the menu only shows them, after a tab.
    const auto entry = [this](QMenu* menu, const char* name, const char* caption, const char* key,
                              void (TfrmNote::*command)()) {
        QString text = QString::fromUtf8(caption);
        if (*key != '\0')
            text += QLatin1Char('\t') + QString::fromLatin1(key);
        QAction* action = menu->addAction(text);
        action->setObjectName(QString::fromLatin1(name));
        connect(action, &QAction::triggered, this,
                [this, command] { RunReported(Host_.Prompt(), [&] { (this->*command)(); }); });
        return action;
    };
    entry(pm_, "pmControlPanel", "&控制面板", "F2", &TfrmNote::pmControlPanelClick);
    pm_->addSeparator();
    entry(pm_, "pmSaveVornNote", "保存这个VornNote", "Ctrl+S", &TfrmNote::pmSaveVornNoteClick);
    entry(pm_, "pmSendNoteOverNetwork", "通过网络发送这个 Vorn-Note (&S)...", "F5",
          &TfrmNote::pmSendNoteOverNetworkClick);
    pm_->addSeparator();
    QMenu* appearance = pm_->addMenu(QStringLiteral("外观（颜色＆字体）(&&A)"));
    appearance->setObjectName(QStringLiteral("pmAppearance"));
    entry(appearance, "pmBackgroundColor", "背景颜色(&B)", "F9", &TfrmNote::pmBackgroundColorClick);
    entry(appearance, "pmNewRandomColor", "新的随机颜色(&R)", "F10",
          &TfrmNote::pmNewRandomColorClick);
    appearance->addSeparator();
    entry(appearance, "pmFont", "字体(&F)", "Ctrl+F11", &TfrmNote::pmFontClick);
    entry(appearance, "pmFontColor", "字体颜色(&O)", "F11", &TfrmNote::pmFontColorClick);
    entry(appearance, "pmNewRandomFontColor", "新的随机字体颜色(&N)", "F12",
          &TfrmNote::pmNewRandomFontColorClick);
    pm_->addSeparator();
    entry(pm_, "pmImportTextFile", "导入文本文件(&I)", "", &TfrmNote::pmImportTextFileClick);
    entry(pm_, "pmExportTextFile", "导出文本文件(&E)", "", &TfrmNote::pmExportTextFileClick);
    entry(pm_, "cmOpeninDefaultTextEditor", "打开默认的文本编辑器(&O)", "",
          &TfrmNote::cmOpeninDefaultTextEditorClick);
    pm_->addSeparator();
    entry(pm_, "pmNewVornNote", "新建 Vorn-Note(&N)", "F4", &TfrmNote::pmNewVornNoteClick);
    // Chats do not exist: the entry is there, hidden and disabled.
    QAction* chat = pm_->addAction(QStringLiteral("&新建 Vorn-Chat\tF6"));
    chat->setObjectName(QStringLiteral("pmNewVornChat"));
    chat->setVisible(false);
    chat->setEnabled(false);
    entry(pm_, "pmDelete", "删除这个便笺(&D)", "Ctrl+F4", &TfrmNote::pmDeleteClick);
    pm_->addSeparator();
    pmReadOnly_ = entry(pm_, "pmReadOnly", "只读(&R)", "", &TfrmNote::pmReadOnlyClick);
    pmStayOnTop_ = entry(pm_, "pmStayOnTop", "保持在最前面(&T)", "", &TfrmNote::pmStayOnTopClick);
    pmReadOnly_->setCheckable(true);
    pmStayOnTop_->setCheckable(true);
    pm_->addSeparator();
    // Queued: exiting destroys this window, which must not happen inside its own menu.
    QAction* exit = pm_->addAction(QStringLiteral("退出应用(&X)..."));
    exit->setObjectName(QStringLiteral("pmExitApplication"));
    connect(exit, &QAction::triggered, this, &TfrmNote::pmExitApplicationClick,
            Qt::QueuedConnection);
}

QMenu& TfrmNote::NoteMenu() {
    if (pm_ == nullptr)
        BuildMenu();
    pmReadOnly_->setChecked(IsReadOnly_);
    pmStayOnTop_->setChecked(IsOnTop_);
    return *pm_;
}

void TfrmNote::PopupMenu(const QPoint& globalPosition) {
    NoteMenu().popup(globalPosition);
    Q_EMIT MenuRequested(globalPosition);
}

TSnapTargets TfrmNote::SnapTargets(const TSnapSettings& settings) {
    return {settings, Host_.BoxController(), Host_.GetScreenSnapper()};
}

void TfrmNote::StartGesture(const QPoint& point) {
    DownX_ = point.x();
    DownY_ = point.y();
    // The monitors are asked once per gesture, not on every move.
    if (Host_.SnapSettings().Edges)
        Host_.GetScreenSnapper().Refresh(Host_.Screens().Monitors());
}

void TfrmNote::TitlePress(const QPoint& point) {
    IsDragging_ = true;
    StartGesture(point);
}

void TfrmNote::TitleMove(const QPoint& globalPoint, Qt::KeyboardModifiers modifiers) {
    if (!IsDragging_)
        return;
    // left + (pointer in the bar) - DownX, with the pointer taken on the screen: motion events
    // may still be relative to where the window was before the last move.
    const TSnapSettings settings = Host_.SnapSettings();
    const TPoint place =
        SnappedPosition(SnapTargets(settings), NoteId_, int64_t{globalPoint.x()} - DownX_,
                        int64_t{globalPoint.y()} - DownY_, width(), height());
    const int dx = place.X - x();
    const int dy = place.Y - y();
    if (dx == 0 && dy == 0)
        return;
    move(place.X, place.Y);
    if (IsMinimized_ && modifiers.testFlag(Qt::ControlModifier))
        Host_.MoveMinimizedNotes(dx, dy, NoteId_);
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
    StartGesture(point);
}

void TfrmNote::GripMove(const QPoint& globalPoint) {
    if (!IsSizing_)
        return;
    // width + (pointer in the grip) - DownX, the grip's left being left + width - 12.
    const TSnapSettings settings = Host_.SnapSettings();
    const TSize size = SnappedSize(SnapTargets(settings), NoteId_, x(), y(),
                                   int64_t{globalPoint.x()} - x() + GripSize - DownX_,
                                   int64_t{globalPoint.y()} - y() + GripSize - DownY_);
    resize(size.Width, size.Height);
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

bool TfrmNote::eventFilter(QObject* watched, QEvent* event) {
    switch (event->type()) {
    case QEvent::KeyRelease: {
        const auto* key = static_cast<QKeyEvent*>(event);
        return FormKeyUp(key->key(), key->modifiers());
    }
    case QEvent::DragEnter:
    case QEvent::DragMove:
    case QEvent::Drop: {
        // Files dropped on the editor are the note's, not text to insert.
        auto* drop = static_cast<QDropEvent*>(event);
        if (LocalFiles(*drop->mimeData()).empty())
            break;
        if (event->type() == QEvent::Drop)
            dropEvent(drop);
        else
            drop->acceptProposedAction();
        return true;
    }
    default:
        break;
    }
    return QWidget::eventFilter(watched, event);
}

void TfrmNote::keyReleaseEvent(QKeyEvent* event) {
    if (!FormKeyUp(event->key(), event->modifiers()))
        QWidget::keyReleaseEvent(event);
}

void TfrmNote::dragEnterEvent(QDragEnterEvent* event) {
    if (!LocalFiles(*event->mimeData()).empty())
        event->acceptProposedAction();
}

void TfrmNote::dropEvent(QDropEvent* event) {
    event->acceptProposedAction();
    const std::vector<std::string> files = LocalFiles(*event->mimeData());
    RunReported(Host_.Prompt(), [&] { FilesDropped(files); });
}

bool TfrmNote::FormKeyUp(int key, Qt::KeyboardModifiers modifiers) {
    const TNoteKeyCommand command = NoteKeyCommand(key, modifiers);
    if (command == TNoteKeyCommand::None)
        return false;
    RunReported(Host_.Prompt(), [&] {
        switch (command) {
        case TNoteKeyCommand::SelectAll:
            mem_->SelectAll();
            break;
        case TNoteKeyCommand::Save:
            pmSaveVornNoteClick();
            break;
        case TNoteKeyCommand::ControlPanel:
            pmControlPanelClick();
            break;
        case TNoteKeyCommand::Delete:
            pmDeleteClick();
            break;
        case TNoteKeyCommand::BackgroundColor:
            pmBackgroundColorClick();
            break;
        case TNoteKeyCommand::NewRandomColor:
            pmNewRandomColorClick();
            break;
        case TNoteKeyCommand::Font:
            pmFontClick();
            break;
        case TNoteKeyCommand::FontColor:
            pmFontColorClick();
            break;
        case TNoteKeyCommand::NewRandomFontColor:
            pmNewRandomFontColorClick();
            break;
        case TNoteKeyCommand::None:
            break;
        }
    });
    return true;
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

void TfrmNote::pmControlPanelClick() {
    Host_.ShowControlPanel();
}

void TfrmNote::pmSaveVornNoteClick() {
    SaveText();
}

void TfrmNote::pmSendNoteOverNetworkClick() {
    Host_.SendNote(*this);
}

void TfrmNote::RepaintTitleAndGrip() {
    pbPaint();
    pbSizePaint();
}

void TfrmNote::pmBackgroundColorClick() {
    int32_t color = NoteColor_;
    if (!Host_.Dialogs().ChooseColor(color))
        return;
    SetNoteColor(color);
    RepaintTitleAndGrip();
}

void TfrmNote::pmNewRandomColorClick() {
    SetNoteColor(RandomColor());
    RepaintTitleAndGrip();
}

void TfrmNote::pmFontClick() {
    const QFont font = BodyFont();
    TFontChoice choice{font.family().toStdString(), font.pointSize(), FontColor_};
    if (Host_.Dialogs().ChooseFont(choice))
        SetBodyFont(choice.Name, choice.Size, choice.Color);
}

void TfrmNote::pmFontColorClick() {
    int32_t color = FontColor_;
    if (!Host_.Dialogs().ChooseColor(color))
        return;
    FontColor_ = color;
    ApplyBodyLook();
    RepaintTitleAndGrip();
}

void TfrmNote::pmNewRandomFontColorClick() {
    FontColor_ = RandomColor();
    ApplyBodyLook();
    RepaintTitleAndGrip();
}

void TfrmNote::TakeFileText(const std::string& path) {
    SetText(ReadFileBytes(path));
    // The note's own file gets the text at the next save.
    SetModified(false);
}

void TfrmNote::pmImportTextFileClick() {
    TFileDialogOptions& dialog = Host_.ImportDialog();
    dialog.InitialDir = Host_.Ini().GetString("sLastImportDir");
    const std::string path = Host_.Dialogs().OpenFile(dialog);
    if (path.empty())
        return;
    TakeFileText(path);
    Host_.Ini().SetString("sLastImportDir", FolderOf(path));
}

void TfrmNote::pmExportTextFileClick() {
    TFileDialogOptions& dialog = Host_.ExportDialog();
    dialog.InitialDir = Host_.Ini().GetString("sLastExportDir");
    const std::string path = Host_.Dialogs().SaveFile(dialog);
    if (path.empty())
        return;
    WriteFileAtomic(path, Text());
    Host_.Ini().SetString("sLastExportDir", FolderOf(path));
}

void TfrmNote::cmOpeninDefaultTextEditorClick() {
    if (!Host_.Desktop().OpenPath(NoteFileName(Host_.AppFolder(), NoteId_)))
        Host_.Prompt().ShowMessage("Cannot open file in external editor");
}

void TfrmNote::pmNewVornNoteClick() {
    Host_.CreateNewNoteCommand();
}

void TfrmNote::pmReadOnlyClick() {
    SetReadOnly(!IsReadOnly_);
    pbPaint();
}

void TfrmNote::pmStayOnTopClick() {
    SetStayOnTop(!IsOnTop_);
}

void TfrmNote::pmExitApplicationClick() {
    Host_.ExitCommand();
}

void TfrmNote::FilesDropped(const std::vector<std::string>& paths) {
    if (paths.empty())
        return;
    if (IsReadOnly_) {
        Host_.Prompt().ShowMessage("Warning! This VornNote is Read-Only.\r\nYou cannot overwrite "
                                   "its contents by dropping a file on to it.");
        return;
    }
    TakeFileText(paths.front());
}
