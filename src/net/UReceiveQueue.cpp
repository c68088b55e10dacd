#include "UReceiveQueue.h"

#include <iterator>

bool TReceiveQueue::EnqueueMessage(const std::vector<std::string>& lines) {
    std::vector<std::string> entry = lines; // copied before the lock, not while others wait
    const std::lock_guard<std::mutex> lock(Lock_);
    if (Entries_.size() >= MaxCount)
        return false;
    Entries_.push_back(std::move(entry));
    return true;
}

bool TReceiveQueue::DequeueMessage(std::vector<std::string>& lines) {
    std::vector<std::string> entry;
    {
        const std::lock_guard<std::mutex> lock(Lock_);
        if (Entries_.empty())
            return false;
        entry = std::move(Entries_.front());
        Entries_.pop_front();
    }
    lines.insert(lines.end(), std::make_move_iterator(entry.begin()),
                 std::make_move_iterator(entry.end()));
    return true;
}

size_t TReceiveQueue::QueueCount() const {
    const std::lock_guard<std::mutex> lock(Lock_);
    return Entries_.size();
}
