#include "UQtColors.h"

#include <QGuiApplication>
#include <QPalette>

#include <cstdint>
#include <iterator>

namespace {

struct TSystemColor {
    QPalette::ColorGroup Group;
    QPalette::ColorRole Role;
};

constexpr QPalette::ColorGroup kActive = QPalette::Active;
constexpr QPalette::ColorGroup kInactive = QPalette::Inactive;
constexpr QPalette::ColorGroup kDisabled = QPalette::Disabled;

// The Windows system-colour indices 0 .. 30 as palette entries, following the way Qt's own
// Windows theme fills its palette from them. Index 25 is not used by Windows.
constexpr TSystemColor kNone{kActive, QPalette::NColorRoles};
constexpr TSystemColor kSystemColors[] = {
    {kActive, QPalette::Midlight},          // 0 scroll bar
    {kActive, QPalette::Dark},              // 1 desktop background
    {kActive, QPalette::Highlight},         // 2 active caption
    {kInactive, QPalette::Highlight},       // 3 inactive caption
    {kActive, QPalette::Window},            // 4 menu
    {kActive, QPalette::Base},              // 5 window
    {kActive, QPalette::Shadow},            // 6 window frame
    {kActive, QPalette::WindowText},        // 7 menu text
    {kActive, QPalette::WindowText},        // 8 window text
    {kActive, QPalette::HighlightedText},   // 9 caption text
    {kActive, QPalette::Button},            // 10 active border
    {kInactive, QPalette::Button},          // 11 inactive border
    {kActive, QPalette::Mid},               // 12 application workspace
    {kActive, QPalette::Highlight},         // 13 highlight
    {kActive, QPalette::HighlightedText},   // 14 highlighted text
    {kActive, QPalette::Button},            // 15 button face
    {kActive, QPalette::Dark},              // 16 button shadow
    {kDisabled, QPalette::Text},            // 17 gray text
    {kActive, QPalette::ButtonText},        // 18 button text
    {kInactive, QPalette::HighlightedText}, // 19 inactive caption text
    {kActive, QPalette::Light},             // 20 button highlight
    {kActive, QPalette::Shadow},            // 21 3D dark shadow
    {kActive, QPalette::Midlight},          // 22 3D light
    {kActive, QPalette::ToolTipText},       // 23 tooltip text
    {kActive, QPalette::ToolTipBase},       // 24 tooltip background
    kNone,                                  // 25
    {kActive, QPalette::Link},              // 26 hot-tracked item
    {kActive, QPalette::Highlight},         // 27 active caption gradient
    {kInactive, QPalette::Highlight},       // 28 inactive caption gradient
    {kActive, QPalette::Highlight},         // 29 highlighted menu item
    {kActive, QPalette::Window},            // 30 menu bar
};

} // namespace

QColor ToQColor(TColor color) {
    if (color >= 0) {
        const TRGBBytes rgb = SplitColor(color);
        return QColor(rgb.Red, rgb.Green, rgb.Blue);
    }
    // Both 0x80000000 | index and 0xFF000000 | index occur: only the low byte names the colour.
    const uint32_t index = static_cast<uint32_t>(color) & 0xFF;
    if (index >= std::size(kSystemColors) || kSystemColors[index].Role == QPalette::NColorRoles)
        return QColor(0, 0, 0);
    const TSystemColor entry = kSystemColors[index];
    return QGuiApplication::palette().color(entry.Group, entry.Role);
}

TColor FromQColor(const QColor& color) {
    const QColor rgb = color.toRgb();
    return PackColor(rgb.red(), rgb.green(), rgb.blue());
}
