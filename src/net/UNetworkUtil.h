#pragma once

#include <cstdint>
#include <string>
#include <string_view>

// The port assumed when an address names none, and left out of normalised addresses.
constexpr int32_t DefaultNetworkPort = 56784;

// A typed peer address split into its parts. On failure User, Host and Normalized are empty and
// Port is -1.
struct TNetworkAddress {
    std::string User; // "unknown" when the text named none
    std::string Host;
    int32_t Port = -1; // -1 also when the port part is not an integer
    std::string Normalized;
    bool operator==(const TNetworkAddress&) const = default;
};

TNetworkAddress ParseAddress(std::string_view text);
// user@host, then ":port" unless the port is the default one.
std::string NormalizeAddress(std::string_view text);
// The text between the first '[' and the first ']'; empty when either is missing or ']' comes
// first.
std::string ExtractBracketed(std::string_view text);
