#pragma once

#include <QColor>
#include <QFont>
#include <QString>
#include <QWidget>

class QPlainTextEdit;

// The body of a note: plain text, word-wrapped, no scroll bars, a flat one-pixel frame, in the
// note colour. Until the user first clicks into it or it takes the focus, the body only paints
// its text; then a QPlainTextEdit takes over, so that a desktop of a thousand notes costs little
// more than its windows. Lines are separated by '\n'.
class TNoteBody : public QWidget {
    Q_OBJECT

public:
    explicit TNoteBody(QWidget* parent);

    QString Text() const;
    void SetText(const QString& text);
    bool IsReadOnly() const { return ReadOnly_; }
    void SetReadOnly(bool readOnly);
    QFont NoteFont() const { return NoteFont_; }
    void SetNoteFont(const QFont& font);
    void SetColors(const QColor& background, const QColor& text);
    void SelectAll();
    // Sees the body's events first, the editor's and its viewport's included: the note handles
    // its keys before the text does and takes dropped files instead of their names as text.
    void SetPreviewFilter(QObject* filter);

    // The editor, made now if it does not exist yet.
    QPlainTextEdit* Editor();
    bool HasEditor() const { return Editor_ != nullptr; }

Q_SIGNALS:
    // Any change of the text: typing, pasting or SetText.
    void TextChanged();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void ApplyLook();

    QPlainTextEdit* Editor_ = nullptr;
    QObject* PreviewFilter_ = nullptr;
    QString Text_; // while there is no editor
    bool ReadOnly_ = false;
    QFont NoteFont_;
    QColor Background_;
    QColor Foreground_;
};
