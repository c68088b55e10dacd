#include "UNetworkUtil.h"

#include "UConvert.h"
#include "qzStringTokenizer.h"

namespace {

// The port part, or -1 when it is not an integer.
int32_t PortOf(std::string_view token) {
    int32_t port = -1;
    return TryStrToInt(token, port) ? port : -1;
}

std::string Compose(const std::string& user, const std::string& host, int32_t port) {
    // Appended piece by piece: GCC 12's optimiser warns falsely about "a" + "b" chains here.
    std::string text;
    if (!user.empty())
        text.append(user).append("@");
    text.append(host);
    if (port != DefaultNetworkPort)
        text.append(":").append(std::to_string(port));
    return text;
}

} // namespace

TNetworkAddress ParseAddress(std::string_view text) {
    const TStringTokenizer tokens(text, "@:", "\"'", false, true);
    TNetworkAddress address;
    switch (tokens.Count()) {
    case 1:
        address.Host = tokens.Token(0);
        address.Port = DefaultNetworkPort;
        break;
    case 2:
        if (text.find('@') != std::string_view::npos) {
            address.User = tokens.Token(0);
            address.Host = tokens.Token(1);
            address.Port = DefaultNetworkPort;
        } else {
            address.Host = tokens.Token(0);
            address.Port = PortOf(tokens.Token(1));
        }
        break;
    case 3:
        address.User = tokens.Token(0);
        address.Host = tokens.Token(1);
        address.Port = PortOf(tokens.Token(2));
        break;
    default:
        return address;
    }
    if (address.User.empty())
        address.User = "unknown";
    address.Normalized = Compose(address.User, address.Host, address.Port);
    return address;
}

std::string NormalizeAddress(std::string_view text) {
    const TNetworkAddress address = ParseAddress(text);
    // A text that does not parse gives ":-1", as the composition rule makes it.
    return Compose(address.User, address.Host, address.Port);
}

std::string ExtractBracketed(std::string_view text) {
    const size_t open = text.find('[');
    const size_t close = text.find(']');
    if (open == std::string_view::npos || close == std::string_view::npos || close < open)
        return {};
    return std::string(text.substr(open + 1, close - open - 1));
}
