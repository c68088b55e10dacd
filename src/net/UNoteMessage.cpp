#include "UNoteMessage.h"

#include "UFileUtil.h"
#include "UNetworkUtil.h"
#include "UProduct.h"

#include <QDateTime>

#include <algorithm>

namespace {

// A line break inside a value would end the line early and let the rest pass for a header or
// a command of its own.
std::string OneLine(std::string text) {
    std::replace_if(
        text.begin(), text.end(), [](char c) { return c == '\r' || c == '\n'; }, ' ');
    return text;
}

} // namespace

TNoteMessage BuildNoteMessage(const TNoteMessageInput& input) {
    TNoteMessage message;
    const std::string identity = OneLine(input.NetworkIdentity);
    message.EnvelopeFrom = identity;
    message.EnvelopeTo =
        OneLine((input.DestinationUser.empty() ? std::string("unknown") : input.DestinationUser) +
                "@" + input.DestinationHost);

    const std::vector<std::string> text = SplitLines(input.Text);
    std::vector<std::string>& lines = message.Lines;
    lines.reserve(text.size() + 12);
    lines.push_back("From: " + identity);
    lines.push_back("Reply-To: " + identity);
    lines.push_back("To: " + message.EnvelopeTo);
    lines.push_back("Subject: " + ProductTitle());
    lines.push_back("X-Priority: 3");
    lines.push_back("X-Vorn: " + OneLine(input.Config.ToCompactString()));
    lines.push_back("Date: " + OneLine(input.DateHeader));
    lines.push_back(std::string("X-Library: ") + ProductName + " SMTP " + ProductVersion);
    lines.emplace_back();
    lines.insert(lines.end(), text.begin(), text.end());
    lines.emplace_back();
    lines.push_back("[Sent on: " + OneLine(input.SentOnDateText) + "]");
    lines.push_back("[Sender: " + NormalizeAddress(identity) + "]");
    return message;
}

std::string CurrentMailDate() {
    return QDateTime::currentDateTime().toString(Qt::RFC2822Date).toStdString();
}

TReceivedNote ReadNoteMessage(std::vector<std::string> lines, const TNoteConfig& defaults) {
    TReceivedNote note{{}, defaults};
    auto first = lines.begin();
    if (first != lines.end() && note.Config.FromCompactString(*first)) {
        note.Config.ReadOnly = true;
        ++first;
    }
    for (; first != lines.end(); ++first) {
        note.Text += *first;
        note.Text += "\r\n";
    }
    return note;
}
