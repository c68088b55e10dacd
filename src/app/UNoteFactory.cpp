#include "UNoteFactory.h"

#include "UFileUtil.h"
#include "UPlatform.h"
#include "UfrmMain.h"
#include "UfrmNote.h"

#include <QCheckBox>

#include <memory>

TfrmNote* TNoteFactory::CreateNoteWindow(const std::string& text, int32_t left, int32_t top,
                                         int32_t width, int32_t height, TColor color,
                                         const std::string& fontName, int32_t fontSize,
                                         TColor fontColor, bool readOnly, bool onTop) {
    if (Main_.AtNoteLimit()) {
        Main_.Prompt().ShowMessage(NoteLimitMessage());
        return nullptr;
    }
    auto note = std::make_unique<TfrmNote>(Main_);
    note->SetNoteId(Main_.NoteNumbers().NextNoteId());
    note->setWindowTitle(QString());
    note->SetText(text);
    if (color == -1)
        color = Main_.chkRandomColor->isChecked() ? RandomColor() : DefaultNoteColor;
    note->SetNoteColor(color);
    note->resize(width, height);
    note->move(left, top);
    TqzRegVal& ini = Main_.Ini();
    note->SetBodyFont(fontName.empty() ? ini.GetString("sDefaultFontName") : fontName,
                      fontSize == -1 ? ini.GetInteger("iDefaultFontSize") : fontSize,
                      fontColor == -1 ? ini.GetInteger("iDefaultFontColor") : fontColor);
    note->SetSystemNote(false);
    note->SetReadOnly(readOnly);
    note->SetStayOnTop(onTop);
    note->show();
    TfrmNote& registered = *note.release(); // the registry keeps it from here on
    Main_.RegisterNote(registered);
    registered.SaveText(); // every new note exists on disk from its creation
    return &registered;
}

TfrmNote* TNoteFactory::CreateNewNote(const std::string& text) {
    const TNoteDefaults defaults = Main_.NoteDefaults();
    const int32_t top = RandomTop(defaults, DefaultNoteSize);
    const int32_t left = RandomLeft(defaults, DefaultNoteSize);
    return CreateNoteWindow(text, left, top, DefaultNoteSize, DefaultNoteSize, -1, "", -1, -1,
                            false, false);
}

TfrmNote* TNoteFactory::CreateCenteredNote(const std::string& text, int32_t width, int32_t height) {
    const TScreenSize screen = Main_.Services().Screens.PrimaryScreenSize();
    return CreateNoteWindow(text, (screen.Width - width) / 2, (screen.Height - height) / 2, width,
                            height, -1, "", -1, -1, false, false);
}

TfrmNote* TNoteFactory::CreateReceivedNote(const std::string& text, const TNoteConfig& config) {
    const TNoteDefaults defaults = Main_.NoteDefaults();
    const int32_t top = RandomTop(defaults, DefaultNoteSize);
    const int32_t left = RandomLeft(defaults, DefaultNoteSize);
    return CreateNoteWindow(text, left, top, config.Width, config.Height, config.Color,
                            config.FontName, config.FontSize, config.FontColor, config.ReadOnly,
                            config.OnTop);
}

TfrmNote* TNoteFactory::CreateNoteFromFile(const std::string& path) {
    std::string text;
    if (FileExists(path))
        text = JoinLinesCRLF(SplitLines(ReadFileBytes(path)));
    return CreateNewNote(text);
}

TfrmNote& TNoteFactory::OpenNoteWindow(int32_t id) {
    auto note = std::make_unique<TfrmNote>(Main_);
    const TNoteConfig* stored = Main_.Store().Get(id);
    const TNoteConfig config =
        stored != nullptr ? *stored : TNoteConfig::CreateWithId(Main_.NoteDefaults(), id);
    note->SetNoteId(id);
    note->LoadText();
    note->ApplyConfig(config);
    note->show();
    TfrmNote& registered = *note.release();
    Main_.RegisterNote(registered);
    return registered;
}
