// The compact record of a note's mail header on any bytes. A text that is refused leaves the
// record as it was; one that is read sets only the six fields, and the record's own compact
// form reads back to the same values and the same text.

#include "FuzzCheck.h"
#include "UTNoteConfig.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace {

// Fields that a compact record never sets hold values of their own, so that a change shows.
TNoteConfig Before() {
    TNoteConfig config;
    config.Id = 4711;
    config.Left = 12;
    config.Top = 34;
    config.Minimized = true;
    config.ReadOnly = true;
    config.OnTop = true;
    config.Width = 321;
    config.Height = 123;
    config.Color = 0x00c0ffee;
    config.FontSize = 13;
    config.FontColor = 77;
    config.FontName = "Before";
    return config;
}

// The record with only the six compact fields taken from `from`.
TNoteConfig WithCompactFields(TNoteConfig config, const TNoteConfig& from) {
    config.Width = from.Width;
    config.Height = from.Height;
    config.Color = from.Color;
    config.FontName = from.FontName;
    config.FontSize = from.FontSize;
    config.FontColor = from.FontColor;
    return config;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const TNoteConfig before = Before();
    TNoteConfig record = before;
    if (!record.FromCompactString(text)) {
        Require(record == before, "a refused text leaves the record as it was");
        return 0;
    }
    Require(record == WithCompactFields(before, record), "only the six fields are set");
    Require(!record.FontName.empty(), "a font name is never empty");

    const std::string compact = record.ToCompactString();
    TNoteConfig reread = before;
    Require(reread.FromCompactString(compact), "a record's compact form is read");
    Require(reread == record, "a record's compact form reads back to the same values");
    Require(reread.ToCompactString() == compact, "and to the same text");
    return 0;
}
