#include "UAddressBook.h"

#include "UConvert.h"
#include "UFileUtil.h"
#include "UNetworkUtil.h"

#include <algorithm>
#include <utility>

TAddressBook::TAddressBook(std::string path) : Path_(std::move(path)) {}

void TAddressBook::Load() {
    const std::lock_guard<std::mutex> lock(Lock_);
    const std::optional<std::string> bytes = ReadFileIfExists(Path_);
    if (bytes) {
        Entries_ = SplitLines(*bytes);
        return;
    }
    WriteFileAtomic(Path_, {});
    Entries_.clear();
}

bool TAddressBook::AddToAddressBook(const std::string& address, bool normalize) {
    // An address that names nobody, or one that would split into two lines of the file, is
    // refused: the peer's From text is not to be trusted.
    if (normalize && ParseAddress(address).Normalized.empty())
        return false;
    const std::string entry = normalize ? NormalizeAddress(address) : address;
    if (entry.empty() || entry.find_first_of("\r\n") != std::string::npos)
        return false;

    const std::lock_guard<std::mutex> lock(Lock_);
    if (std::any_of(Entries_.begin(), Entries_.end(),
                    [&entry](const std::string& known) { return SameTextAscii(known, entry); }))
        return false;
    Entries_.push_back(entry);
    try {
        WriteFileAtomic(Path_, JoinLinesCRLF(Entries_));
    } catch (...) {
        Entries_.pop_back(); // memory keeps to what the file holds
        throw;
    }
    return true;
}

std::vector<std::string> TAddressBook::Entries() const {
    const std::lock_guard<std::mutex> lock(Lock_);
    return Entries_;
}
