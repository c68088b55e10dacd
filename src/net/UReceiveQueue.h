#pragma once

#include <cstddef>
#include <deque>
#include <mutex>
#include <string>
#include <vector>

// Received messages waiting to become notes, oldest first: each entry is the X-Vorn value and
// the body lines. Filled by the SMTP server's thread, emptied by the UI thread's timer.
class TReceiveQueue {
public:
    // More waiting notes than this and a sender is told to try later.
    static constexpr size_t MaxCount = 1024;

    // Appends a copy; false, and nothing queued, when MaxCount entries are waiting.
    bool EnqueueMessage(const std::vector<std::string>& lines);
    // Appends the oldest entry's lines to `lines` and removes it; false when the queue is empty.
    bool DequeueMessage(std::vector<std::string>& lines);
    size_t QueueCount() const;

private:
    mutable std::mutex Lock_;
    std::deque<std::vector<std::string>> Entries_;
};
