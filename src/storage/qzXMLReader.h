#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

enum class TXMLNodeType : uint8_t {
    Undefined = 0,
    Document = 1,
    XMLDescriptor = 2,
    Element = 3,
    Attribute = 4,
    Comment = 5,
    CDATA = 6,
};

// "Undefined", "Document", "XML Descriptor", "Element", "Attribute", "Comment", "CDATA".
const char* NodeTypeName(TXMLNodeType type);

// A node of a parsed document. A node owns its attributes and children, and so its whole
// subtree; Parent is not owned.
class TXMLNode {
public:
    explicit TXMLNode(TXMLNode* parent = nullptr) : Parent(parent) {}
    ~TXMLNode();
    TXMLNode(const TXMLNode&) = delete;
    TXMLNode& operator=(const TXMLNode&) = delete;
    TXMLNode(TXMLNode&&) noexcept = default;
    TXMLNode& operator=(TXMLNode&&) noexcept = default;

    int AttributeCount() const { return Attributes_ ? static_cast<int>(Attributes_->size()) : 0; }
    int ChildCount() const { return Children_ ? static_cast<int>(Children_->size()) : 0; }
    // The entry at a 0-based index; null when there are no entries at all.
    const TXMLNode* AttributeAt(int index) const;
    const TXMLNode* ChildAt(int index) const;
    // The first child whose name equals the text exactly, or null.
    const TXMLNode* FindChild(std::string_view name) const;

    TXMLNode& AddAttribute(TXMLNode&& attribute);
    // A new attribute node of this element.
    TXMLNode& AddAttribute(std::string name, std::string value);
    void ReserveAttributes(int count);
    TXMLNode& AddChild(std::unique_ptr<TXMLNode> child);

    std::string Name;
    std::string Value;
    TXMLNodeType NodeType = TXMLNodeType::Undefined;
    TXMLNode* Parent = nullptr;

private:
    std::vector<TXMLNode>& AttributeList();

    // Each list is made by the first addition, as most nodes have none.
    std::unique_ptr<std::vector<TXMLNode>> Attributes_;
    std::unique_ptr<std::vector<std::unique_ptr<TXMLNode>>> Children_;
};

// Reads the small XML subset of the notes index: one kind of declaration, elements with
// double-quoted attributes, empty-element tags, comments, CDATA sections and text. Entity
// references are not decoded. Errors raise Exception with the reader's message; nothing is
// repaired and no partial tree is returned.
class TXMLReader {
public:
    explicit TXMLReader(const std::vector<std::string>& lines) : Lines(lines) {}

    // A node of kind Document holding everything read. Elements still open at the end, an
    // unfinished tag and text after the last end tag are dropped without error.
    std::unique_ptr<TXMLNode> Parse() const;
    // The same as parsing the lines of the text (split at CR LF, CR or LF) without making them.
    static std::unique_ptr<TXMLNode> ParseText(std::string_view text);

    const std::vector<std::string>& Lines;
};
