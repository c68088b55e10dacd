#pragma once

#include <QString>

#include <string>
#include <string_view>

// Text files and rule strings are byte strings in UTF-8. A text that is not valid UTF-8 is read
// as Latin-1, so no byte of it is lost or shown as a replacement character.
QString DecodeText(std::string_view bytes);
std::string EncodeText(const QString& text);
