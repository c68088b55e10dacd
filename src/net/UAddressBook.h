#pragma once

#include <mutex>
#include <string>
#include <vector>

// The peers notes were sent to and received from: normalised addresses, compared without regard
// to letter case, kept in "addrbook.txt" one per line with CR LF. Shared between the UI thread
// and the SMTP server's thread; one lock guards every operation.
class TAddressBook {
public:
    // `path` is the file; nothing is read until Load.
    explicit TAddressBook(std::string path);

    // Reads the file, or writes an empty one when there is none. Raises Exception on errors.
    void Load();
    // Appends the address (normalised first when asked) unless an equal entry exists, and then
    // saves the whole book atomically. True when it was added. An empty address, one holding a
    // CR or LF, and, when normalising, one that does not parse are refused (false). Raises
    // Exception when the file cannot be written; the entry is then not kept.
    bool AddToAddressBook(const std::string& address, bool normalize);
    std::vector<std::string> Entries() const;

private:
    const std::string Path_;
    mutable std::mutex Lock_;
    std::vector<std::string> Entries_;
};
