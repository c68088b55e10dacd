#include "UNoteBody.h"

#include <QMouseEvent>
#include <QPainter>
#include <QPlainTextEdit>
#include <QTextBlock>
#include <QTextLayout>

namespace {

// The space between the frame and the text, in the painted body and in the editor alike.
constexpr int kMargin = 2;

QTextOption BodyTextOption() {
    QTextOption option;
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    option.setTabStopDistance(80); // the editor's default
    return option;
}

} // namespace

TNoteBody::TNoteBody(QWidget* parent)
    : QWidget(parent), Background_(197, 233, 141), Foreground_(Qt::black) {
    setObjectName(QStringLiteral("mem"));
    setFocusPolicy(Qt::ClickFocus); // not a tab stop
    setAttribute(Qt::WA_OpaquePaintEvent);
    setCursor(Qt::IBeamCursor);
}

QString TNoteBody::Text() const {
    if (!Editor_)
        return Text_;
    // toPlainText() would turn no-break spaces into plain ones.
    QString text = Editor_->document()->toRawText();
    text.replace(QChar::ParagraphSeparator, QLatin1Char('\n'));
    return text;
}

void TNoteBody::SetText(const QString& text) {
    if (Editor_) {
        Editor_->setPlainText(text); // emits textChanged
        return;
    }
    Text_ = text;
    update();
    Q_EMIT TextChanged();
}

void TNoteBody::SetReadOnly(bool readOnly) {
    ReadOnly_ = readOnly;
    if (Editor_)
        Editor_->setReadOnly(readOnly);
}

void TNoteBody::SetNoteFont(const QFont& font) {
    NoteFont_ = font;
    ApplyLook();
}

void TNoteBody::SetColors(const QColor& background, const QColor& text) {
    Background_ = background;
    Foreground_ = text;
    ApplyLook();
}

void TNoteBody::SelectAll() {
    if (Editor_)
        Editor_->selectAll();
}

void TNoteBody::SetPreviewFilter(QObject* filter) {
    PreviewFilter_ = filter;
    installEventFilter(filter);
    if (Editor_) {
        Editor_->installEventFilter(filter);
        Editor_->viewport()->installEventFilter(filter);
    }
}

void TNoteBody::ApplyLook() {
    if (!Editor_) {
        update();
        return;
    }
    QPalette palette = Editor_->palette();
    palette.setColor(QPalette::Base, Background_);
    palette.setColor(QPalette::Text, Foreground_);
    palette.setColor(QPalette::WindowText, Qt::black); // the frame
    Editor_->setPalette(palette);
    Editor_->setFont(NoteFont_);
}

QPlainTextEdit* TNoteBody::Editor() {
    if (Editor_)
        return Editor_;
    Editor_ = new QPlainTextEdit(this);
    Editor_->setObjectName(QStringLiteral("memEditor"));
    Editor_->setFrameStyle(QFrame::Box | QFrame::Plain);
    Editor_->setLineWidth(1);
    Editor_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    Editor_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    Editor_->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    Editor_->setWordWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    Editor_->setTabChangesFocus(false);
    Editor_->document()->setDocumentMargin(kMargin);
    Editor_->setPlainText(Text_);
    Text_.clear();
    Editor_->setReadOnly(ReadOnly_);
    Editor_->setGeometry(rect());
    ApplyLook();
    connect(Editor_, &QPlainTextEdit::textChanged, this, &TNoteBody::TextChanged);
    setFocusProxy(Editor_);
    if (PreviewFilter_)
        SetPreviewFilter(PreviewFilter_);
    Editor_->show();
    return Editor_;
}

void TNoteBody::paintEvent(QPaintEvent*) {
    if (Editor_)
        return;
    QPainter painter(this);
    painter.fillRect(rect(), Background_);
    painter.setPen(Foreground_);

    // Laid out as the editor lays it out: one paragraph per line, wrapped at the width.
    const qreal left = 1 + kMargin;
    const qreal wrapWidth = qMax(1, width() - 2 * (1 + kMargin));
    qreal y = 1 + kMargin;
    const QTextOption option = BodyTextOption();
    for (const QString& paragraph : Text_.split(QLatin1Char('\n'))) {
        if (y >= height())
            break;
        QTextLayout layout(paragraph, NoteFont_);
        layout.setTextOption(option);
        layout.beginLayout();
        for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
            line.setLineWidth(wrapWidth);
            line.setPosition(QPointF(0, y - (1 + kMargin)));
            y += line.height();
        }
        layout.endLayout();
        layout.draw(&painter, QPointF(left, 1 + kMargin));
    }
    // The frame last, over any text that reached it.
    const int w = width();
    const int h = height();
    painter.fillRect(0, 0, w, 1, Qt::black);
    painter.fillRect(0, h - 1, w, 1, Qt::black);
    painter.fillRect(0, 0, 1, h, Qt::black);
    painter.fillRect(w - 1, 0, 1, h, Qt::black);
}

void TNoteBody::mousePressEvent(QMouseEvent* event) {
    QPlainTextEdit* editor = Editor();
    editor->setFocus(Qt::MouseFocusReason);
    // The click that made the editor also places its cursor.
    const QPoint inViewport = editor->viewport()->mapFrom(this, event->position().toPoint());
    editor->setTextCursor(editor->cursorForPosition(inViewport));
}

void TNoteBody::focusInEvent(QFocusEvent* event) {
    QWidget::focusInEvent(event);
    Editor()->setFocus(event->reason());
}

void TNoteBody::resizeEvent(QResizeEvent*) {
    if (Editor_)
        Editor_->setGeometry(rect());
}
