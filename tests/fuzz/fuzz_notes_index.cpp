// The notes index from its bytes to the note records, through the store that the program opens:
// loading either raises Exception or gives one record per <note> element of the root, holding
// what the element says; saving the records and loading them again gives the same records and
// the same text.

#include "FuzzCheck.h"
#include "UConvert.h"
#include "UFileUtil.h"
#include "UTConfigurationManager.h"
#include "qzXMLReader.h"
#include "qzXMLUtil.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace {

// One folder for the whole run, removed when libFuzzer exits.
class TScratch {
public:
    TScratch() {
        std::string pattern =
            (std::filesystem::temp_directory_path() / "vorn-fuzz-XXXXXX").string();
        Require(mkdtemp(pattern.data()) != nullptr, "a temporary folder can be made");
        Folder_ = pattern;
    }
    ~TScratch() {
        std::error_code ignored;
        std::filesystem::remove_all(Folder_, ignored);
    }
    TScratch(const TScratch&) = delete;
    TScratch& operator=(const TScratch&) = delete;

    // The index file holding the bytes (no sync: the run needs no durability).
    std::string Index(std::string_view bytes) const {
        const std::string path = Folder_ + "/vornnotes.xml";
        WriteFileAtomic(path, bytes, false);
        return path;
    }

private:
    std::string Folder_;
};

std::unique_ptr<TConfigurationManager> Open(const std::string& path) {
    return std::make_unique<TConfigurationManager>(path, [] { return TNoteDefaults{}; });
}

// The <note> elements of the root, as the store reads them.
std::vector<const TXMLNode*> NoteElements(const TXMLNode& document) {
    const TXMLNode* root = document.FindChild("vorn");
    std::vector<const TXMLNode*> notes;
    for (int i = 0; i < root->ChildCount(); ++i) {
        if (root->ChildAt(i)->Name == "note")
            notes.push_back(root->ChildAt(i));
    }
    return notes;
}

// The value of the element's last attribute of that name, or null.
const std::string* LastAttribute(const TXMLNode& element, std::string_view name) {
    const std::string* value = nullptr;
    for (int i = 0; i < element.AttributeCount(); ++i) {
        if (element.AttributeAt(i)->Name == name)
            value = &element.AttributeAt(i)->Value;
    }
    return value;
}

// A record holds what its element's attributes say, the later of two equal names winning, and
// a new note's defaults for the attributes it lacks.
void CheckRecord(const TXMLNode& element, const TNoteConfig& record) {
    const TNoteDefaults defaults;
    const TNoteConfig fixed;
    const auto integer = [&element](std::string_view name, int32_t value, int32_t fallback) {
        const std::string* text = LastAttribute(element, name);
        return value == (text ? StrToInt(*text) : fallback);
    };
    const auto randomOr = [&element](std::string_view name, int32_t value, int32_t range) {
        const std::string* text = LastAttribute(element, name);
        return text ? value == StrToInt(*text) : value >= 0 && value < range;
    };
    const auto boolean = [&element](std::string_view name, bool value) {
        const std::string* text = LastAttribute(element, name);
        return value == (text ? StrToBool(*text) : false);
    };
    Require(integer("id", record.Id, 0) && integer("width", record.Width, fixed.Width) &&
                integer("height", record.Height, fixed.Height) &&
                integer("fontsize", record.FontSize, defaults.FontSize) &&
                integer("fontcolor", record.FontColor, defaults.FontColor),
            "a record's numbers are its element's, or the defaults");
    Require(randomOr("left", record.Left, defaults.ScreenWidth - DefaultNoteSize) &&
                randomOr("top", record.Top, defaults.ScreenHeight - DefaultNoteSize),
            "a record's place is its element's, or a random one on the screen");
    Require(!LastAttribute(element, "color") || integer("color", record.Color, 0),
            "a record's colour is its element's");
    Require(boolean("minimized", record.Minimized) && boolean("systemnote", record.SystemNote) &&
                boolean("chat", record.Chat) && boolean("readonly", record.ReadOnly) &&
                boolean("ontop", record.OnTop),
            "a record's flags are its element's, or off");
    const std::string* fontName = LastAttribute(element, "fontname");
    Require(record.FontName == (fontName ? DecodeEntities(*fontName) : defaults.FontName),
            "a record's font is its element's, or the default");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const TScratch scratch;
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    std::unique_ptr<TConfigurationManager> store;
    try {
        store = Open(scratch.Index(bytes));
    } catch (const Exception&) {
        return 0; // refused: the program sets such a file aside
    }
    const auto& records = store->Records();
    const std::unique_ptr<TXMLNode> document = TXMLReader::ParseText(bytes);
    const std::vector<const TXMLNode*> notes = NoteElements(*document);
    Require(records.size() == notes.size(), "one record per note element of the root");
    for (size_t i = 0; i < records.size(); ++i) {
        CheckRecord(*notes[i], *records[i].second);
        Require(records[i].first == std::to_string(records[i].second->Id), "keyed by the id");
    }

    const std::string text = store->IndexText();
    const std::unique_ptr<TConfigurationManager> again = Open(scratch.Index(text));
    const auto& reread = again->Records();
    Require(reread.size() == records.size(), "a saved index keeps every record");
    for (size_t i = 0; i < records.size(); ++i) {
        Require(reread[i].first == records[i].first, "a saved index keeps the keys");
        Require(*reread[i].second == *records[i].second, "a saved index keeps the values");
        Require(again->Get(records[i].second->Id) != nullptr, "every record is found by id");
    }
    Require(again->IndexText() == text, "a saved index reads back to the same text");
    return 0;
}
