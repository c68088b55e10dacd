#include "UNoteTitle.h"

std::string ReplaceAll(std::string_view text, std::string_view pattern,
                       std::string_view replacement) {
    if (pattern.empty())
        return std::string(text);
    std::string result;
    size_t from = 0;
    for (size_t found = text.find(pattern); found != std::string_view::npos;
         found = text.find(pattern, from)) {
        result.append(text.substr(from, found - from)).append(replacement);
        from = found + pattern.size();
    }
    return result.append(text.substr(from));
}

std::string NoteTitleText(std::string_view titleTemplate, int32_t id, bool systemNote) {
    const std::string title = ReplaceAll(titleTemplate, "$id$", std::to_string(id));
    return systemNote ? "System " + title : title;
}

std::string FirstLine(std::string_view text) {
    return std::string(text.substr(0, text.find_first_of("\r\n")));
}
