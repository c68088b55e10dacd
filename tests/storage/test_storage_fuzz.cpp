// Randomised inputs for the XML reader, the tokenizer and entity decoding. Every generator uses a
// fixed seed and a fixed number of iterations, so a failure repeats exactly.

#include "UConvert.h"
#include "UFileUtil.h"
#include "qzStringTokenizer.h"
#include "qzXMLReader.h"
#include "qzXMLUtil.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <iterator>
#include <memory>
#include <random>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace {

using namespace std::string_literals;
using TLines = std::vector<std::string>;

constexpr size_t kTenMB = 10 * 1024 * 1024;

// Printable form of a fuzz input for failure messages.
std::string Escaped(std::string_view text) {
    static const char kHex[] = "0123456789abcdef";
    std::string out;
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte >= 0x20 && byte < 0x7f && c != '\\') {
            out += c;
        } else {
            out += "\\x";
            out += kHex[byte >> 4];
            out += kHex[byte & 15];
        }
    }
    return out;
}

std::string EscapedLines(const TLines& lines) {
    std::string out;
    for (const std::string& line : lines)
        out += "[" + Escaped(line) + "]";
    return out;
}

std::string Join(const TLines& lines) {
    std::string out;
    for (size_t i = 0; i < lines.size(); ++i) {
        if (i > 0)
            out += "\r\n";
        out += lines[i];
    }
    return out;
}

// ---------------------------------------------------------------------------------------------
// Reader

bool StartsWith(std::string_view text, std::string_view prefix) {
    return text.substr(0, prefix.size()) == prefix;
}

bool EndsWith(std::string_view text, std::string_view suffix) {
    return text.size() >= suffix.size() && text.substr(text.size() - suffix.size()) == suffix;
}

bool IsTrimmed(std::string_view text) {
    return text.empty() || (static_cast<unsigned char>(text.front()) > ' ' &&
                            static_cast<unsigned char>(text.back()) > ' ');
}

// What every reader message looks like: its fixed start, then a tag that ends with ">". The
// message text stops at a NUL byte, so then only its start can be checked.
std::string MessageViolation(const std::string& message, bool inputHasNul) {
    const struct {
        std::string_view Prefix;
        std::string_view Suffix;
    } kinds[] = {
        {"Malformed XML Descriptor: \"<?xml", ">\""},
        {"Malformed XML Comment: \"<!--", ">\""},
        {"Mismatched closing tag: </", ">"},
        {"Invalid number of tokens in XML string: <", ">"},
        {"Invalid node name (", ">"},
        {"Invalid Attribute Name (", ">"},
        {"Attribute Value (", ">"},
    };
    for (const auto& kind : kinds) {
        if (StartsWith(message, kind.Prefix))
            return inputHasNul || EndsWith(message, kind.Suffix)
                       ? ""
                       : "message ends badly: " + Escaped(message);
    }
    return "unknown message: " + Escaped(message);
}

// Checks what any successfully read tree guarantees, without recursion. Empty when all holds.
std::string TreeViolation(const TXMLNode& document) {
    if (document.NodeType != TXMLNodeType::Document || !document.Name.empty() ||
        !document.Value.empty() || document.Parent != nullptr || document.AttributeCount() != 0)
        return "bad document node";
    std::vector<const TXMLNode*> pending{&document};
    while (!pending.empty()) {
        const TXMLNode* node = pending.back();
        pending.pop_back();
        for (int i = 0; i < node->ChildCount(); ++i) {
            const TXMLNode* child = node->ChildAt(i);
            if (child == nullptr || child->Parent != node)
                return "child without its parent";
            const std::string where = " at " + Escaped(child->Name);
            switch (child->NodeType) {
            case TXMLNodeType::Element:
                if (!IsValidNodeName(child->Name))
                    return "bad element name" + where;
                if (!IsTrimmed(child->Value) || child->Value.find('<') != std::string::npos)
                    return "bad element text" + where;
                break;
            case TXMLNodeType::XMLDescriptor:
                if (child->Name != "xml" || !child->Value.empty() || child->ChildCount() != 0)
                    return "bad descriptor";
                break;
            case TXMLNodeType::Comment:
                if (!child->Name.empty() || !IsTrimmed(child->Value) ||
                    child->Value.find('>') != std::string::npos || child->ChildCount() != 0 ||
                    child->AttributeCount() != 0)
                    return "bad comment: " + Escaped(child->Value);
                break;
            case TXMLNodeType::CDATA:
                if (!child->Name.empty() || child->Value.find("]]>") != std::string::npos ||
                    child->ChildCount() != 0 || child->AttributeCount() != 0)
                    return "bad CDATA: " + Escaped(child->Value);
                break;
            default:
                return "unexpected child kind " + std::string(NodeTypeName(child->NodeType));
            }
            for (int j = 0; j < child->AttributeCount(); ++j) {
                const TXMLNode* attribute = child->AttributeAt(j);
                if (attribute->NodeType != TXMLNodeType::Attribute || attribute->Parent != child ||
                    !IsValidAttributeName(attribute->Name) ||
                    attribute->Value.find('>') != std::string::npos ||
                    attribute->ChildCount() != 0 || attribute->AttributeCount() != 0)
                    return "bad attribute " + Escaped(attribute->Name) + where;
            }
            pending.push_back(child);
        }
    }
    return "";
}

// A text that tells two trees apart (kind, name, value, attributes and children, preorder).
std::string Shape(const TXMLNode& document) {
    std::string out;
    const auto add = [&out](const TXMLNode& node) {
        out += std::to_string(static_cast<int>(node.NodeType)) + ' ' +
               std::to_string(node.Name.size()) + ':' + node.Name + ' ' +
               std::to_string(node.Value.size()) + ':' + node.Value + ' ';
    };
    std::vector<const TXMLNode*> pending{&document};
    while (!pending.empty()) {
        const TXMLNode* node = pending.back();
        pending.pop_back();
        add(*node);
        out += std::to_string(node->AttributeCount()) + ' ';
        for (int i = 0; i < node->AttributeCount(); ++i)
            add(*node->AttributeAt(i));
        out += std::to_string(node->ChildCount()) + ';';
        for (int i = node->ChildCount() - 1; i >= 0; --i)
            pending.push_back(node->ChildAt(i));
    }
    return out;
}

struct TOutcome {
    bool Parsed = false;
    std::string Text;      // the tree's shape, or the error message
    std::string Violation; // empty when the outcome is allowed
};

// The outcome of a parse of the lines, or of the text when `text` is given.
TOutcome ParseOutcome(const TLines& lines, const std::string* text = nullptr) {
    TOutcome outcome;
    std::unique_ptr<TXMLNode> document;
    try {
        document = text != nullptr ? TXMLReader::ParseText(*text) : TXMLReader(lines).Parse();
    } catch (const Exception& error) {
        outcome.Text = error.what();
        bool hasNul = false;
        for (const std::string& line : lines)
            hasNul = hasNul || line.find('\0') != std::string::npos;
        outcome.Violation = MessageViolation(outcome.Text, hasNul);
        return outcome;
    } catch (const std::exception& error) {
        outcome.Violation = "foreign exception: "s + error.what();
        return outcome;
    }
    if (document == nullptr) {
        outcome.Violation = "no document";
        return outcome;
    }
    outcome.Parsed = true;
    outcome.Violation = TreeViolation(*document);
    outcome.Text = Shape(*document);
    return outcome;
}

// Parses the lines, and the same text as one line; the reader inserts the line breaks itself,
// so where the lines are cut must not matter.
void CheckParse(const TLines& lines) {
    const TOutcome outcome = ParseOutcome(lines);
    ASSERT_EQ(outcome.Violation, "") << EscapedLines(lines);
    const TOutcome joined = ParseOutcome({Join(lines)});
    ASSERT_EQ(joined.Violation, "") << EscapedLines(lines);
    ASSERT_EQ(joined.Parsed, outcome.Parsed) << EscapedLines(lines);
    ASSERT_EQ(joined.Text, outcome.Text) << EscapedLines(lines);

    // Reading a whole text is reading its lines.
    const std::string text = Join(lines);
    const TOutcome whole = ParseOutcome(SplitLines(text), nullptr);
    const TOutcome direct = ParseOutcome({}, &text);
    ASSERT_EQ(direct.Parsed, whole.Parsed) << Escaped(text);
    ASSERT_EQ(direct.Text, whole.Text) << Escaped(text);
}

// Cuts a text into lines at random places (not only at line breaks).
TLines CutIntoLines(const std::string& text, std::mt19937& rng) {
    TLines lines;
    size_t start = 0;
    while (start < text.size()) {
        const size_t length = std::uniform_int_distribution<size_t>(0, 60)(rng);
        lines.push_back(text.substr(start, length));
        start += length;
    }
    return lines;
}

const TLines kIndex = {
    "<?xml version=\"1.0\" encoding=\"ISO-8859-1\" standalone=\"yes\" ?>",
    "",
    "<vorn>",
    "    <note id=\"7\" left=\"350\" top=\"212\" width=\"128\" height=\"128\" minimized=\"0\" "
    "systemnote=\"0\" chat=\"0\" readonly=\"-1\" ontop=\"0\" color=\"9300421\" fontsize=\"8\" "
    "fontcolor=\"0\" fontname=\"MS Sans Serif\" />",
    "    <!-- a comment -->",
    "    <note id=\"12\" left=\"-20\" top=\"5\" width=\"200\" height=\"150\" minimized=\"-1\" "
    "systemnote=\"0\" chat=\"-1\" readonly=\"0\" ontop=\"0\" color=\"65535\" fontsize=\"10\" "
    "fontcolor=\"255\" fontname=\"Arial &amp; Co\" />",
    "    <extra a=\"1\">text<![CDATA[x > y]]>more</extra>",
    "</vorn>",
};

TEST(StorageFuzz, ReaderSurvivesRandomInputs) {
    std::mt19937 rng(20060307);
    const std::vector<std::string> pieces = {
        "<", ">",   "</",   "/>",   "<?xml", "?>",    "<!--",  "-->",  "<![CDATA[", "]]>", "a",
        "b", "a-b", "note", " ",    "=",     "\"",    "\"v\"", "'",    "x",         "-",   "!",
        "[", "]",   "?",    "\r\n", "\t",    "&amp;", "\0"s,   "\xff", "b-c",       "xml"};
    std::uniform_int_distribution<int> byte(0, 255);
    std::uniform_int_distribution<size_t> piece(0, pieces.size() - 1);
    for (int iteration = 0; iteration < 1500; ++iteration) {
        std::string text;
        const int length = std::uniform_int_distribution<int>(0, 120)(rng);
        for (int i = 0; i < length; ++i)
            text += static_cast<char>(byte(rng));
        CheckParse(CutIntoLines(text, rng));
        if (HasFatalFailure())
            return;

        text.clear();
        const int count = std::uniform_int_distribution<int>(0, 40)(rng);
        for (int i = 0; i < count; ++i)
            text += pieces[piece(rng)];
        CheckParse(CutIntoLines(text, rng));
        if (HasFatalFailure())
            return;
    }
}

TEST(StorageFuzz, ReaderSurvivesMutatedNotesIndex) {
    const std::string index = Join(kIndex);
    ASSERT_TRUE(ParseOutcome(kIndex).Parsed);
    const std::string inserted = "<>\"/![]-?=";
    std::mt19937 rng(1234567);
    std::uniform_int_distribution<int> byte(0, 255);
    for (int iteration = 0; iteration < 3000; ++iteration) {
        std::string text = index;
        const int mutations = std::uniform_int_distribution<int>(1, 4)(rng);
        for (int m = 0; m < mutations && !text.empty(); ++m) {
            const size_t at = std::uniform_int_distribution<size_t>(0, text.size() - 1)(rng);
            switch (std::uniform_int_distribution<int>(0, 3)(rng)) {
            case 0:
                text[at] = static_cast<char>(byte(rng));
                break;
            case 1:
                text.insert(
                    at, 1,
                    inserted[std::uniform_int_distribution<size_t>(0, inserted.size() - 1)(rng)]);
                break;
            case 2:
                text.erase(at, 1);
                break;
            default:
                text.resize(at);
                break;
            }
        }
        // Alternate between the file's own lines and random cuts.
        TLines lines;
        if (iteration % 2 == 0) {
            size_t start = 0;
            for (size_t end; (end = text.find("\r\n", start)) != std::string::npos; start = end + 2)
                lines.push_back(text.substr(start, end - start));
            lines.push_back(text.substr(start));
        } else {
            lines = CutIntoLines(text, rng);
        }
        CheckParse(lines);
        if (HasFatalFailure())
            return;
    }
}

TEST(StorageFuzz, NotesIndexWithoutLineBreaks) {
    const TOutcome lines = ParseOutcome(kIndex);
    const TOutcome single = ParseOutcome({Join(kIndex)});
    const TOutcome glued = ParseOutcome({[] {
        std::string text;
        for (const std::string& line : kIndex)
            text += line;
        return text;
    }()});
    ASSERT_TRUE(lines.Parsed) << lines.Violation;
    EXPECT_EQ(single.Text, lines.Text);
    ASSERT_TRUE(glued.Parsed) << glued.Text;
    EXPECT_EQ(glued.Violation, "");
    EXPECT_EQ(glued.Text, lines.Text) << "only blank text depends on the line breaks";
}

TEST(StorageFuzz, TenMegabyteSingleLine) {
    const std::string note = kIndex[3];
    std::string line = "<vorn>";
    int notes = 0;
    while (line.size() < kTenMB) {
        line += note;
        ++notes;
    }
    line += "  some text  </vorn>";
    const auto document = TXMLReader({line}).Parse();
    ASSERT_EQ(document->ChildCount(), 1);
    const TXMLNode& root = *document->ChildAt(0);
    EXPECT_EQ(root.Value, "some text");
    ASSERT_EQ(root.ChildCount(), notes);
    EXPECT_EQ(root.ChildAt(notes - 1)->AttributeCount(), 14);
    EXPECT_EQ(root.ChildAt(notes - 1)->AttributeAt(13)->Value, "MS Sans Serif");

    const std::string text(kTenMB, 'x');
    const auto big = TXMLReader({"<a> " + text + " </a>"}).Parse();
    ASSERT_EQ(big->ChildCount(), 1);
    EXPECT_EQ(big->ChildAt(0)->Value, text);
}

// "<a>" repeated to at least the given size, never closed.
std::string NestedStartTags(size_t bytes) {
    std::string line;
    line.reserve(bytes + 8);
    while (line.size() < bytes)
        line += "<a>";
    return line;
}

// The depth of the chain below the document, or -1 unless every node holds exactly one element a.
int ChainLength(const TXMLNode& document) {
    int length = 0;
    for (const TXMLNode* node = &document; node->ChildCount() > 0; node = node->ChildAt(0)) {
        if (node->ChildCount() != 1 || node->ChildAt(0)->Name != "a" ||
            node->ChildAt(0)->Parent != node)
            return -1;
        ++length;
    }
    return length;
}

TEST(StorageFuzz, DeepNestingDoesNotOverflowTheStack) {
    {
        // A million levels: far deeper than a recursive teardown could go.
        const std::string line = NestedStartTags(3 * 1000 * 1000);
        const auto document = TXMLReader({line}).Parse();
        EXPECT_EQ(ChainLength(*document), static_cast<int>(line.size() / 3));
    } // the whole chain is destroyed here

    // An error at the bottom discards a chain far deeper than any stack while unwinding.
    const std::string line = NestedStartTags(kTenMB / 10) + "</b>";
    try {
        TXMLReader({line}).Parse();
        ADD_FAILURE() << "no error";
    } catch (const Exception& error) {
        EXPECT_STREQ(error.what(), "Mismatched closing tag: </b>");
    }
}

// ---------------------------------------------------------------------------------------------
// Tokenizer

struct TSplitFacts {
    std::string Kept;     // the source without the quote characters that are dropped
    std::string Stripped; // Kept without the delimiters that stand outside quotes
    int OutsideDelimiters = 0;
};

// The source read with the quote rules only: which characters survive, and which delimiters
// stand outside quotes.
TSplitFacts FactsOf(std::string_view source, std::string_view delimiters, std::string_view quotes) {
    TSplitFacts facts;
    char open = 0;
    bool isOpen = false;
    for (const char c : source) {
        if (quotes.find(c) != std::string_view::npos) {
            if (!isOpen) {
                isOpen = true;
                open = c;
            } else if (c == open) {
                isOpen = false;
            } else {
                continue;
            }
        } else if (!isOpen && delimiters.find(c) != std::string_view::npos) {
            facts.Kept += c;
            ++facts.OutsideDelimiters;
            continue;
        }
        facts.Kept += c;
        facts.Stripped += c;
    }
    return facts;
}

std::string Concatenated(const std::vector<std::string>& tokens) {
    std::string out;
    for (const std::string& token : tokens)
        out += token;
    return out;
}

std::string WithoutQuotes(std::string_view token, std::string_view quotes) {
    std::string out;
    for (const char c : token) {
        if (quotes.find(c) == std::string_view::npos)
            out += c;
    }
    return out;
}

// Checks the four modes of one source against each other and against the quote rules.
std::string TokenizerViolation(const std::string& source, const std::string& delimiters,
                               const std::string& quotes) {
    const TStringTokenizer plain(source, delimiters, quotes, false, true);
    const TStringTokenizer returning(source, delimiters, quotes, true, true);
    const TStringTokenizer bare(source, delimiters, quotes, false, false);
    const TStringTokenizer bareReturning(source, delimiters, quotes, true, false);
    const TSplitFacts facts = FactsOf(source, delimiters, quotes);

    for (const TStringTokenizer* t : {&plain, &returning, &bare, &bareReturning}) {
        for (const std::string& token : t->Tokens()) {
            if (token.empty())
                return "empty token";
        }
        if (!t->Token(-1).empty() || !t->Token(t->Count()).empty())
            return "token outside the list is not empty";
    }
    if (Concatenated(plain.Tokens()) != facts.Stripped)
        return "tokens do not add up to the source without delimiters";
    if (Concatenated(returning.Tokens()) != facts.Kept)
        return "tokens with delimiters do not add up to the source";

    const auto isDelimiterToken = [&](const std::string& token) {
        return token.size() == 1 && delimiters.find(token[0]) != std::string::npos &&
               quotes.find(token[0]) == std::string::npos;
    };
    std::vector<std::string> regular;
    int delimiterTokens = 0;
    bool previousRegular = false;
    for (const std::string& token : returning.Tokens()) {
        if (isDelimiterToken(token)) {
            ++delimiterTokens;
            previousRegular = false;
            continue;
        }
        if (previousRegular)
            return "two tokens without a delimiter between them";
        previousRegular = true;
        regular.push_back(token);
    }
    if (delimiterTokens != facts.OutsideDelimiters)
        return "not every delimiter outside quotes is returned";
    if (regular != plain.Tokens())
        return "returning delimiters changes the other tokens";

    // Without quotes kept the same stretches result, less their quote characters; stretches
    // that held nothing else disappear.
    const auto strip = [&](const std::vector<std::string>& tokens, bool keepDelimiters) {
        std::vector<std::string> out;
        for (const std::string& token : tokens) {
            std::string rest =
                keepDelimiters && isDelimiterToken(token) ? token : WithoutQuotes(token, quotes);
            if (!rest.empty())
                out.push_back(std::move(rest));
        }
        return out;
    };
    if (bare.Tokens() != strip(plain.Tokens(), false))
        return "quotes not kept: tokens differ";
    if (bareReturning.Tokens() != strip(returning.Tokens(), true))
        return "quotes not kept, delimiters returned: tokens differ";

    // A token starts outside quotes, so splitting it again gives just the token.
    for (const std::string& token : plain.Tokens()) {
        const TStringTokenizer again(token, delimiters, quotes, false, true);
        if (again.Count() != 1 || again.Token(0) != token)
            return "token splits again: " + Escaped(token);
    }

    if (quotes == "\"'" && TStringTokenizer(source, delimiters).Tokens() != plain.Tokens())
        return "short form differs";
    return "";
}

TEST(StorageFuzz, TokenizerRandomSources) {
    std::mt19937 rng(424242);
    const std::string alphabet = "ab ,;=\"'\0\xff"s;
    const std::string delimiterPool = " ,;=\"\0\xff"s;
    const std::string quotePools[] = {"\"'", "\"", "'", "", "\";", "'\xff"};
    std::uniform_int_distribution<size_t> letter(0, alphabet.size() - 1);
    std::uniform_int_distribution<int> coin(0, 1);
    for (int iteration = 0; iteration < 4000; ++iteration) {
        std::string source;
        const int length = std::uniform_int_distribution<int>(0, 40)(rng);
        for (int i = 0; i < length; ++i)
            source += alphabet[letter(rng)];
        std::string delimiters;
        for (const char c : delimiterPool) {
            if (coin(rng) == 1)
                delimiters += c;
        }
        const std::string& quotes =
            quotePools[std::uniform_int_distribution<size_t>(0, std::size(quotePools) - 1)(rng)];
        ASSERT_EQ(TokenizerViolation(source, delimiters, quotes), "")
            << "source " << Escaped(source) << " delimiters " << Escaped(delimiters) << " quotes "
            << Escaped(quotes);
    }
}

TEST(StorageFuzz, TokenizerOnMutatedTags) {
    // The reader's own settings on tags of the notes index with damage.
    const std::string delimiters = " \r\n\t=<>/";
    std::mt19937 rng(777);
    const std::string inserted = "<>\"/=' \t";
    for (int iteration = 0; iteration < 1000; ++iteration) {
        std::string tag = kIndex[3 + 2 * static_cast<size_t>(iteration % 2)];
        for (int m = 0; m < 3; ++m) {
            const size_t at = std::uniform_int_distribution<size_t>(0, tag.size() - 1)(rng);
            tag[at] = inserted[std::uniform_int_distribution<size_t>(0, inserted.size() - 1)(rng)];
        }
        ASSERT_EQ(TokenizerViolation(tag, delimiters, "\""), "") << Escaped(tag);
    }
}

// ---------------------------------------------------------------------------------------------
// Entities

// Replace the first occurrence and search again from the start, one reference after the other.
std::string LiteralDecode(std::string text) {
    const std::pair<std::string_view, char> references[] = {
        {"&amp;", '&'}, {"&lt;", '<'}, {"&gt;", '>'}, {"&apos;", '\''}, {"&quot;", '"'}};
    for (const auto& [reference, character] : references) {
        for (size_t at; (at = text.find(reference)) != std::string::npos;)
            text.replace(at, reference.size(), 1, character);
    }
    return text;
}

TEST(StorageFuzz, DecodeEntitiesMatchesTheLiteralAlgorithm) {
    std::mt19937 rng(99);
    const std::string alphabet = "&amp;ltgquos;ex";
    const std::string withSpecials = "&amp;ltgquos\"<>";
    for (int iteration = 0; iteration < 4000; ++iteration) {
        const std::string& pool = iteration % 2 == 0 ? alphabet : withSpecials;
        std::uniform_int_distribution<size_t> letter(0, pool.size() - 1);
        std::string text;
        const int length = std::uniform_int_distribution<int>(0, 30)(rng);
        for (int i = 0; i < length; ++i)
            text += pool[letter(rng)];
        const std::string decoded = DecodeEntities(text);
        ASSERT_EQ(decoded, LiteralDecode(text)) << Escaped(text);
        // A text that decodes to itself comes back unchanged from its encoded form.
        if (decoded == text) {
            ASSERT_EQ(DecodeEntities(EncodeEntities(text)), text) << Escaped(text);
        }
    }
}

TEST(StorageFuzz, DecodeEntitiesOnTenMegabytes) {
    std::string repeated;
    repeated.reserve(kTenMB + 8);
    while (repeated.size() < kTenMB)
        repeated += "&amp;";
    EXPECT_EQ(DecodeEntities(repeated), std::string(repeated.size() / 5, '&'));

    // Every replacement makes the next occurrence at the same place.
    std::string nested = "&";
    nested.reserve(kTenMB + 8);
    while (nested.size() < kTenMB)
        nested += "amp;";
    nested += "lt;";
    EXPECT_EQ(DecodeEntities(nested), "<");
}

} // namespace
