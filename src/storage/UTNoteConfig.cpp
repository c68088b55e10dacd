#include "UTNoteConfig.h"

#include "UConvert.h"
#include "UPlatform.h"
#include "URandom.h"
#include "qzRegVal.h"
#include "qzStringTokenizer.h"
#include "qzXMLReader.h"
#include "qzXMLUtil.h"

#include <iterator>

namespace {

// A decimal number with an optional sign that fits 32 bits. TryStrToInt alone would also take
// "$" and hexadecimal digits, which a peer's record does not carry.
int32_t DecimalOr(std::string_view token, int32_t fallback) {
    const std::string_view digits =
        !token.empty() && (token[0] == '-' || token[0] == '+') ? token.substr(1) : token;
    if (digits.empty())
        return fallback;
    for (const char c : digits) {
        if (c < '0' || c > '9')
            return fallback;
    }
    int32_t value = 0;
    return TryStrToInt(token, value) ? value : fallback;
}

} // namespace

TNoteDefaults ReadNoteDefaults(const TqzRegVal& ini, const IScreens& screens) {
    const TScreenSize screen = screens.PrimaryScreenSize();
    return {ini.GetBoolean("bRandomColor"),
            ini.GetString("sDefaultFontName"),
            ini.GetInteger("iDefaultFontSize"),
            ini.GetInteger("iDefaultFontColor"),
            screen.Width,
            screen.Height};
}

int32_t RandomLeft(const TNoteDefaults& defaults, int32_t margin) {
    return RandomInt(defaults.ScreenWidth - margin);
}

int32_t RandomTop(const TNoteDefaults& defaults, int32_t margin) {
    return RandomInt(defaults.ScreenHeight - margin);
}

TNoteConfig TNoteConfig::Create(const TNoteDefaults& defaults) {
    TNoteConfig config;
    config.Left = RandomLeft(defaults, DefaultNoteSize);
    config.Top = RandomTop(defaults, DefaultNoteSize);
    if (defaults.RandomColor)
        config.Color = RandomColor();
    config.FontName = defaults.FontName;
    config.FontSize = defaults.FontSize;
    config.FontColor = defaults.FontColor;
    return config;
}

TNoteConfig TNoteConfig::CreateWithId(const TNoteDefaults& defaults, int32_t id) {
    TNoteConfig config = Create(defaults);
    config.Id = id;
    return config;
}

std::string TNoteConfig::ToXMLElement() const {
    std::string text;
    text.reserve(200 + FontName.size());
    text += "<note ";
    text += IntAttribute("id", Id);
    text += IntAttribute("left", Left);
    text += IntAttribute("top", Top);
    text += IntAttribute("width", Width);
    text += IntAttribute("height", Height);
    text += BoolAttribute("minimized", Minimized);
    text += BoolAttribute("systemnote", SystemNote);
    text += BoolAttribute("chat", Chat);
    text += BoolAttribute("readonly", ReadOnly);
    text += BoolAttribute("ontop", OnTop);
    text += IntAttribute("color", Color);
    text += IntAttribute("fontsize", FontSize);
    text += IntAttribute("fontcolor", FontColor);
    text += StrAttribute("fontname", EncodeEntities(FontName));
    text += "/>";
    return text;
}

void TNoteConfig::AddXMLElementTo(std::vector<std::string>& lines,
                                  const std::string& indent) const {
    lines.push_back(indent + ToXMLElement());
}

void TNoteConfig::ReadFromNode(const TXMLNode& node) {
    struct Field {
        std::string_view Name;
        int32_t TNoteConfig::*Integer;
        bool TNoteConfig::*Boolean;
    };
    // In the order the element is written, which lets the usual file find each name at once.
    static const Field kFields[] = {
        {"id", &TNoteConfig::Id, nullptr},
        {"left", &TNoteConfig::Left, nullptr},
        {"top", &TNoteConfig::Top, nullptr},
        {"width", &TNoteConfig::Width, nullptr},
        {"height", &TNoteConfig::Height, nullptr},
        {"minimized", nullptr, &TNoteConfig::Minimized},
        {"systemnote", nullptr, &TNoteConfig::SystemNote},
        {"chat", nullptr, &TNoteConfig::Chat},
        {"readonly", nullptr, &TNoteConfig::ReadOnly},
        {"ontop", nullptr, &TNoteConfig::OnTop},
        {"color", &TNoteConfig::Color, nullptr},
        {"fontsize", &TNoteConfig::FontSize, nullptr},
        {"fontcolor", &TNoteConfig::FontColor, nullptr},
        {"fontname", nullptr, nullptr},
    };
    constexpr int kCount = static_cast<int>(std::size(kFields));
    for (int i = 0; i < node.AttributeCount(); ++i) {
        const TXMLNode& attribute = *node.AttributeAt(i);
        const Field* field = nullptr;
        if (i < kCount && kFields[i].Name == attribute.Name) {
            field = &kFields[i];
        } else {
            for (const Field& candidate : kFields) {
                if (candidate.Name == attribute.Name) {
                    field = &candidate;
                    break;
                }
            }
        }
        if (field == nullptr)
            continue;
        if (field->Integer != nullptr)
            this->*field->Integer = StrToInt(attribute.Value);
        else if (field->Boolean != nullptr)
            this->*field->Boolean = StrToBool(attribute.Value);
        else
            FontName = DecodeEntities(attribute.Value);
    }
}

std::string TNoteConfig::ToCompactString() const {
    std::string text;
    text.reserve(64 + FontName.size());
    text += '{';
    text += std::to_string(Width);
    text += ',';
    text += std::to_string(Height);
    text += ',';
    text += std::to_string(Color);
    text += ",\"";
    text += FontName;
    text += "\",";
    text += std::to_string(FontSize);
    text += ',';
    text += std::to_string(FontColor);
    text += '}';
    return text;
}

bool TNoteConfig::FromCompactString(std::string_view text) {
    const TStringTokenizer tokens(text, " ,{}", "\"", false, false);
    if (tokens.Count() != 6)
        return false;
    Width = DecimalOr(tokens.Token(0), DefaultNoteSize);
    Height = DecimalOr(tokens.Token(1), DefaultNoteSize);
    Color = DecimalOr(tokens.Token(2), -1);
    FontName = tokens.Token(3);
    FontSize = DecimalOr(tokens.Token(4), -1);
    FontColor = DecimalOr(tokens.Token(5), -1);
    return true;
}
