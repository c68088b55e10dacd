#include "UNetworkUtil.h"

#include <gtest/gtest.h>

#include <string>

TEST(ParseAddress, FormsAndFailures) {
    const struct {
        const char* Text;
        TNetworkAddress Expected;
    } rows[] = {
        {"desk", {"unknown", "desk", 56784, "unknown@desk"}},
        {"192.168.0.5", {"unknown", "192.168.0.5", 56784, "unknown@192.168.0.5"}},
        {"bob@desk", {"bob", "desk", 56784, "bob@desk"}},
        {"desk:1784", {"unknown", "desk", 1784, "unknown@desk:1784"}},
        {"desk:56784", {"unknown", "desk", 56784, "unknown@desk"}},
        {"bob@desk:1784", {"bob", "desk", 1784, "bob@desk:1784"}},
        {"bob@desk:56784", {"bob", "desk", 56784, "bob@desk"}},
        // Three parts: the separators may stand in any arrangement.
        {"bob:desk:1784", {"bob", "desk", 1784, "bob@desk:1784"}},
        {"bob@desk@1784", {"bob", "desk", 1784, "bob@desk:1784"}},
        {"bob:desk@1784", {"bob", "desk", 1784, "bob@desk:1784"}},
        // Doubled, leading and trailing separators count once or vanish.
        {"bob@@desk::1784", {"bob", "desk", 1784, "bob@desk:1784"}},
        {"@desk", {"unknown", "desk", 56784, "unknown@desk"}},
        {"desk:", {"unknown", "desk", 56784, "unknown@desk"}},
        {"bob@desk:", {"bob", "desk", 56784, "bob@desk"}},
        // A port that is not an integer stays -1; the range 0 to 65535 is not checked.
        {"desk:http", {"unknown", "desk", -1, "unknown@desk:-1"}},
        {"bob@desk:80x", {"bob", "desk", -1, "bob@desk:-1"}},
        {"desk:4294967296", {"unknown", "desk", -1, "unknown@desk:-1"}},
        {"desk:70000", {"unknown", "desk", 70000, "unknown@desk:70000"}},
        {"desk:+80", {"unknown", "desk", 80, "unknown@desk:80"}},
        // Quoted parts keep their quotes and may hold separators.
        {"\"b@b\"@desk:1784", {"\"b@b\"", "desk", 1784, "\"b@b\"@desk:1784"}},
        {"'x:y':1784", {"unknown", "'x:y'", 1784, "unknown@'x:y':1784"}},
        // Two parts with an "@" anywhere in the text, even quoted, are user and host.
        {"'a@b':1784", {"'a@b'", "1784", 56784, "'a@b'@1784"}},
        // Failures.
        {"", {}},
        {"@:@", {}},
        {"a@b:c@d", {}},
        {"a:b:c:d:e", {}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.Text);
        const TNetworkAddress address = ParseAddress(row.Text);
        EXPECT_EQ(address.User, row.Expected.User);
        EXPECT_EQ(address.Host, row.Expected.Host);
        EXPECT_EQ(address.Port, row.Expected.Port);
        EXPECT_EQ(address.Normalized, row.Expected.Normalized);
        if (!address.Normalized.empty()) {
            EXPECT_EQ(NormalizeAddress(row.Text), address.Normalized);
            EXPECT_EQ(NormalizeAddress(address.Normalized), address.Normalized) << "idempotent";
        }
    }
    EXPECT_EQ(TNetworkAddress{}.Port, -1);
}

TEST(NormalizeAddress, TextsThatDoNotParse) {
    for (const char* text : {"", "::", "a@b:c@d"}) {
        SCOPED_TRACE(text);
        EXPECT_EQ(NormalizeAddress(text), ":-1");
    }
}

TEST(ExtractBracketed, Greetings) {
    const struct {
        const char* Text;
        const char* Inside;
    } rows[] = {
        {"Welcome to Vorn v2.04b SMTP Server [bob@desk:56784]", "bob@desk:56784"},
        {"Welcome to Vorn v2.04b SMTP Server [ bob@desk:1784]", " bob@desk:1784"},
        {"[]", ""},
        {"a [first] and [second]", "first"},
        {"[a[b]c]", "a[b"},
        {"ESMTP Postfix", ""},
        {"no close [bob@desk", ""},
        {"no open bob@desk]", ""},
        {"close ] before [open", ""},
        {"", ""},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.Text);
        EXPECT_EQ(ExtractBracketed(row.Text), row.Inside);
    }
}
