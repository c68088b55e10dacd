#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>

// Errors are exceptions carrying an English message text; whoever catches one shows the text.
class Exception : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// A text that is not the number or boolean it should be.
class EConvertError : public Exception {
public:
    using Exception::Exception;
};

// Strict integer conversion: an optional sign and decimal digits, or "$" and hexadecimal
// digits, and nothing else. Hexadecimal texts wrap like the bit patterns they spell ($FFFFFFFF
// is -1 as a 32-bit number); decimal texts must lie within the range.
bool TryStrToInt(std::string_view text, int32_t& value);
bool TryStrToInt64(std::string_view text, int64_t& value);
// The same, raising EConvertError with a message that names the text.
int32_t StrToInt(std::string_view text);

// Boolean conversion of the stored files: "True" and "False" in any letter case, or a number
// (decimal or "$" hexadecimal, of any length) that is false exactly when it is zero.
bool TryStrToBool(std::string_view text, bool& value);
bool StrToBool(std::string_view text);

// Rounds to the nearest integer, halves going to the even neighbour (2.5 -> 2, 3.5 -> 4).
double RoundHalfEven(double value);

// ASCII letters A to Z become a to z; every other byte stays as it is.
std::string LowerCaseAscii(std::string_view text);
bool SameTextAscii(std::string_view a, std::string_view b);

// Without the white space and control characters (every byte up to the blank) at both ends.
std::string_view Trim(std::string_view text);
// Without the blanks and tabs at both ends.
std::string_view TrimBlanks(std::string_view text);
