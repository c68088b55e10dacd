#include "UQtDialogs.h"

#include "UQtColors.h"

#include <QApplication>
#include <QColorDialog>
#include <QComboBox>
#include <QDesktopServices>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QFontDialog>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPainter>
#include <QPixmap>
#include <QProcess>
#include <QStandardPaths>
#include <QUrl>
#include <QVBoxLayout>

#include <algorithm>
#include <vector>

namespace {

std::vector<std::string> SplitFields(const std::string& text) {
    std::vector<std::string> fields;
    std::string::size_type start = 0;
    for (;;) {
        const std::string::size_type bar = text.find('|', start);
        fields.push_back(text.substr(start, bar - start));
        if (bar == std::string::npos)
            return fields;
        start = bar + 1;
    }
}

// The patterns of a list separated by ';' or blanks, without empty ones.
std::vector<std::string> SplitPatterns(const std::string& text) {
    std::vector<std::string> patterns;
    std::string current;
    for (const char c : text + ';') {
        if (c == ';' || c == ' ' || c == '\t') {
            if (!current.empty())
                patterns.push_back(current);
            current.clear();
        } else {
            current += c;
        }
    }
    return patterns;
}

std::string TrimBlanks(const std::string& text) {
    const std::string::size_type first = text.find_first_not_of(" \t");
    if (first == std::string::npos)
        return {};
    return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

// Qt reads the patterns from the parentheses at the very end of a name filter, split at blanks.
std::string QtFilter(std::string description, const std::vector<std::string>& patterns) {
    if (!description.empty() && description.back() == ')') {
        const std::string::size_type open = description.rfind('(');
        if (open != std::string::npos &&
            SplitPatterns(description.substr(open + 1, description.size() - open - 2)) == patterns)
            description = TrimBlanks(description.substr(0, open));
    }
    std::string joined;
    for (const std::string& pattern : patterns)
        joined += (joined.empty() ? "" : " ") + pattern;
    return description.empty() ? "(" + joined + ")" : description + " (" + joined + ")";
}

struct TBasicColor {
    TColor Value;
    const char* Name;
};

// The 16 colours of the classic font dialog's colour list.
constexpr TBasicColor kBasicColors[] = {
    {0x000000, "黑色"},   {0x000080, "褐红色"}, {0x008000, "绿色"},   {0x008080, "橄榄色"},
    {0x800000, "藏青色"}, {0x800080, "紫色"},   {0x808000, "深青色"}, {0x808080, "灰色"},
    {0xC0C0C0, "银色"},   {0x0000FF, "红色"},   {0x00FF00, "酸橙色"}, {0x00FFFF, "黄色"},
    {0xFF0000, "蓝色"},   {0xFF00FF, "紫红色"}, {0xFFFF00, "水绿色"}, {0xFFFFFF, "白色"},
};

QIcon Swatch(TColor color) {
    QPixmap pixmap(24, 14);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setPen(Qt::black);
    painter.setBrush(ToQColor(color));
    painter.drawRect(0, 0, pixmap.width() - 1, pixmap.height() - 1);
    return QIcon(pixmap);
}

QString RunFileDialog(const TFileDialogOptions& options, QFileDialog::AcceptMode mode) {
    QFileDialog dialog(QApplication::activeWindow(), QString::fromStdString(options.Title),
                       QString::fromStdString(options.InitialDir));
    dialog.setAcceptMode(mode);
    dialog.setFileMode(mode == QFileDialog::AcceptOpen ? QFileDialog::ExistingFile
                                                       : QFileDialog::AnyFile);
    const std::string filters = QtNameFilters(options.Filter);
    if (!filters.empty())
        dialog.setNameFilter(QString::fromStdString(filters));
    dialog.setDefaultSuffix(QString::fromStdString(options.DefaultExt));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    return dialog.selectedFiles().constFirst();
}

} // namespace

std::string QtNameFilters(const std::string& windowsFilter) {
    const std::vector<std::string> fields = SplitFields(windowsFilter);
    std::string result;
    for (std::size_t i = 0; i + 1 < fields.size(); i += 2) {
        const std::vector<std::string> patterns = SplitPatterns(fields[i + 1]);
        if (patterns.empty())
            continue;
        if (!result.empty())
            result += ";;";
        result += QtFilter(TrimBlanks(fields[i]), patterns);
    }
    return result;
}

TfrmFontDialog::TfrmFontDialog(const TFontChoice& start, QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("dlgFont"));
    setWindowTitle(QStringLiteral("字体"));

    FontPanel = new QFontDialog(this);
    FontPanel->setObjectName(QStringLiteral("FontPanel"));
    FontPanel->setWindowFlags(Qt::Widget);
    FontPanel->setOptions(QFontDialog::NoButtons | QFontDialog::DontUseNativeDialog);
    FontPanel->setCurrentFont(
        QFont(QString::fromStdString(start.Name), std::max<int32_t>(start.Size, 1)));
    StartName_ = start.Name;
    StartFamily_ = FontPanel->currentFont().family();
    // The panel is a dialog of its own: Escape would hide it inside this one.
    FontPanel->installEventFilter(this);

    cmbColor = new QComboBox(this);
    cmbColor->setObjectName(QStringLiteral("cmbColor"));
    for (const TBasicColor& color : kBasicColors)
        cmbColor->addItem(Swatch(color.Value), QString::fromUtf8(color.Name), color.Value);
    int index = cmbColor->findData(start.Color);
    if (index < 0) {
        // A colour from elsewhere (a colour scheme, a received note) is kept as it is.
        cmbColor->addItem(Swatch(start.Color), QStringLiteral("当前颜色"), start.Color);
        index = cmbColor->count() - 1;
    }
    cmbColor->setCurrentIndex(index);
    auto* colorLabel = new QLabel(QStringLiteral("颜色(&C):"), this);
    colorLabel->setBuddy(cmbColor);

    Buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(Buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(Buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* colorRow = new QHBoxLayout;
    colorRow->addWidget(colorLabel);
    colorRow->addWidget(cmbColor);
    colorRow->addStretch();
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(FontPanel);
    layout->addLayout(colorRow);
    layout->addWidget(Buttons);
}

TFontChoice TfrmFontDialog::Choice() const {
    const QFont font = FontPanel->currentFont();
    // A stored name that is shown as a substitute ("MS Sans Serif" as "Sans Serif") stays as
    // it is unless the user picks another family.
    const std::string name =
        font.family() == StartFamily_ ? StartName_ : font.family().toStdString();
    return {name, std::max(font.pointSize(), 1), cmbColor->currentData().toInt()};
}

bool TfrmFontDialog::eventFilter(QObject* watched, QEvent* event) {
    // Keys the panel's controls leave alone reach the panel; they are meant for this dialog.
    if (watched == FontPanel && event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->matches(QKeySequence::Cancel)) {
            reject();
            return true;
        }
        if ((key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) &&
            (key->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier) {
            accept();
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

std::string TQtDialogs::OpenFile(const TFileDialogOptions& options) {
    return RunFileDialog(options, QFileDialog::AcceptOpen).toStdString();
}

std::string TQtDialogs::SaveFile(const TFileDialogOptions& options) {
    return RunFileDialog(options, QFileDialog::AcceptSave).toStdString();
}

bool TQtDialogs::ChooseFont(TFontChoice& font) {
    TfrmFontDialog dialog(font, QApplication::activeWindow());
    if (dialog.exec() != QDialog::Accepted)
        return false;
    font = dialog.Choice();
    return true;
}

bool TQtDialogs::ChooseColor(int32_t& color) {
    // A system colour starts as the colour it shows now; the choice is always a plain value.
    const QColor chosen = QColorDialog::getColor(ToQColor(color), QApplication::activeWindow());
    if (!chosen.isValid())
        return false;
    color = FromQColor(chosen);
    return true;
}

bool TQtDesktop::OpenPath(const std::string& path) {
    return QDesktopServices::openUrl(QUrl::fromLocalFile(QString::fromStdString(path)));
}

bool TQtDesktop::OpenUrl(const std::string& url) {
    return QDesktopServices::openUrl(QUrl(QString::fromStdString(url)));
}

bool TQtDesktop::PlaySound(const std::string& path) {
    const QString file = QString::fromStdString(path);
    if (path.empty() || !QFileInfo(file).isFile())
        return false;
    for (const char* player : {"pw-play", "paplay", "aplay"}) {
        const QString program = QStandardPaths::findExecutable(QString::fromLatin1(player));
        if (!program.isEmpty())
            return QProcess::startDetached(program, {file});
    }
    return false;
}
