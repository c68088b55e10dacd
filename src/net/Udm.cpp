#include "Udm.h"

#include <exception>

Tdm::Tdm(const std::string& appFolder)
    : AddressBook(appFolder + "addrbook.txt"), SMTPServer(*this) {}

Tdm::~Tdm() {
    // The server's thread must not deliver into a book and queue that are going away.
    SMTPServer.Stop();
}

void Tdm::Load() {
    AddressBook.Load();
}

TDeliveryResult Tdm::Deliver(const TSmtpMessage& message) {
    try {
        AddressBook.AddToAddressBook(message.From, true);
    } catch (const std::exception&) {
        // Not queued, and the sender is told so rather than thanked.
        return TDeliveryResult::LocalError;
    }
    std::vector<std::string> lines;
    lines.reserve(message.BodyLines.size() + 1);
    lines.push_back(message.XVorn);
    lines.insert(lines.end(), message.BodyLines.begin(), message.BodyLines.end());
    return ReceiveQueue.EnqueueMessage(lines) ? TDeliveryResult::Accepted
                                              : TDeliveryResult::QueueFull;
}
