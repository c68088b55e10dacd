#pragma once

#include <string>

// The product's name, version and web pages, in one place.

inline constexpr const char* ProductName = "Vorn";
inline constexpr const char* ProductVersion = "v2.04b";
// The icon and menu entry installed for desktops: share/icons/.../vorn.svg, vorn.desktop.
inline constexpr const char* ProductIconName = "vorn";
// The application title: name, blank, version.
inline std::string ProductTitle() {
    return std::string(ProductName) + " " + ProductVersion;
}
inline constexpr const char* HomePageUrl = "https://vorn-notes.example/";
// The update page is told which version asks.
inline std::string UpdatePageUrl() {
    return std::string(HomePageUrl) + "utils_2.asp?version=" + ProductVersion;
}
