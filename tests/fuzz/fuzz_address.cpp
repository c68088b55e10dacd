// The peer address forms on any bytes: a failed parse is empty with port -1; a parsed address's
// normalised form is what NormalizeAddress gives and parses to the same parts; the bracketed
// part of a greeting is what stands between its first '[' and first ']'.

#include "FuzzCheck.h"
#include "UNetworkUtil.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);

    const TNetworkAddress address = ParseAddress(text);
    if (address.Normalized.empty()) {
        Require(address == TNetworkAddress{}, "a failed parse has no parts and port -1");
        Require(NormalizeAddress(text) == ":-1", "a failed parse normalises to :-1");
    } else {
        Require(!address.User.empty() && !address.Host.empty(), "a parsed address has both names");
        Require(NormalizeAddress(text) == address.Normalized, "NormalizeAddress is Normalized");
        const TNetworkAddress again = ParseAddress(address.Normalized);
        Require(again == address, "a normalised address parses to the same parts");
    }

    const std::string bracketed = ExtractBracketed(text);
    Require(bracketed.find(']') == std::string::npos, "a bracketed part ends at the first ']'");
    if (text.find('[') == std::string_view::npos)
        Require(bracketed.empty(), "no bracketed part without '['");
    if (!bracketed.empty())
        Require(text.find('[' + bracketed + ']') == text.find('['),
                "the bracketed part follows the first '['");
    return 0;
}
