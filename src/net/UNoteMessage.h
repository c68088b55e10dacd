#pragma once

#include "UTNoteConfig.h"

#include <string>
#include <vector>

// One note as one mail message: the envelope and the message's lines (header lines, an empty
// line, the body lines), without line ends and before dot-stuffing, which is the SMTP client's.
// No line holds a CR or LF.
struct TNoteMessage {
    std::string EnvelopeFrom;
    std::string EnvelopeTo;
    std::vector<std::string> Lines;
};

struct TNoteMessageInput {
    std::string Text;            // the note's text, lines ending in CR LF, CR or LF
    TNoteConfig Config;          // filled from the note window; its compact record travels
    std::string DestinationUser; // empty: "unknown"
    std::string DestinationHost;
    std::string NetworkIdentity; // user@computer:port of the sender
    std::string SentOnDateText;  // CurrentDateText
    std::string DateHeader;      // RFC 5322 date of sending, e.g. "Tue, 07 Mar 2006 14:05:00 +0100"
};

// Headers From, Reply-To, To, Subject, X-Priority, X-Vorn, Date and X-Library, an empty line,
// then the text's lines, an empty line, "[Sent on: ...]" and "[Sender: ...]". A CR or LF in a
// header value or envelope address (a font name, an identity) becomes a blank, so no value can
// start a header or an SMTP command of its own.
TNoteMessage BuildNoteMessage(const TNoteMessageInput& input);

// The local time now as an RFC 5322 date with its UTC offset, for the Date header.
std::string CurrentMailDate();

// A received message turned back into a note: `lines` holds the X-Vorn value first (empty when
// the header was missing), then the body lines. The record starts as `defaults` (a fresh record
// with its creation defaults); an accepted compact record sets its size, colour and font and
// makes it read-only, and its line is dropped. A rejected one stays as the first text line.
struct TReceivedNote {
    std::string Text; // every line followed by CR LF
    TNoteConfig Config;
};
TReceivedNote ReadNoteMessage(std::vector<std::string> lines, const TNoteConfig& defaults);
