#pragma once

#include "UGraphics.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

class TXMLNode;
class IScreens;
class TqzRegVal;

// Width, height and the margin kept free by a random place.
constexpr int32_t DefaultNoteSize = 128;

// What a new record takes from the settings and the screen at the moment it is created.
struct TNoteDefaults {
    bool RandomColor = true;                // "bRandomColor"
    std::string FontName = "MS Sans Serif"; // "sDefaultFontName"
    int32_t FontSize = 8;                   // "iDefaultFontSize"
    int32_t FontColor = 0;                  // "iDefaultFontColor"
    int32_t ScreenWidth = 1024;             // the primary screen
    int32_t ScreenHeight = 768;
};

TNoteDefaults ReadNoteDefaults(const TqzRegVal& ini, const IScreens& screens);

// Random integers in [0, screen width - margin) and [0, screen height - margin).
int32_t RandomLeft(const TNoteDefaults& defaults, int32_t margin);
int32_t RandomTop(const TNoteDefaults& defaults, int32_t margin);

// The persistent description of one note apart from its text.
class TNoteConfig {
public:
    // A record with fixed values and no random draw; Create gives a new note's defaults.
    TNoteConfig() = default;
    // The defaults of a new note: a random place, 128 x 128, no flags, the default or a random
    // colour, the default font. Draws from the random generator in this order: left, top, then
    // the colour when random colours are on.
    static TNoteConfig Create(const TNoteDefaults& defaults);
    static TNoteConfig CreateWithId(const TNoteDefaults& defaults, int32_t id);

    // <note id="..." ... fontname="..." />, one line without a line break. The font name is
    // written with ", < and > as entity references so that no name can break the element.
    std::string ToXMLElement() const;
    void AddXMLElementTo(std::vector<std::string>& lines, const std::string& indent) const;

    // Sets the fields named by the element's attributes (exact names; the later of two equal
    // names wins; others ignored). A number or boolean that does not convert raises
    // EConvertError, leaving the record partly filled.
    void ReadFromNode(const TXMLNode& node);

    // The one-line form that travels in a note's mail header:
    // {width,height,color,"font name",font size,font colour}. The font name is not escaped.
    std::string ToCompactString() const;
    // Reads that form: exactly six tokens split at blanks, commas and braces, a double-quoted
    // stretch being one token. Sets those six fields and returns true; a number that is not a
    // 32-bit decimal integer takes its default (128 for the size, -1 for the colours and the
    // font size). Six tokens or nothing: on false the record is left as it was.
    bool FromCompactString(std::string_view text);

    bool operator==(const TNoteConfig&) const = default;

    int32_t Id = 0;
    int32_t Left = 0;
    int32_t Top = 0;
    int32_t Width = DefaultNoteSize;
    int32_t Height = DefaultNoteSize;
    bool Minimized = false;
    bool SystemNote = false;
    bool Chat = false;
    bool ReadOnly = false;
    bool OnTop = false;
    TColor Color = DefaultNoteColor;
    int32_t FontSize = 8;
    TColor FontColor = 0;
    std::string FontName = "MS Sans Serif";
};
