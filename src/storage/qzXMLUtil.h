#pragma once

#include <cstdint>
#include <string>
#include <string_view>

// Attribute texts of a written element: name="value" followed by one blank.
std::string StrAttribute(std::string_view name, std::string_view text);
std::string IntAttribute(std::string_view name, int32_t value);
std::string BoolAttribute(std::string_view name, bool value); // "-1" or "0"

// Replaces &amp; &lt; &gt; &apos; &quot; by their characters, one reference kind after the
// other in that order, each until none is left (so &amp;amp; becomes a single ampersand and
// &amp;lt; a less-than sign). A lone ampersand stays.
std::string DecodeEntities(std::string_view text);

// Writes ", < and > as &quot; &lt; &gt; so that an attribute value cannot end the value or the
// tag early; DecodeEntities reads them back. An ampersand stays as it is, as files written
// before expect.
std::string EncodeEntities(std::string_view text);

bool IsValidNodeName(std::string_view text);      // letters, digits, '_', ':', '-'
bool IsValidAttributeName(std::string_view text); // letters, digits, '_', ':'
bool IsQuoted(std::string_view text);             // at least 2 characters, '"' at both ends
std::string Unquote(std::string_view text);
