#pragma once

#include <cstdint>
#include <string>
#include <string_view>

// Every occurrence of `pattern`, searched left to right and case-sensitively, replaced by
// `replacement`; the search goes on after the inserted text, which is never searched again.
std::string ReplaceAll(std::string_view text, std::string_view pattern,
                       std::string_view replacement);

// A note's title from the title template: "$id$" stands for the note number; a system note's
// title starts with "System ".
std::string NoteTitleText(std::string_view titleTemplate, int32_t id, bool systemNote);

// The first line of a text whose lines end with CR LF, CR or LF.
std::string FirstLine(std::string_view text);
