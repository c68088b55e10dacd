#include "qzXMLUtil.h"

#include <array>

namespace {

// Which bytes names may hold: bit 1 attribute names, bit 2 node names.
constexpr auto kNameBytes = [] {
    std::array<unsigned char, 256> table{};
    for (int c = 0; c < 256; ++c) {
        const bool alnum =
            (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
        if (alnum || c == '_' || c == ':')
            table[static_cast<size_t>(c)] = 3;
    }
    table['-'] = 2;
    return table;
}();

bool AllOf(std::string_view text, unsigned char bit) {
    if (text.empty())
        return false;
    for (const char c : text) {
        if ((kNameBytes[static_cast<unsigned char>(c)] & bit) == 0)
            return false;
    }
    return true;
}

bool EndsWith(const std::string& text, std::string_view suffix) {
    return text.size() >= suffix.size() &&
           std::string_view(text).substr(text.size() - suffix.size()) == suffix;
}

// One reference kind replaced everywhere. The replaced character is checked against the end of
// the output after every appended byte, which gives what "replace the first occurrence, then
// search again from the start" gives, in linear time: a new occurrence can only begin at an
// inserted ampersand.
std::string Replace(std::string_view text, std::string_view reference, char character) {
    std::string out;
    out.reserve(text.size());
    for (const char c : text) {
        out += c;
        if (c == reference.back() && EndsWith(out, reference)) {
            out.resize(out.size() - reference.size());
            out += character;
        }
    }
    return out;
}

} // namespace

std::string StrAttribute(std::string_view name, std::string_view text) {
    std::string result;
    result.reserve(name.size() + text.size() + 4);
    result.append(name).append("=\"").append(text).append("\" ");
    return result;
}

std::string IntAttribute(std::string_view name, int32_t value) {
    return StrAttribute(name, std::to_string(value));
}

std::string BoolAttribute(std::string_view name, bool value) {
    return StrAttribute(name, value ? "-1" : "0");
}

std::string DecodeEntities(std::string_view text) {
    if (text.find('&') == std::string_view::npos)
        return std::string(text);
    std::string result = Replace(text, "&amp;", '&');
    result = Replace(result, "&lt;", '<');
    result = Replace(result, "&gt;", '>');
    result = Replace(result, "&apos;", '\'');
    return Replace(result, "&quot;", '"');
}

std::string EncodeEntities(std::string_view text) {
    std::string result;
    result.reserve(text.size());
    for (const char c : text) {
        switch (c) {
        case '"':
            result += "&quot;";
            break;
        case '<':
            result += "&lt;";
            break;
        case '>':
            result += "&gt;";
            break;
        default:
            result += c;
        }
    }
    return result;
}

bool IsValidNodeName(std::string_view text) {
    return AllOf(text, 2);
}

bool IsValidAttributeName(std::string_view text) {
    return AllOf(text, 1);
}

bool IsQuoted(std::string_view text) {
    return text.size() >= 2 && text.front() == '"' && text.back() == '"';
}

std::string Unquote(std::string_view text) {
    if (IsQuoted(text))
        return std::string(text.substr(1, text.size() - 2));
    return std::string(text);
}
