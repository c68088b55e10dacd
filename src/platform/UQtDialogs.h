#pragma once

#include "UPlatform.h"

#include <QDialog>

#include <string>

class QComboBox;
class QDialogButtonBox;
class QFontDialog;

// A filter of the form "description|patterns|description|patterns" (patterns separated by ';')
// as Qt name filters joined by ";;": "description (pattern pattern)". A description that already
// ends with its patterns in parentheses is not given them twice.
std::string QtNameFilters(const std::string& windowsFilter);

// The font dialog of the notes: a font panel with a list of the 16 basic colours below it,
// because every note keeps a font colour with its font.
class TfrmFontDialog : public QDialog {
    Q_OBJECT

public:
    explicit TfrmFontDialog(const TFontChoice& start, QWidget* parent = nullptr);

    // The font and colour as the controls show them now.
    TFontChoice Choice() const;

    QFontDialog* FontPanel;
    QComboBox* cmbColor;
    QDialogButtonBox* Buttons;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    std::string StartName_;
    QString StartFamily_;
};

// QFileDialog, TfrmFontDialog and QColorDialog, each run modally over the active window.
class TQtDialogs : public IDialogs {
public:
    std::string OpenFile(const TFileDialogOptions& options) override;
    std::string SaveFile(const TFileDialogOptions& options) override;
    bool ChooseFont(TFontChoice& font) override;
    bool ChooseColor(int32_t& color) override;
};

// QDesktopServices::openUrl; sounds through the first player found of PipeWire's, PulseAudio's
// and ALSA's.
class TQtDesktop : public IDesktop {
public:
    bool OpenPath(const std::string& path) override;
    bool OpenUrl(const std::string& url) override;
    bool PlaySound(const std::string& path) override;
};
