#include "UTConfigurationManager.h"

#include "UConvert.h"
#include "UFileUtil.h"
#include "UNoteFiles.h"
#include "UPlatform.h"
#include "qzXMLReader.h"

namespace {

const std::string kDeclaration =
    "<?xml version=\"1.0\" encoding=\"ISO-8859-1\" standalone=\"yes\" ?>";
const std::string kIndent = "    ";

std::string SetAsideName(const std::string& fileName, const IClock& clock) {
    const TLocalDateTime now = clock.LocalNow();
    const std::string base = fileName + ".unreadable-" + PadNumber(now.Year, 4) +
                             PadNumber(now.Month, 2) + PadNumber(now.Day, 2) + "-" +
                             PadNumber(now.Hour, 2) + PadNumber(now.Minute, 2) +
                             PadNumber(now.Second, 2);
    std::string name = base;
    for (int n = 1; FileExists(name); ++n)
        name = base + "-" + std::to_string(n);
    return name;
}

} // namespace

TConfigurationManager::TConfigurationManager(std::string fileName, TDefaultsSource defaults)
    : FileName(std::move(fileName)), Defaults_(std::move(defaults)) {
    Load();
}

TNoteConfig& TConfigurationManager::Add(int32_t id, TNoteConfig config) {
    auto record = std::make_unique<TNoteConfig>(std::move(config));
    TNoteConfig& added = *record;
    FirstByKey_.try_emplace(id, record.get());
    Records_.emplace_back(std::to_string(id), std::move(record));
    return added;
}

TNoteConfig* TConfigurationManager::Get(int32_t id) {
    const auto found = FirstByKey_.find(id);
    return found == FirstByKey_.end() ? nullptr : found->second;
}

bool TConfigurationManager::Contains(int32_t id) const {
    return FirstByKey_.contains(id);
}

void TConfigurationManager::Load() {
    if (!FileExists(FileName)) {
        Save();
        return;
    }
    const std::unique_ptr<TXMLNode> document = TXMLReader::ParseText(ReadFileBytes(FileName));
    if (!document)
        throw Exception("XML DocumentElement is nil. Loading Aborted!");
    const TXMLNode* root = document->FindChild("vorn");
    if (root == nullptr)
        throw Exception("Root node element is not recognised. Loading aborted!");
    const TNoteDefaults defaults = Defaults_();
    Records_.reserve(Records_.size() + static_cast<size_t>(root->ChildCount()));
    FirstByKey_.reserve(FirstByKey_.size() + static_cast<size_t>(root->ChildCount()));
    for (int i = 0; i < root->ChildCount(); ++i) {
        const TXMLNode& child = *root->ChildAt(i);
        if (child.Name != "note")
            continue;
        TNoteConfig config = TNoteConfig::Create(defaults);
        config.ReadFromNode(child);
        const int32_t id = config.Id;
        Add(id, std::move(config));
    }
}

std::string TConfigurationManager::IndexText() const {
    std::string text;
    text.reserve(64 + Records_.size() * 220);
    text += kDeclaration + "\r\n\r\n<vorn>\r\n";
    for (const auto& [key, record] : Records_) {
        text += kIndent;
        text += record->ToXMLElement();
        text += "\r\n";
    }
    text += "</vorn>\r\n";
    return text;
}

void TConfigurationManager::Save() const {
    WriteFileAtomic(FileName, IndexText());
}

std::unique_ptr<TConfigurationManager>
OpenNoteStore(const std::string& fileName, TConfigurationManager::TDefaultsSource defaults,
              IPrompt& prompt, const IClock& clock) {
    try {
        return std::make_unique<TConfigurationManager>(fileName, defaults);
    } catch (const Exception& error) {
        if (!FileExists(fileName))
            throw; // nothing to keep: the empty index could not be written
        const std::string keptName = SetAsideName(fileName, clock);
        if (!RenameFile(fileName, keptName))
            throw Exception(std::string(error.what()) + "\r\n\r\nThe notes index \"" + fileName +
                            "\" cannot be read and cannot be set aside; it was left untouched.");
        prompt.ShowError(std::string(error.what()) + "\r\n\r\nThe notes index could not be read. " +
                         "It was kept as \"" + keptName + "\" and Vorn starts with no stored " +
                         "note places.");
    }
    return std::make_unique<TConfigurationManager>(fileName, defaults);
}
