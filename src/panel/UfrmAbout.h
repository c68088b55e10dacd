#pragma once

#include <QDialog>

class QImage;
class QLabel;
class QPushButton;

// The about box: product, version, copyright and the web page.
class TfrmAbout : public QDialog {
    Q_OBJECT

public:
    explicit TfrmAbout(QWidget* parent = nullptr);

    // The picture beside the texts: a yellow note with a title band and a few lines of text.
    static QImage NotePicture(int size);

    QLabel* imgNote;
    QLabel* lblProduct;
    QLabel* lblCopyright;
    QLabel* lblWeb;
    QLabel* lblFreeware;
    QPushButton* btnOK;
};
