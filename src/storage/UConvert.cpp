#include "UConvert.h"

#include <cmath>
#include <limits>

namespace {

int HexDigit(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

// Hexadecimal digits into at most `bits` bits; false on an empty text, a stray character or
// an overflow.
bool ParseHex(std::string_view digits, int bits, uint64_t& value) {
    if (digits.empty())
        return false;
    const uint64_t limit = bits == 64 ? std::numeric_limits<uint64_t>::max() : (1ULL << bits) - 1;
    value = 0;
    for (const char c : digits) {
        const int digit = HexDigit(c);
        if (digit < 0 || value > (limit >> 4))
            return false;
        value = value * 16 + static_cast<uint64_t>(digit);
    }
    return true;
}

// Decimal digits with an optional sign within [min, max].
bool ParseDecimal(std::string_view text, int64_t min, int64_t max, int64_t& value) {
    bool negative = false;
    if (!text.empty() && (text.front() == '+' || text.front() == '-')) {
        negative = text.front() == '-';
        text.remove_prefix(1);
    }
    if (text.empty())
        return false;
    if (text.size() <= 18) { // cannot overflow 64 bits: no checks per digit
        int64_t result = 0;
        for (const char c : text) {
            if (!IsDigit(c))
                return false;
            result = result * 10 + (c - '0');
        }
        if (negative)
            result = -result;
        if (result < min || result > max)
            return false;
        value = result;
        return true;
    }
    // Accumulate as a negative number so that the minimum itself fits.
    int64_t result = 0;
    for (const char c : text) {
        if (!IsDigit(c))
            return false;
        const int digit = c - '0';
        if (result < (std::numeric_limits<int64_t>::min() + digit) / 10)
            return false;
        result = result * 10 - digit;
    }
    if (!negative) {
        if (result == std::numeric_limits<int64_t>::min())
            return false;
        result = -result;
    }
    if (result < min || result > max)
        return false;
    value = result;
    return true;
}

} // namespace

bool TryStrToInt(std::string_view text, int32_t& value) {
    if (!text.empty() && text.front() == '$') {
        uint64_t bits = 0;
        if (!ParseHex(text.substr(1), 32, bits))
            return false;
        value = static_cast<int32_t>(static_cast<uint32_t>(bits));
        return true;
    }
    int64_t result = 0;
    if (!ParseDecimal(text, std::numeric_limits<int32_t>::min(),
                      std::numeric_limits<int32_t>::max(), result))
        return false;
    value = static_cast<int32_t>(result);
    return true;
}

bool TryStrToInt64(std::string_view text, int64_t& value) {
    if (!text.empty() && text.front() == '$') {
        uint64_t bits = 0;
        if (!ParseHex(text.substr(1), 64, bits))
            return false;
        value = static_cast<int64_t>(bits);
        return true;
    }
    return ParseDecimal(text, std::numeric_limits<int64_t>::min(),
                        std::numeric_limits<int64_t>::max(), value);
}

int32_t StrToInt(std::string_view text) {
    int32_t value = 0;
    if (!TryStrToInt(text, value))
        throw EConvertError("'" + std::string(text) + "' is not a valid integer value");
    return value;
}

bool TryStrToBool(std::string_view text, bool& value) {
    if (SameTextAscii(text, "True") || SameTextAscii(text, "False")) {
        value = SameTextAscii(text, "True");
        return true;
    }
    std::string_view digits = text;
    const bool hex = !digits.empty() && digits.front() == '$';
    if (hex) {
        digits.remove_prefix(1);
    } else if (!digits.empty() && (digits.front() == '+' || digits.front() == '-')) {
        digits.remove_prefix(1);
    }
    if (digits.empty())
        return false;
    bool nonZero = false;
    for (const char c : digits) {
        if (hex ? HexDigit(c) < 0 : !IsDigit(c))
            return false;
        nonZero = nonZero || c != '0';
    }
    value = nonZero;
    return true;
}

bool StrToBool(std::string_view text) {
    bool value = false;
    if (!TryStrToBool(text, value))
        throw EConvertError("'" + std::string(text) + "' is not a valid boolean value");
    return value;
}

double RoundHalfEven(double value) {
    // nearbyint follows the current rounding mode, which is round-to-nearest-even unless a
    // caller changed it; this program never does.
    return std::nearbyint(value);
}

std::string LowerCaseAscii(std::string_view text) {
    std::string result(text);
    for (char& c : result) {
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    }
    return result;
}

bool SameTextAscii(std::string_view a, std::string_view b) {
    if (a.size() != b.size())
        return false;
    for (size_t i = 0; i < a.size(); ++i) {
        char x = a[i];
        char y = b[i];
        if (x >= 'A' && x <= 'Z')
            x = static_cast<char>(x - 'A' + 'a');
        if (y >= 'A' && y <= 'Z')
            y = static_cast<char>(y - 'A' + 'a');
        if (x != y)
            return false;
    }
    return true;
}

namespace {

template <class TIsBlank>
std::string_view TrimWhere(std::string_view text, TIsBlank isBlank) {
    while (!text.empty() && isBlank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && isBlank(text.back()))
        text.remove_suffix(1);
    return text;
}

} // namespace

std::string_view Trim(std::string_view text) {
    return TrimWhere(text, [](char c) { return static_cast<unsigned char>(c) <= ' '; });
}

std::string_view TrimBlanks(std::string_view text) {
    return TrimWhere(text, [](char c) { return c == ' ' || c == '\t'; });
}
