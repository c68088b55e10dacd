// The XML reader on any bytes: it gives a document or raises Exception, never anything else;
// reading the text at once gives what reading its lines gives; the tree is well linked and holds
// only valid names.

#include "FuzzCheck.h"
#include "UConvert.h"
#include "UFileUtil.h"
#include "qzXMLReader.h"
#include "qzXMLUtil.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace {

struct TResult {
    std::unique_ptr<TXMLNode> Document;
    std::string Error;
};

template <typename TParse>
TResult Read(TParse parse) {
    TResult result;
    try {
        result.Document = parse();
        Require(result.Document != nullptr, "a parse without error gives a document");
    } catch (const Exception& error) {
        result.Error = error.what();
    }
    return result;
}

bool SameNode(const TXMLNode& a, const TXMLNode& b) {
    return a.Name == b.Name && a.Value == b.Value && a.NodeType == b.NodeType &&
           a.AttributeCount() == b.AttributeCount() && a.ChildCount() == b.ChildCount();
}

// Compares both trees and checks the first one's links and names, without recursion: a
// document may nest as deep as it is long.
void CheckTrees(const TXMLNode& whole, const TXMLNode& byLines) {
    Require(whole.NodeType == TXMLNodeType::Document, "the root is the document");
    std::vector<std::pair<const TXMLNode*, const TXMLNode*>> pending{{&whole, &byLines}};
    while (!pending.empty()) {
        const auto [a, b] = pending.back();
        pending.pop_back();
        Require(SameNode(*a, *b), "text and lines give the same tree");
        for (int i = 0; i < a->AttributeCount(); ++i) {
            const TXMLNode& attribute = *a->AttributeAt(i);
            Require(SameNode(attribute, *b->AttributeAt(i)), "text and lines: same attributes");
            Require(attribute.Parent == a, "an attribute's parent is its element");
            Require(attribute.NodeType == TXMLNodeType::Attribute, "attributes are attributes");
            Require(a->NodeType == TXMLNodeType::Element ||
                        a->NodeType == TXMLNodeType::XMLDescriptor,
                    "only elements and the declaration have attributes");
            Require(IsValidAttributeName(attribute.Name), "attribute names are valid");
        }
        for (int i = 0; i < a->ChildCount(); ++i) {
            const TXMLNode& child = *a->ChildAt(i);
            Require(child.Parent == a, "a child's parent is its node");
            if (child.NodeType == TXMLNodeType::Element)
                Require(IsValidNodeName(child.Name), "element names are valid");
            pending.emplace_back(&child, b->ChildAt(i));
        }
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const TResult whole = Read([text] { return TXMLReader::ParseText(text); });
    const std::vector<std::string> lines = SplitLines(text);
    const TResult byLines = Read([&lines] { return TXMLReader(lines).Parse(); });
    Require(whole.Error == byLines.Error, "text and lines raise the same error");
    if (whole.Document)
        CheckTrees(*whole.Document, *byLines.Document);
    return 0;
}
