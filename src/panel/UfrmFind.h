#pragma once

#include <QDialog>
#include <QString>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;

// The modeless find dialog: it stays open beside the notes and keeps its text between showings.
class TfrmFind : public QDialog {
    Q_OBJECT

public:
    explicit TfrmFind(QWidget* parent = nullptr);

    // Shows the dialog, or brings it to the front when it is already shown; the text is selected
    // so that typing replaces it.
    void Execute();

    QLabel* lblFind;
    QLineEdit* edtFind;
    QCheckBox* chkMatchCase;
    QPushButton* btnFindNext;
    QPushButton* btnCancel;

Q_SIGNALS:
    void FindNext(const QString& text, bool matchCase);
};
