#include "qzXMLReader.h"

#include "UConvert.h"
#include "qzStringTokenizer.h"
#include "qzXMLUtil.h"

#include <algorithm>

namespace {

bool StartsWith(std::string_view text, std::string_view prefix) {
    return text.substr(0, prefix.size()) == prefix;
}

bool EndsWith(std::string_view text, std::string_view suffix) {
    return text.size() >= suffix.size() && text.substr(text.size() - suffix.size()) == suffix;
}

// Delphi-style Copy: characters from a 0-based start, a count below 0 giving nothing.
std::string_view Middle(std::string_view text, size_t start, std::ptrdiff_t count) {
    if (count <= 0 || start >= text.size())
        return {};
    return text.substr(start, static_cast<size_t>(count));
}

constexpr std::string_view kCDATAStart = "<![CDATA[";

// The state machine of one Parse: outside a tag, inside a tag, inside a tag and inside CDATA.
class TParser {
public:
    TParser() : Document_(std::make_unique<TXMLNode>()), Current_(Document_.get()) {
        Document_->NodeType = TXMLNodeType::Document;
    }

    // Feeds the characters in order. Runs of characters that cannot change the state are
    // appended at once; the result is the same as feeding them one by one.
    void Feed(std::string_view input) {
        size_t i = 0;
        while (i < input.size()) {
            if (!InTag_) {
                const size_t open = input.find('<', i);
                if (open == std::string_view::npos) {
                    Text_.append(input.substr(i));
                    return;
                }
                Text_.append(input.substr(i, open - i));
                InTag_ = true;
                Tag_.assign(1, '<');
                i = open + 1;
            } else if (!InCDATA_ && Tag_.size() < kCDATAStart.size()) {
                // The tag may still become exactly the CDATA opener: one character at a time.
                const char c = input[i++];
                Tag_ += c;
                if (Tag_ == kCDATAStart)
                    InCDATA_ = true;
                else if (c == '>')
                    CompleteTag();
            } else {
                // Only a '>' can end the tag: outside CDATA any '>', inside CDATA one that ends
                // "]]>".
                const size_t close = input.find('>', i);
                if (close == std::string_view::npos) {
                    Tag_.append(input.substr(i));
                    return;
                }
                Tag_.append(input.substr(i, close - i + 1));
                i = close + 1;
                if (InCDATA_ && EndsWith(Tag_, "]]>"))
                    InCDATA_ = false;
                if (!InCDATA_)
                    CompleteTag();
            }
        }
    }

    std::unique_ptr<TXMLNode> TakeDocument() { return std::move(Document_); }

private:
    void CompleteTag() {
        InTag_ = false;
        const std::string_view tag = Tag_;
        if (StartsWith(tag, "<?xml"))
            Declaration(tag);
        else if (StartsWith(tag, "<!--"))
            Comment(tag);
        else if (StartsWith(tag, kCDATAStart))
            AddLeaf(TXMLNodeType::CDATA,
                    Middle(tag, 9, static_cast<std::ptrdiff_t>(tag.size()) - 12));
        else if (StartsWith(tag, "</"))
            EndTag(tag);
        else if (EndsWith(tag, "/>"))
            Current_->AddChild(MakeElement(tag));
        else
            Current_ = &Current_->AddChild(MakeElement(tag));
        Tag_.clear();
    }

    void Declaration(std::string_view tag) {
        const TStringTokenizer tokens(tag, " \r\n\t=<>?", "\"", false, true);
        if (!EndsWith(tag, "?>") || tokens.Token(0) != "xml")
            throw Exception("Malformed XML Descriptor: \"" + std::string(tag) + "\"");
        auto node = MakeNode(tokens, tag);
        node->NodeType = TXMLNodeType::XMLDescriptor;
        Current_->AddChild(std::move(node));
    }

    void Comment(std::string_view tag) {
        if (!EndsWith(tag, "-->"))
            throw Exception("Malformed XML Comment: \"" + std::string(tag) + "\"");
        AddLeaf(TXMLNodeType::Comment,
                Trim(Middle(tag, 4, static_cast<std::ptrdiff_t>(tag.size()) - 7)));
    }

    void AddLeaf(TXMLNodeType type, std::string_view value) {
        auto node = std::make_unique<TXMLNode>();
        node->NodeType = type;
        node->Value = value;
        Current_->AddChild(std::move(node));
    }

    void EndTag(std::string_view tag) {
        const std::string_view name = tag.substr(2, tag.size() - 3);
        if (Current_ == Document_.get() || name != Current_->Name)
            throw Exception("Mismatched closing tag: " + std::string(tag));
        const std::string_view text = Trim(Text_);
        if (!text.empty())
            Current_->Value = text;
        Current_ = Current_->Parent;
        Text_.clear();
    }

    std::unique_ptr<TXMLNode> MakeElement(std::string_view tag) {
        const TStringTokenizer tokens(tag, " \r\n\t=<>/", "\"", false, true);
        return MakeNode(tokens, tag);
    }

    // Checks every token first, then builds the element and its attributes.
    static std::unique_ptr<TXMLNode> MakeNode(const TStringTokenizer& tokens,
                                              std::string_view tag) {
        const int count = tokens.Count();
        const auto fail = [tag](std::string_view start, std::string_view token,
                                std::string_view end) {
            throw Exception(std::string(start) + std::string(token) + std::string(end) +
                            std::string(tag));
        };
        if (count % 2 == 0)
            fail("Invalid number of tokens in XML string: ", "", "");
        if (!IsValidNodeName(tokens.Token(0)))
            fail("Invalid node name (", tokens.Token(0), ") in XML string: ");
        for (int i = 1; i < count; i += 2) {
            if (!IsValidAttributeName(tokens.Token(i)))
                fail("Invalid Attribute Name (", tokens.Token(i), ") in XML string: ");
            if (!IsQuoted(tokens.Token(i + 1)))
                fail("Attribute Value (", tokens.Token(i + 1), ") is not quoted in XML string: ");
        }
        auto node = std::make_unique<TXMLNode>();
        node->NodeType = TXMLNodeType::Element;
        node->Name = tokens.Token(0);
        node->ReserveAttributes(count / 2);
        for (int i = 1; i < count; i += 2) {
            const std::string_view quoted = tokens.Token(i + 1);
            node->AddAttribute(std::string(tokens.Token(i)),
                               std::string(quoted.substr(1, quoted.size() - 2)));
        }
        return node;
    }

    std::unique_ptr<TXMLNode> Document_;
    TXMLNode* Current_;
    bool InTag_ = false;
    bool InCDATA_ = false;
    std::string Tag_;
    std::string Text_;
};

} // namespace

const char* NodeTypeName(TXMLNodeType type) {
    switch (type) {
    case TXMLNodeType::Document:
        return "Document";
    case TXMLNodeType::XMLDescriptor:
        return "XML Descriptor";
    case TXMLNodeType::Element:
        return "Element";
    case TXMLNodeType::Attribute:
        return "Attribute";
    case TXMLNodeType::Comment:
        return "Comment";
    case TXMLNodeType::CDATA:
        return "CDATA";
    case TXMLNodeType::Undefined:
        break;
    }
    return "Undefined";
}

TXMLNode::~TXMLNode() {
    if (!Children_)
        return;
    // Iteratively, so that a deeply nested document cannot exhaust the stack.
    std::vector<std::unique_ptr<TXMLNode>> pending = std::move(*Children_);
    while (!pending.empty()) {
        std::unique_ptr<TXMLNode> node = std::move(pending.back());
        pending.pop_back();
        if (node->Children_) {
            for (auto& child : *node->Children_)
                pending.push_back(std::move(child));
            node->Children_.reset();
        }
    }
}

const TXMLNode* TXMLNode::AttributeAt(int index) const {
    if (!Attributes_)
        return nullptr;
    return &Attributes_->at(static_cast<size_t>(index));
}

const TXMLNode* TXMLNode::ChildAt(int index) const {
    if (!Children_)
        return nullptr;
    return Children_->at(static_cast<size_t>(index)).get();
}

const TXMLNode* TXMLNode::FindChild(std::string_view name) const {
    for (int i = 0; i < ChildCount(); ++i) {
        if ((*Children_)[static_cast<size_t>(i)]->Name == name)
            return (*Children_)[static_cast<size_t>(i)].get();
    }
    return nullptr;
}

std::vector<TXMLNode>& TXMLNode::AttributeList() {
    if (!Attributes_)
        Attributes_ = std::make_unique<std::vector<TXMLNode>>();
    return *Attributes_;
}

void TXMLNode::ReserveAttributes(int count) {
    if (count > 0)
        AttributeList().reserve(static_cast<size_t>(count));
}

TXMLNode& TXMLNode::AddAttribute(TXMLNode&& attribute) {
    return AttributeList().emplace_back(std::move(attribute));
}

TXMLNode& TXMLNode::AddAttribute(std::string name, std::string value) {
    TXMLNode& attribute = AttributeList().emplace_back(this);
    attribute.NodeType = TXMLNodeType::Attribute;
    attribute.Name = std::move(name);
    attribute.Value = std::move(value);
    return attribute;
}

TXMLNode& TXMLNode::AddChild(std::unique_ptr<TXMLNode> child) {
    if (!Children_)
        Children_ = std::make_unique<std::vector<std::unique_ptr<TXMLNode>>>();
    child->Parent = this;
    return *Children_->emplace_back(std::move(child));
}

std::unique_ptr<TXMLNode> TXMLReader::Parse() const {
    TParser parser;
    for (const auto& line : Lines) {
        parser.Feed(line);
        parser.Feed("\r\n");
    }
    return parser.TakeDocument();
}

std::unique_ptr<TXMLNode> TXMLReader::ParseText(std::string_view text) {
    TParser parser;
    // The next CR and LF at or after `start`; each is searched again only once passed, so a
    // text of lone CRs is no slower than one of CR LFs.
    const auto next = [&](char c, size_t from) {
        const size_t found = text.find(c, from);
        return found == std::string_view::npos ? text.size() : found;
    };
    size_t start = 0;
    size_t cr = next('\r', 0);
    size_t lf = next('\n', 0);
    while (start < text.size()) {
        if (cr < start)
            cr = next('\r', start);
        if (lf < start)
            lf = next('\n', start);
        const size_t end = std::min(cr, lf);
        parser.Feed(text.substr(start, end - start));
        parser.Feed("\r\n");
        start = end + (end == cr && lf == cr + 1 ? 2 : 1);
    }
    return parser.TakeDocument();
}
