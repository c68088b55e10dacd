#pragma once

#include "UGraphics.h"
#include "UTNoteConfig.h"
#include "UfrmMain.h"

#include <cstdint>
#include <string>

// The one place where note windows come into being. Every window made here is shown and
// registered with the control panel.
class TNoteFactory : public INoteFactory {
public:
    explicit TNoteFactory(TfrmMain& main) : Main_(main) {}

    // A new note with a new number; colour -1, an empty font name, font size -1 and font colour
    // -1 take the defaults. Null, after the limit message, when the limit is reached. The note
    // file is written at once.
    TfrmNote* CreateNoteWindow(const std::string& text, int32_t left, int32_t top, int32_t width,
                               int32_t height, TColor color, const std::string& fontName,
                               int32_t fontSize, TColor fontColor, bool readOnly, bool onTop);
    // An empty or given text at a random place, 128 x 128, default colour and font.
    TfrmNote* CreateNewNote(const std::string& text) override;
    // Centred on the primary screen.
    TfrmNote* CreateCenteredNote(const std::string& text, int32_t width, int32_t height);
    // At a random place with the size, colours, font and flags of a received record.
    TfrmNote* CreateReceivedNote(const std::string& text, const TNoteConfig& config) override;
    // A new note holding the file's lines, each followed by CR LF; empty when there is no file.
    TfrmNote* CreateNoteFromFile(const std::string& path) override;
    // The window of a note that exists on disk, with its stored record or a default one.
    TfrmNote& OpenNoteWindow(int32_t id) override;

private:
    TfrmMain& Main_;
};
