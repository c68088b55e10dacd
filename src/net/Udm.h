#pragma once

#include "UAddressBook.h"
#include "UReceiveQueue.h"
#include "USmtpServer.h"
#include "USmtpSession.h"

#include <string>

// The network side of the program: the address book, the receive queue and the SMTP server
// that fills them. The server's thread only ever reaches the book and the queue, each under its
// own lock; everything else here belongs to the user-interface thread.
class Tdm : public ISmtpDelivery {
public:
    // The address book is "addrbook.txt" in the program folder; nothing is read until Load.
    explicit Tdm(const std::string& appFolder);
    ~Tdm() override;

    // Reads the address book, or writes an empty one. Raises Exception on errors.
    void Load();

    // On the server's thread: the sender joins the address book, the message the queue.
    TDeliveryResult Deliver(const TSmtpMessage& message) override;

    TAddressBook AddressBook;
    TReceiveQueue ReceiveQueue;
    TSmtpServer SMTPServer;
    // The bracketed identity of the last greeting the SMTP client received.
    std::string LastServerIdentity;
};
