#include "UNoteMessage.h"

#include "UConvert.h"

#include <gtest/gtest.h>

#include <regex>
#include <string>
#include <vector>

namespace {

using TLines = std::vector<std::string>;

TNoteMessageInput ExampleInput() {
    TNoteMessageInput input;
    input.Text = "Hello\r\nWorld";
    input.Config.Width = 200;
    input.Config.Height = 150;
    input.Config.Color = 9300421;
    input.Config.FontName = "MS Sans Serif";
    input.Config.FontSize = 8;
    input.Config.FontColor = 0;
    input.DestinationUser = "ann";
    input.DestinationHost = "desk2";
    input.NetworkIdentity = "bob@desk1:56784";
    input.SentOnDateText = "Mar 07, 2006 14:05 W. Europe Standard Time";
    input.DateHeader = "Tue, 07 Mar 2006 14:05:00 +0100";
    return input;
}

// What the receiving server hands on: the first X-Vorn header's value (name in any case,
// blanks trimmed; empty when missing), then every line after the empty line.
TLines AsReceived(const TLines& message) {
    std::string xvorn;
    bool found = false;
    size_t i = 0;
    for (; i < message.size() && !message[i].empty(); ++i) {
        const std::string& line = message[i];
        const size_t colon = line.find(':');
        if (found || colon == std::string::npos || !SameTextAscii(line.substr(0, colon), "X-Vorn"))
            continue;
        found = true;
        xvorn = line.substr(colon + 1);
        xvorn.erase(0, xvorn.find_first_not_of(' '));
        xvorn.erase(xvorn.find_last_not_of(' ') + 1);
    }
    TLines lines{xvorn};
    if (i < message.size())
        lines.insert(lines.end(), message.begin() + static_cast<ptrdiff_t>(i) + 1, message.end());
    return lines;
}

// A fresh record as the receiver makes it, with values no compact record in these tests uses.
TNoteConfig ReceiverDefaults() {
    TNoteConfig config;
    config.Id = 31;
    config.Left = 300;
    config.Top = 400;
    config.Color = 4242;
    config.FontName = "DejaVu Sans";
    config.FontSize = 10;
    config.FontColor = 77;
    return config;
}

} // namespace

TEST(BuildNoteMessage, HeadersEnvelopeAndBody) {
    const TNoteMessage message = BuildNoteMessage(ExampleInput());
    EXPECT_EQ(message.EnvelopeFrom, "bob@desk1:56784");
    EXPECT_EQ(message.EnvelopeTo, "ann@desk2");
    const TLines expected{
        "From: bob@desk1:56784",
        "Reply-To: bob@desk1:56784",
        "To: ann@desk2",
        "Subject: Vorn v2.04b",
        "X-Priority: 3",
        "X-Vorn: {200,150,9300421,\"MS Sans Serif\",8,0}",
        "Date: Tue, 07 Mar 2006 14:05:00 +0100",
        "X-Library: Vorn SMTP v2.04b",
        "",
        "Hello",
        "World",
        "",
        "[Sent on: Mar 07, 2006 14:05 W. Europe Standard Time]",
        "[Sender: bob@desk1]",
    };
    EXPECT_EQ(message.Lines, expected);
    for (const std::string& line : message.Lines) {
        for (const char* mime : {"MIME-Version", "Content-", "X-Mailer"})
            EXPECT_NE(line.rfind(mime, 0), 0U) << line;
    }
}

TEST(BuildNoteMessage, BodyLinesAndAddresses) {
    const struct {
        const char* Name;
        std::string Text;
        std::string User;
        std::string Identity;
        TLines Body;    // the text's lines
        std::string To; // envelope and header
        std::string Sender;
    } rows[] = {
        {"every kind of line break",
         "a\r\nb\rc\nd",
         "ann",
         "bob@pc:56784",
         {"a", "b", "c", "d"},
         "ann@desk2",
         "[Sender: bob@pc]"},
        {"a final break adds no line",
         "a\r\n",
         "ann",
         "bob@pc:56784",
         {"a"},
         "ann@desk2",
         "[Sender: bob@pc]"},
        {"empty lines stay",
         "\r\n\r\nx\n\n",
         "ann",
         "bob@pc:56784",
         {"", "", "x", ""},
         "ann@desk2",
         "[Sender: bob@pc]"},
        {"empty text", "", "ann", "bob@pc:56784", {}, "ann@desk2", "[Sender: bob@pc]"},
        {"lines that look like SMTP or headers",
         ".\r\nFrom: x",
         "ann",
         "bob@pc:56784",
         {".", "From: x"},
         "ann@desk2",
         "[Sender: bob@pc]"},
        {"no user", "t", "", "bob@pc:56784", {"t"}, "unknown@desk2", "[Sender: bob@pc]"},
        {"other port", "t", "ann", "bob@pc:1784", {"t"}, "ann@desk2", "[Sender: bob@pc:1784]"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.Name);
        TNoteMessageInput input = ExampleInput();
        input.Text = row.Text;
        input.DestinationUser = row.User;
        input.NetworkIdentity = row.Identity;
        const TNoteMessage message = BuildNoteMessage(input);
        EXPECT_EQ(message.EnvelopeTo, row.To);
        EXPECT_EQ(message.EnvelopeFrom, row.Identity);
        ASSERT_EQ(message.Lines.size(), 9 + row.Body.size() + 3);
        EXPECT_EQ(message.Lines[0], "From: " + row.Identity);
        EXPECT_EQ(message.Lines[2], "To: " + row.To);
        EXPECT_EQ(message.Lines[8], "");
        EXPECT_EQ(TLines(message.Lines.begin() + 9, message.Lines.end() - 3), row.Body);
        EXPECT_EQ(message.Lines[message.Lines.size() - 3], "");
        EXPECT_EQ(message.Lines.back(), row.Sender);
    }
}

TEST(BuildNoteMessage, LineBreaksInValuesStartNoHeader) {
    TNoteMessageInput input = ExampleInput();
    input.NetworkIdentity = "bob@pc\r\nBcc: eve@evil";
    input.Config.FontName = "Arial\nX-Vorn: {1,1,1,\"x\",1,1}";
    input.DateHeader = "today\r\rSubject: spam";
    input.SentOnDateText = "now\n]";
    input.DestinationUser = "ann\r\nRCPT TO:<eve@evil>";
    const TNoteMessage message = BuildNoteMessage(input);

    for (const std::string& text : {message.EnvelopeFrom, message.EnvelopeTo})
        EXPECT_EQ(text.find_first_of("\r\n"), std::string::npos) << text;
    size_t headers = 0;
    while (headers < message.Lines.size() && !message.Lines[headers].empty())
        ++headers;
    EXPECT_EQ(headers, 8U) << "no extra header line";
    for (const std::string& line : message.Lines) {
        EXPECT_EQ(line.find_first_of("\r\n"), std::string::npos) << line;
        for (const char* injected : {"Bcc:", "Subject: spam", "RCPT"})
            EXPECT_NE(line.rfind(injected, 0), 0U) << line;
    }
    EXPECT_EQ(message.Lines[0], "From: bob@pc  Bcc: eve@evil");
    EXPECT_EQ(message.Lines[5],
              "X-Vorn: {200,150,9300421,\"Arial X-Vorn: {1,1,1,\"x\",1,1}\",8,0}");
    EXPECT_EQ(message.Lines[6], "Date: today  Subject: spam");
    EXPECT_EQ(message.Lines.back().find_first_of("\r\n"), std::string::npos);
}

TEST(NoteMessageRoundTrip, RecordsThroughTheMessage) {
    const struct {
        const char* Name;
        std::string FontName;
        TColor Color;
        TColor FontColor;
        bool Accepted;
    } rows[] = {
        {"plain", "MS Sans Serif", 9300421, 0, true},
        {"blanks, commas and braces in quotes", " {Odd, Face} ", 255, 0, true},
        {"negative system colours", "Arial", -16777211, -16777208, true},
        {"empty font name gives five tokens", "", 255, 0, false},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.Name);
        TNoteMessageInput input = ExampleInput();
        input.Config.FontName = row.FontName;
        input.Config.Color = row.Color;
        input.Config.FontColor = row.FontColor;
        const TLines received = AsReceived(BuildNoteMessage(input).Lines);
        const TReceivedNote note = ReadNoteMessage(received, ReceiverDefaults());

        const std::string body = "Hello\r\nWorld\r\n\r\n"
                                 "[Sent on: Mar 07, 2006 14:05 W. Europe Standard Time]\r\n"
                                 "[Sender: bob@desk1]\r\n";
        TNoteConfig expected = ReceiverDefaults();
        if (row.Accepted) {
            expected.Width = 200;
            expected.Height = 150;
            expected.Color = row.Color;
            expected.FontName = row.FontName;
            expected.FontSize = 8;
            expected.FontColor = row.FontColor;
            expected.ReadOnly = true;
            EXPECT_EQ(note.Text, body);
        } else {
            EXPECT_EQ(note.Text, input.Config.ToCompactString() + "\r\n" + body)
                << "the rejected record is the first text line";
        }
        EXPECT_EQ(note.Config, expected);
    }
}

TEST(ReadNoteMessage, ReceiversRule) {
    const TLines body{"text", "", "[Sender: bob@pc]"};
    const std::string bodyText = "text\r\n\r\n[Sender: bob@pc]\r\n";
    struct TFields {
        int32_t Width, Height;
        TColor Color;
        const char* FontName;
        int32_t FontSize;
        TColor FontColor;
    };
    const struct {
        const char* Name;
        std::string XVorn;
        bool Accepted;
        TFields Fields; // when accepted
    } rows[] = {
        {"no X-Vorn header", "", false, {}},
        {"unbraced record", "200 150 255 Arial 8 0", true, {200, 150, 255, "Arial", 8, 0}},
        {"five tokens", "{200,150,255,Arial,8}", false, {}},
        {"seven tokens", "{200,150,255,Arial,8,0,0}", false, {}},
        {"non-integer width and colour",
         "{wide,150,red,Arial,8,0}",
         true,
         {128, 150, -1, "Arial", 8, 0}},
        {"negative colours",
         "{200,150,-16777211,Arial,8,-16777208}",
         true,
         {200, 150, -16777211, "Arial", 8, -16777208}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.Name);
        TLines lines{row.XVorn};
        lines.insert(lines.end(), body.begin(), body.end());
        const TReceivedNote note = ReadNoteMessage(lines, ReceiverDefaults());
        if (!row.Accepted) {
            EXPECT_EQ(note.Config, ReceiverDefaults()) << "not read-only, defaults kept";
            EXPECT_EQ(note.Text, row.XVorn + "\r\n" + bodyText);
            continue;
        }
        // Place, number and the other flags stay the receiver's.
        TNoteConfig expected = ReceiverDefaults();
        expected.Width = row.Fields.Width;
        expected.Height = row.Fields.Height;
        expected.Color = row.Fields.Color;
        expected.FontName = row.Fields.FontName;
        expected.FontSize = row.Fields.FontSize;
        expected.FontColor = row.Fields.FontColor;
        expected.ReadOnly = true;
        EXPECT_EQ(note.Config, expected);
        EXPECT_EQ(note.Text, bodyText);
    }

    const TReceivedNote recordOnly = ReadNoteMessage({"1 2 3 X 4 5"}, ReceiverDefaults());
    EXPECT_EQ(recordOnly.Text, "");
    EXPECT_TRUE(recordOnly.Config.ReadOnly);
    const TReceivedNote nothing = ReadNoteMessage({}, ReceiverDefaults());
    EXPECT_EQ(nothing.Text, "");
    EXPECT_EQ(nothing.Config, ReceiverDefaults());
}

TEST(CurrentMailDate, IsAnRfc5322Date) {
    const std::string date = CurrentMailDate();
    static const std::regex pattern(
        "((Mon|Tue|Wed|Thu|Fri|Sat|Sun), )?[0-9]{1,2} (Jan|Feb|Mar|Apr|May|Jun|Jul|Aug|Sep|Oct|"
        "Nov|Dec) [0-9]{4} [0-9]{2}:[0-9]{2}:[0-9]{2} [+-][0-9]{4}");
    EXPECT_TRUE(std::regex_match(date, pattern)) << date;
}
