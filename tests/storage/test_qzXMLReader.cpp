#include "qzXMLReader.h"

#include "UConvert.h"
#include "qzXMLUtil.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace {

using namespace std::string_literals;
using TLines = std::vector<std::string>;

std::unique_ptr<TXMLNode> Parse(const TLines& lines) {
    auto document = TXMLReader(lines).Parse();
    EXPECT_NE(document, nullptr);
    return document;
}

// The message of the exception Parse raises, or a marker when it raises none.
std::string ParseError(const TLines& lines) {
    try {
        TXMLReader(lines).Parse();
    } catch (const Exception& error) {
        return error.what();
    }
    return "(no error)";
}

// The only child of the document, failing the test if there is not exactly one.
const TXMLNode& OnlyElement(const std::unique_ptr<TXMLNode>& document) {
    static const TXMLNode kMissing;
    if (document == nullptr || document->ChildCount() != 1) {
        ADD_FAILURE() << "expected a document with one child";
        return kMissing;
    }
    return *document->ChildAt(0);
}

void ExpectAttribute(const TXMLNode& element, int index, const std::string& name,
                     const std::string& value) {
    SCOPED_TRACE("attribute " + name);
    const TXMLNode* attribute = element.AttributeAt(index);
    ASSERT_NE(attribute, nullptr);
    EXPECT_EQ(attribute->NodeType, TXMLNodeType::Attribute);
    EXPECT_EQ(attribute->Name, name);
    EXPECT_EQ(attribute->Value, value);
    EXPECT_EQ(attribute->Parent, &element);
    EXPECT_EQ(attribute->AttributeCount(), 0);
    EXPECT_EQ(attribute->ChildCount(), 0);
}

const char* const kNote7 =
    "<note id=\"7\" left=\"350\" top=\"212\" width=\"128\" height=\"128\" minimized=\"0\" "
    "systemnote=\"0\" chat=\"0\" readonly=\"-1\" ontop=\"0\" color=\"9300421\" fontsize=\"8\" "
    "fontcolor=\"0\" fontname=\"MS Sans Serif\" />";
const char* const kNote9 =
    "<note id=\"9\" left=\"-20\" top=\"5\" width=\"200\" height=\"150\" minimized=\"-1\" "
    "systemnote=\"0\" chat=\"0\" readonly=\"0\" ontop=\"-1\" color=\"65535\" fontsize=\"10\" "
    "fontcolor=\"255\" fontname=\"Arial &amp; Co\" />";
const char* const kDeclaration =
    "<?xml version=\"1.0\" encoding=\"ISO-8859-1\" standalone=\"yes\" ?>";

// ---------------------------------------------------------------------------------------------
// Document shape

TEST(TXMLReaderDocument, NotesIndexGivesDescriptorAndRootWithNotes) {
    const auto document =
        Parse({kDeclaration, "", "<vorn>", "    "s + kNote7, "    "s + kNote9, "</vorn>"});
    ASSERT_NE(document, nullptr);
    EXPECT_EQ(document->NodeType, TXMLNodeType::Document);
    EXPECT_EQ(document->Name, "");
    EXPECT_EQ(document->Value, "");
    EXPECT_EQ(document->Parent, nullptr);
    EXPECT_EQ(document->AttributeCount(), 0);
    ASSERT_EQ(document->ChildCount(), 2) << "the empty line and line breaks give no nodes";

    const TXMLNode& descriptor = *document->ChildAt(0);
    EXPECT_EQ(descriptor.NodeType, TXMLNodeType::XMLDescriptor);
    EXPECT_EQ(descriptor.Name, "xml");
    EXPECT_EQ(descriptor.Value, "");
    EXPECT_EQ(descriptor.Parent, document.get());
    EXPECT_EQ(descriptor.ChildCount(), 0);
    ASSERT_EQ(descriptor.AttributeCount(), 3);
    ExpectAttribute(descriptor, 0, "version", "1.0");
    ExpectAttribute(descriptor, 1, "encoding", "ISO-8859-1");
    ExpectAttribute(descriptor, 2, "standalone", "yes");

    const TXMLNode& root = *document->ChildAt(1);
    EXPECT_EQ(root.NodeType, TXMLNodeType::Element);
    EXPECT_EQ(root.Name, "vorn");
    EXPECT_EQ(root.Value, "");
    EXPECT_EQ(root.Parent, document.get());
    EXPECT_EQ(root.AttributeCount(), 0);
    EXPECT_EQ(root.AttributeAt(0), nullptr);
    ASSERT_EQ(root.ChildCount(), 2);
    EXPECT_EQ(document->FindChild("vorn"), &root);

    const TXMLNode& first = *root.ChildAt(0);
    EXPECT_EQ(first.NodeType, TXMLNodeType::Element);
    EXPECT_EQ(first.Name, "note");
    EXPECT_EQ(first.Value, "");
    EXPECT_EQ(first.Parent, &root);
    EXPECT_EQ(first.ChildCount(), 0);
    EXPECT_EQ(first.ChildAt(0), nullptr);
    ASSERT_EQ(first.AttributeCount(), 14);
    const char* const names[] = {"id",        "left",       "top",       "width",    "height",
                                 "minimized", "systemnote", "chat",      "readonly", "ontop",
                                 "color",     "fontsize",   "fontcolor", "fontname"};
    const char* const values[] = {"7", "350", "212", "128",     "128", "0", "0",
                                  "0", "-1",  "0",   "9300421", "8",   "0", "MS Sans Serif"};
    for (int i = 0; i < 14; ++i)
        ExpectAttribute(first, i, names[i], values[i]);

    const TXMLNode& second = *root.ChildAt(1);
    EXPECT_EQ(second.Parent, &root);
    ASSERT_EQ(second.AttributeCount(), 14);
    ExpectAttribute(second, 0, "id", "9");
    ExpectAttribute(second, 1, "left", "-20");
    ExpectAttribute(second, 13, "fontname", "Arial &amp; Co"); // entities are not decoded
}

TEST(TXMLReaderDocument, EmptyStoreAndEmptyInput) {
    const auto store = Parse({kDeclaration, "", "<vorn>", "</vorn>"});
    ASSERT_EQ(store->ChildCount(), 2);
    EXPECT_EQ(store->ChildAt(1)->Name, "vorn");
    EXPECT_EQ(store->ChildAt(1)->ChildCount(), 0);

    for (const TLines& lines : {TLines{}, TLines{"", "  ", "\t"}, TLines{"just text"}}) {
        const auto document = Parse(lines);
        EXPECT_EQ(document->NodeType, TXMLNodeType::Document);
        EXPECT_EQ(document->ChildCount(), 0);
        EXPECT_EQ(document->Value, "");
    }
}

TEST(TXMLReaderDocument, LayoutIsFree) {
    // The whole index on one line, and a tag spread over several lines.
    const auto oneLine =
        Parse({std::string(kDeclaration) + "<vorn>" + kNote7 + kNote9 + "</vorn>"});
    ASSERT_EQ(oneLine->ChildCount(), 2);
    EXPECT_EQ(oneLine->ChildAt(1)->ChildCount(), 2);

    const auto spread = Parse({"<vorn", ">", "\t<note", "  id", "=", "\"3\"", "/>", "</vorn>"});
    const TXMLNode& root = OnlyElement(spread);
    EXPECT_EQ(root.Name, "vorn");
    ASSERT_EQ(root.ChildCount(), 1);
    ASSERT_EQ(root.ChildAt(0)->AttributeCount(), 1);
    ExpectAttribute(*root.ChildAt(0), 0, "id", "3");

    const auto quoted = Parse({"<a x=\"1", "2\"/>"});
    ASSERT_EQ(OnlyElement(quoted).AttributeCount(), 1);
    ExpectAttribute(OnlyElement(quoted), 0, "x", "1\r\n2");
}

TEST(TXMLReaderDocument, UnclosedElementsAndUnfinishedTagsAreKeptWithoutError) {
    const auto document = Parse({"<a>", "<b>", "text"});
    const TXMLNode& a = OnlyElement(document);
    EXPECT_EQ(a.Name, "a");
    ASSERT_EQ(a.ChildCount(), 1);
    EXPECT_EQ(a.ChildAt(0)->Name, "b");
    EXPECT_EQ(a.ChildAt(0)->Parent, &a);
    EXPECT_EQ(a.ChildAt(0)->Value, "") << "text is only used at an end tag";

    const auto unfinished = Parse({"<a>", "<b x=\"1\" "});
    EXPECT_EQ(OnlyElement(unfinished).ChildCount(), 0);
    const auto unfinishedCDATA = Parse({"<a><![CDATA[x>y"});
    EXPECT_EQ(OnlyElement(unfinishedCDATA).ChildCount(), 0);
}

TEST(TXMLReaderDocument, DeclarationInsideAnElementLeavesTheCurrentNode) {
    const auto document = Parse({"<a><?xml?><b/></a>"});
    const TXMLNode& a = OnlyElement(document);
    ASSERT_EQ(a.ChildCount(), 2);
    EXPECT_EQ(a.ChildAt(0)->NodeType, TXMLNodeType::XMLDescriptor);
    EXPECT_EQ(a.ChildAt(0)->Name, "xml");
    EXPECT_EQ(a.ChildAt(0)->AttributeCount(), 0);
    EXPECT_EQ(a.ChildAt(0)->Parent, &a);
    EXPECT_EQ(a.ChildAt(1)->Name, "b");
}

// ---------------------------------------------------------------------------------------------
// Text

TEST(TXMLReaderText, CollectsSinceThePreviousEndTag) {
    struct TCase {
        const char* Name;
        TLines Lines;
        std::vector<std::string> Path; // element names from the document down
        std::string Expected;
    };
    const TCase cases[] = {
        {"nothing inside", {"<a></a>"}, {"a"}, ""},
        {"surrounding blanks trimmed", {"<a>  x  </a>"}, {"a"}, "x"},
        {"control characters trimmed", {"<a>\t\x01x y\x1f\r\n</a>"}, {"a"}, "x y"},
        {"bytes above 127 are not trimmed", {"<a>\xe9x\xe9</a>"}, {"a"}, "\xe9x\xe9"},
        {"inner line breaks kept", {"<a>", "  x", "  y  ", "</a>"}, {"a"}, "x\r\n  y"},
        {"text around an empty child joins", {"<a>x<b/>y</a>"}, {"a"}, "xy"},
        {"text before a child goes to the child", {"<a>p<b>q</b>r</a>"}, {"a", "b"}, "pq"},
        {"text after a child goes to the parent", {"<a>p<b>q</b>r</a>"}, {"a"}, "r"},
        {"leading text joins the first closed element",
         {"lead<a><b>x</b></a>"},
         {"a", "b"},
         "leadx"},
        {"outer element of leading text stays empty", {"lead<a><b>x</b></a>"}, {"a"}, ""},
        {"comment is not text", {"<a>x<!-- c -->y</a>"}, {"a"}, "xy"},
        {"CDATA is not text", {"<a>x<![CDATA[c]]>y</a>"}, {"a"}, "xy"},
        {"entities stay", {"<a>&lt;&amp;</a>"}, {"a"}, "&lt;&amp;"},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Name);
        const auto document = Parse(c.Lines);
        const TXMLNode* node = document.get();
        for (const std::string& name : c.Path) {
            node = node->FindChild(name);
            ASSERT_NE(node, nullptr) << name;
        }
        EXPECT_EQ(node->Value, c.Expected);
    }
}

TEST(TXMLReaderText, TextAfterTheLastEndTagIsDropped) {
    const auto document = Parse({"<a>x</a>tail", "more<b/>end"});
    ASSERT_EQ(document->ChildCount(), 2);
    EXPECT_EQ(document->ChildAt(0)->Value, "x");
    EXPECT_EQ(document->ChildAt(1)->Value, "");
    EXPECT_EQ(document->Value, "");
}

// ---------------------------------------------------------------------------------------------
// Comments and CDATA

TEST(TXMLReaderComment, ValueIsTrimmedTextBetweenTheMarkers) {
    const struct {
        const char* Name;
        TLines Lines;
        std::string Expected;
    } cases[] = {
        {"word between blanks", {"<a><!-- hi --></a>"}, "hi"},
        {"empty", {"<a><!----></a>"}, ""},
        {"line break inside", {"<a><!-- one", "two --></a>"}, "one\r\ntwo"},
        {"dashes and less-than inside", {"<a><!-- <b - c -- --></a>"}, "<b - c --"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Name);
        const auto document = Parse(c.Lines);
        const TXMLNode& a = OnlyElement(document);
        ASSERT_EQ(a.ChildCount(), 1);
        const TXMLNode& comment = *a.ChildAt(0);
        EXPECT_EQ(comment.NodeType, TXMLNodeType::Comment);
        EXPECT_EQ(comment.Name, "");
        EXPECT_EQ(comment.Value, c.Expected);
        EXPECT_EQ(comment.Parent, &a);
        EXPECT_EQ(a.Value, "");
    }
}

TEST(TXMLReaderComment, DoesNotChangeTheCurrentNode) {
    const auto document = Parse({"<!-- top --><a><!--c--><b/></a>"});
    ASSERT_EQ(document->ChildCount(), 2);
    EXPECT_EQ(document->ChildAt(0)->NodeType, TXMLNodeType::Comment);
    EXPECT_EQ(document->ChildAt(0)->Value, "top");
    const TXMLNode& a = *document->ChildAt(1);
    ASSERT_EQ(a.ChildCount(), 2);
    EXPECT_EQ(a.ChildAt(0)->NodeType, TXMLNodeType::Comment);
    EXPECT_EQ(a.ChildAt(1)->Name, "b");
    EXPECT_EQ(a.ChildAt(1)->Parent, &a);
}

TEST(TXMLReaderCDATA, ContentIsKeptUntrimmed) {
    const struct {
        const char* Name;
        TLines Lines;
        std::string Expected;
    } cases[] = {
        {"tag, ampersand and greater-than", {"<a><![CDATA[<b & > ]]></a>"}, "<b & > "},
        {"blanks kept", {"<a><![CDATA[  x  ]]></a>"}, "  x  "},
        {"empty", {"<a><![CDATA[]]></a>"}, ""},
        {"brackets not followed by >", {"<a><![CDATA[a]]b]>c]]></a>"}, "a]]b]>c"},
        {"line break inside", {"<a><![CDATA[x", "y]]></a>"}, "x\r\ny"},
        {"comment markers inside", {"<a><![CDATA[<!-- > -->]]></a>"}, "<!-- > -->"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Name);
        const auto document = Parse(c.Lines);
        const TXMLNode& a = OnlyElement(document);
        ASSERT_EQ(a.ChildCount(), 1);
        const TXMLNode& cdata = *a.ChildAt(0);
        EXPECT_EQ(cdata.NodeType, TXMLNodeType::CDATA);
        EXPECT_EQ(cdata.Name, "");
        EXPECT_EQ(cdata.Value, c.Expected);
        EXPECT_EQ(cdata.Parent, &a);
    }
}

// ---------------------------------------------------------------------------------------------
// Attributes and names

TEST(TXMLReaderAttributes, ValuesAndLooseEqualsSigns) {
    const struct {
        const char* Name;
        std::string Tag;
        std::string Attribute;
        std::string Value;
    } cases[] = {
        {"plain", "<a id=\"5\"/>", "id", "5"},
        {"no equals sign", "<a id \"5\"/>", "id", "5"},
        {"two equals signs", "<a id = = \"5\"/>", "id", "5"},
        {"blanks around equals", "<a id\t=  \"5\" />", "id", "5"},
        {"empty value", "<a id=\"\"/>", "id", ""},
        {"blank, equals, slash and less-than inside", "<a v=\"p q=r/s<t\"/>", "v", "p q=r/s<t"},
        {"apostrophe inside", "<a v=\"it's\"/>", "v", "it's"},
        {"name with colon and underscore", "<a x:y_1=\"2\"/>", "x:y_1", "2"},
        {"start tag", "<a id=\"5\"></a>", "id", "5"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Name);
        const auto document = Parse({c.Tag});
        const TXMLNode& a = OnlyElement(document);
        EXPECT_EQ(a.Name, "a");
        ASSERT_EQ(a.AttributeCount(), 1);
        ExpectAttribute(a, 0, c.Attribute, c.Value);
    }
}

TEST(TXMLReaderAttributes, KeptInDocumentOrderWithDuplicates) {
    const auto document = Parse({"<a z=\"1\" b=\"2\" z=\"3\"/>"});
    const TXMLNode& a = OnlyElement(document);
    ASSERT_EQ(a.AttributeCount(), 3);
    ExpectAttribute(a, 0, "z", "1");
    ExpectAttribute(a, 1, "b", "2");
    ExpectAttribute(a, 2, "z", "3");
}

TEST(TXMLReaderNames, HyphenAllowedInElementNamesOnly) {
    const auto document = Parse({"<a-b c=\"1\"><x-1_:Y/></a-b>"});
    const TXMLNode& ab = OnlyElement(document);
    EXPECT_EQ(ab.Name, "a-b");
    ASSERT_EQ(ab.ChildCount(), 1);
    EXPECT_EQ(ab.ChildAt(0)->Name, "x-1_:Y");

    EXPECT_EQ(ParseError({"<a b-c=\"1\"/>"}),
              "Invalid Attribute Name (b-c) in XML string: <a b-c=\"1\"/>");
}

// ---------------------------------------------------------------------------------------------
// Errors

struct TErrorCase {
    const char* Name;
    TLines Lines;
    std::string Message;
};

void ExpectErrors(const std::vector<TErrorCase>& cases) {
    for (const TErrorCase& c : cases) {
        SCOPED_TRACE(c.Name);
        EXPECT_EQ(ParseError(c.Lines), c.Message);
    }
}

TEST(TXMLReaderErrors, MalformedDescriptor) {
    ExpectErrors({
        {"not ending with ?>",
         {"<?xml version=\"1.0\">"},
         "Malformed XML Descriptor: \"<?xml version=\"1.0\">\""},
        {"first token not xml",
         {"<?xmlx version=\"1.0\"?>"},
         "Malformed XML Descriptor: \"<?xmlx version=\"1.0\"?>\""},
        {"processing instruction named xml-stylesheet",
         {"<?xml-stylesheet href=\"a\"?>"},
         "Malformed XML Descriptor: \"<?xml-stylesheet href=\"a\"?>\""},
        {"tag over two lines",
         {"<?xml version=\"1.0\"", "  encoding=\"x\" >"},
         "Malformed XML Descriptor: \"<?xml version=\"1.0\"\r\n  encoding=\"x\" >\""},
        {"descriptor attributes are checked like an element's",
         {"<?xml version=1.0 ?>"},
         "Attribute Value (1.0) is not quoted in XML string: <?xml version=1.0 ?>"},
        {"descriptor with an odd token over two lines",
         {"<?xml version=\"1.0\"", "x ?>"},
         "Invalid number of tokens in XML string: <?xml version=\"1.0\"\r\nx ?>"},
        {"upper-case XML is a start tag",
         {"<?XML version=\"1.0\"?>"},
         "Invalid node name (?XML) in XML string: <?XML version=\"1.0\"?>"},
    });
}

TEST(TXMLReaderErrors, MalformedComment) {
    ExpectErrors({
        {"greater-than inside cuts the tag",
         {"<a><!-- x > y --></a>"},
         "Malformed XML Comment: \"<!-- x >\""},
        {"single dash before >", {"<!-- x ->"}, "Malformed XML Comment: \"<!-- x ->\""},
        {"tag over two lines", {"<!-- x", "y >"}, "Malformed XML Comment: \"<!-- x\r\ny >\""},
    });
}

TEST(TXMLReaderErrors, MismatchedClosingTag) {
    ExpectErrors({
        {"other name", {"<a></b>"}, "Mismatched closing tag: </b>"},
        {"nothing open", {"</a>"}, "Mismatched closing tag: </a>"},
        {"after the root is closed", {"<a></a></a>"}, "Mismatched closing tag: </a>"},
        {"names are case-sensitive", {"<a></A>"}, "Mismatched closing tag: </A>"},
        {"blank before >", {"<a></a >"}, "Mismatched closing tag: </a >"},
        {"closes the inner element first", {"<a><b></a></b>"}, "Mismatched closing tag: </a>"},
        {"tag over two lines", {"<a>", "</a", ">"}, "Mismatched closing tag: </a\r\n>"},
        {"empty name", {"<a></>"}, "Mismatched closing tag: </>"},
    });
}

TEST(TXMLReaderErrors, InvalidNumberOfTokens) {
    ExpectErrors({
        {"attribute name without value",
         {"<a x/>"},
         "Invalid number of tokens in XML string: <a x/>"},
        {"value without name",
         {"<a \"1\"/>"},
         "Invalid number of tokens in XML string: <a \"1\"/>"},
        {"no tokens", {"<>"}, "Invalid number of tokens in XML string: <>"},
        {"counted before the name is checked",
         {"<a.b x/>"},
         "Invalid number of tokens in XML string: <a.b x/>"},
        {"document type declaration",
         {"<!DOCTYPE vorn>"},
         "Invalid number of tokens in XML string: <!DOCTYPE vorn>"},
        {"quoted blank is one token",
         {"<a x=\"1 2\" y/>"},
         "Invalid number of tokens in XML string: <a x=\"1 2\" y/>"},
    });
}

TEST(TXMLReaderErrors, InvalidNodeName) {
    ExpectErrors({
        {"dot in name", {"<a.b/>"}, "Invalid node name (a.b) in XML string: <a.b/>"},
        {"checked before attributes",
         {"<a.b c-d=1/>"},
         "Invalid node name (a.b) in XML string: <a.b c-d=1/>"},
        {"processing instruction",
         {"<?php echo ?>"},
         "Invalid node name (?php) in XML string: <?php echo ?>"},
        {"lower-case cdata is no CDATA",
         {"<![cdata[x]]>"},
         "Invalid node name (![cdata[x]]) in XML string: <![cdata[x]]>"},
        {"byte above 127", {"<\xe9/>"}, "Invalid node name (\xe9) in XML string: <\xe9/>"},
        {"tag over two lines", {"<a.b", "/>"}, "Invalid node name (a.b) in XML string: <a.b\r\n/>"},
    });
}

TEST(TXMLReaderErrors, InvalidAttributeName) {
    ExpectErrors({
        {"hyphen",
         {"<a b-c=\"1\"/>"},
         "Invalid Attribute Name (b-c) in XML string: <a b-c=\"1\"/>"},
        {"checked before its value",
         {"<a b-c=1/>"},
         "Invalid Attribute Name (b-c) in XML string: <a b-c=1/>"},
        {"second pair",
         {"<a x=\"1\" y.z=\"2\"></a>"},
         "Invalid Attribute Name (y.z) in XML string: <a x=\"1\" y.z=\"2\">"},
        {"earlier pair's name before later pair's value",
         {"<a y-z=\"2\" x=1/>"},
         "Invalid Attribute Name (y-z) in XML string: <a y-z=\"2\" x=1/>"},
        {"tag over two lines",
         {"<a", "b-c=\"1\"/>"},
         "Invalid Attribute Name (b-c) in XML string: <a\r\nb-c=\"1\"/>"},
    });
}

TEST(TXMLReaderErrors, AttributeValueNotQuoted) {
    ExpectErrors({
        {"apostrophes",
         {"<a x='1'/>"},
         "Attribute Value ('1') is not quoted in XML string: <a x='1'/>"},
        {"bare value", {"<a x=1></a>"}, "Attribute Value (1) is not quoted in XML string: <a x=1>"},
        {"earlier pair's value before later pair's name",
         {"<a x=1 y-z=\"2\"/>"},
         "Attribute Value (1) is not quoted in XML string: <a x=1 y-z=\"2\"/>"},
        {"greater-than inside the value cuts the tag",
         {"<a x=\"p>q\"/>"},
         "Attribute Value (\"p>) is not quoted in XML string: <a x=\"p>"},
        {"unclosed quote swallows the slash",
         {"<a x=\"/>"},
         "Attribute Value (\"/>) is not quoted in XML string: <a x=\"/>"},
        {"in a descriptor",
         {"<?xml version='1.0'?>"},
         "Attribute Value ('1.0') is not quoted in XML string: <?xml version='1.0'?>"},
        {"tag over two lines",
         {"<a x=", "'1'/>"},
         "Attribute Value ('1') is not quoted in XML string: <a x=\r\n'1'/>"},
    });
}

TEST(TXMLReaderErrors, NoTreeIsReturnedAfterAnError) {
    EXPECT_THROW(TXMLReader({"<vorn>", kNote7, "<note x/>", "</vorn>"}).Parse(), Exception);
}

// ---------------------------------------------------------------------------------------------
// Nodes

TEST(TXMLNode, KindsHaveDisplayNames) {
    const struct {
        TXMLNodeType Type;
        int Value;
        const char* Name;
    } kinds[] = {
        {TXMLNodeType::Undefined, 0, "Undefined"},
        {TXMLNodeType::Document, 1, "Document"},
        {TXMLNodeType::XMLDescriptor, 2, "XML Descriptor"},
        {TXMLNodeType::Element, 3, "Element"},
        {TXMLNodeType::Attribute, 4, "Attribute"},
        {TXMLNodeType::Comment, 5, "Comment"},
        {TXMLNodeType::CDATA, 6, "CDATA"},
    };
    for (const auto& kind : kinds) {
        SCOPED_TRACE(kind.Name);
        EXPECT_EQ(static_cast<int>(kind.Type), kind.Value);
        EXPECT_STREQ(NodeTypeName(kind.Type), kind.Name);
    }
    static_assert(sizeof(TXMLNodeType) == 1);
}

TEST(TXMLNode, CreatedEmpty) {
    TXMLNode parent;
    const TXMLNode node(&parent);
    EXPECT_EQ(node.Name, "");
    EXPECT_EQ(node.Value, "");
    EXPECT_EQ(node.NodeType, TXMLNodeType::Undefined);
    EXPECT_EQ(node.Parent, &parent);
    EXPECT_EQ(node.AttributeCount(), 0);
    EXPECT_EQ(node.ChildCount(), 0);
    EXPECT_EQ(node.AttributeAt(0), nullptr);
    EXPECT_EQ(node.ChildAt(0), nullptr);
    EXPECT_EQ(node.FindChild(""), nullptr);
}

TEST(TXMLNode, AddKeepsOrderAndFindChildMatchesExactly) {
    TXMLNode root;
    for (const char* name : {"Note", "note", "note", "notes"}) {
        auto child = std::make_unique<TXMLNode>(&root);
        child->Name = name;
        root.AddChild(std::move(child));
    }
    TXMLNode attribute(&root);
    attribute.Name = "id";
    root.AddAttribute(std::move(attribute));

    ASSERT_EQ(root.ChildCount(), 4);
    EXPECT_EQ(root.AttributeCount(), 1);
    EXPECT_EQ(root.AttributeAt(0)->Name, "id");
    EXPECT_EQ(root.FindChild("note"), root.ChildAt(1)) << "the first match";
    EXPECT_EQ(root.FindChild("Note"), root.ChildAt(0));
    EXPECT_EQ(root.FindChild("NOTE"), nullptr);
    EXPECT_EQ(root.FindChild("not"), nullptr);
    EXPECT_EQ(root.FindChild("note "), nullptr);
}

TEST(TXMLNode, FindChildInAParsedDocumentSeesEveryKind) {
    const auto document = Parse({"<vorn><!--c--><Note/><note id=\"1\"/><note id=\"2\"/></vorn>"});
    const TXMLNode* root = document->FindChild("vorn");
    ASSERT_NE(root, nullptr);
    EXPECT_EQ(document->FindChild("VORN"), nullptr);
    const TXMLNode* note = root->FindChild("note");
    ASSERT_NE(note, nullptr);
    ASSERT_EQ(note->AttributeCount(), 1);
    EXPECT_EQ(note->AttributeAt(0)->Value, "1");
    EXPECT_EQ(root->FindChild("Note"), root->ChildAt(1));
    EXPECT_EQ(root->FindChild(""), root->ChildAt(0)) << "a comment has an empty name";
}

// ---------------------------------------------------------------------------------------------
// qzXMLUtil

TEST(XMLNames, NodeAndAttributeNames) {
    const struct {
        std::string Text;
        bool Node;
        bool Attribute;
    } cases[] = {
        {"", false, false},         {"a", true, true},       {"Zz09_:", true, true},
        {"9", true, true},          {"a-b", true, false},    {"-", true, false},
        {"a b", false, false},      {"a.b", false, false},   {"a=b", false, false},
        {"\"a\"", false, false},    {"<a", false, false},    {"a/", false, false},
        {"\xc3\xa9", false, false}, {"a\0b"s, false, false}, {"a\t", false, false},
        {"a\x7f", false, false},    {"\xff", false, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Text);
        EXPECT_EQ(IsValidNodeName(c.Text), c.Node);
        EXPECT_EQ(IsValidAttributeName(c.Text), c.Attribute);
    }
}

TEST(XMLQuotes, IsQuotedAndUnquote) {
    const struct {
        std::string Text;
        bool Quoted;
        std::string Unquoted;
    } cases[] = {
        {"", false, ""},
        {"\"", false, "\""},
        {"\"\"", true, ""},
        {"\"a\"", true, "a"},
        {"\"a b\"", true, "a b"},
        {"\"\"a\"\"", true, "\"a\""},
        {"\"a\"b\"", true, "a\"b"},
        {"'a'", false, "'a'"},
        {"\"a'", false, "\"a'"},
        {"\"a", false, "\"a"},
        {"a\"", false, "a\""},
        {" \"a\"", false, " \"a\""},
        {"\"a\" ", false, "\"a\" "},
        {"a", false, "a"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Text);
        EXPECT_EQ(IsQuoted(c.Text), c.Quoted);
        EXPECT_EQ(Unquote(c.Text), c.Unquoted);
    }
}

TEST(XMLEntities, DecodeProcessesTheFiveReferencesInOrder) {
    const struct {
        const char* Name;
        std::string Text;
        std::string Expected;
    } cases[] = {
        {"empty", "", ""},
        {"no reference", "MS Sans Serif", "MS Sans Serif"},
        {"amp", "&amp;", "&"},
        {"lt", "&lt;", "<"},
        {"gt", "&gt;", ">"},
        {"apos", "&apos;", "'"},
        {"quot", "&quot;", "\""},
        {"all five", "&lt;&gt;&apos;&quot;&amp;", "<>'\"&"},
        {"inside text", "Arial &amp; Co", "Arial & Co"},
        {"every occurrence", "a&amp;b&amp;c&lt;d&lt;", "a&b&c<d<"},
        {"amp amp", "&amp;amp;", "&"},
        {"amp amp amp", "&amp;amp;amp;", "&"},
        {"amp then lt", "&amp;lt;", "<"},
        {"amp then gt", "&amp;gt;", ">"},
        {"amp then apos", "&amp;apos;", "'"},
        {"amp then quot", "&amp;quot;", "\""},
        {"amp amp then quot", "&amp;amp;quot;", "\""},
        {"lt does not make amp", "&lt;amp;", "<amp;"},
        {"quot does not make lt", "&quot;lt;", "\"lt;"},
        {"amp made after a lone ampersand", "&&amp;lt;", "&<"},
        {"nested amp beside ampersands", "&&amp;amp;;", "&&;"},
        {"split reference stays split", "&am&amp;p;", "&am&p;"},
        {"lone ampersand", "a & b", "a & b"},
        {"only an ampersand", "&", "&"},
        {"unterminated", "&amp", "&amp"},
        {"empty reference", "&;", "&;"},
        {"unknown reference", "&nbsp;", "&nbsp;"},
        {"numeric reference", "&#38;", "&#38;"},
        {"upper case", "&AMP;&Lt;", "&AMP;&Lt;"},
        {"NUL kept", "a\0&amp;"s, "a\0&"s},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Name);
        EXPECT_EQ(DecodeEntities(c.Text), c.Expected);
    }
}

TEST(XMLEntities, EncodedNamesSurviveTheReaderAndDecodeBack) {
    EXPECT_EQ(EncodeEntities("a\"b<c>d"), "a&quot;b&lt;c&gt;d");
    EXPECT_EQ(EncodeEntities("R&D 'x'"), "R&D 'x'") << "ampersand and apostrophe stay";
    const std::string names[] = {
        "MS Sans Serif", "Say \"hi\"", "<Bold>", "a<b>c\"d", "R&D <x>", "&\"", "&<",
        "&amp<",         "\"",         ">>",     "",
    };
    for (const std::string& name : names) {
        SCOPED_TRACE(name);
        const std::string encoded = EncodeEntities(name);
        EXPECT_EQ(encoded.find_first_of("\"<>"), std::string::npos);
        EXPECT_EQ(DecodeEntities(encoded), name);

        const auto document = Parse({"<note " + StrAttribute("fontname", encoded) + "/>"});
        const TXMLNode& note = OnlyElement(document);
        ASSERT_EQ(note.AttributeCount(), 1);
        EXPECT_EQ(DecodeEntities(note.AttributeAt(0)->Value), name);
    }
}

TEST(XMLAttributeTexts, NameQuotedValueAndOneBlank) {
    const struct {
        std::string Actual;
        std::string Expected;
    } cases[] = {
        {StrAttribute("fontname", "MS Sans Serif"), "fontname=\"MS Sans Serif\" "},
        {StrAttribute("x", ""), "x=\"\" "},
        {StrAttribute("f", "a&b<c"), "f=\"a&b<c\" "},
        {IntAttribute("id", 7), "id=\"7\" "},
        {IntAttribute("id", 0), "id=\"0\" "},
        {IntAttribute("left", -20), "left=\"-20\" "},
        {IntAttribute("n", INT32_MAX), "n=\"2147483647\" "},
        {IntAttribute("n", INT32_MIN), "n=\"-2147483648\" "},
        {BoolAttribute("ontop", true), "ontop=\"-1\" "},
        {BoolAttribute("ontop", false), "ontop=\"0\" "},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Expected);
        EXPECT_EQ(c.Actual, c.Expected);
    }
}

TEST(XMLAttributeTexts, ReadBackByTheReader) {
    const auto document = Parse({"<note " + IntAttribute("left", -20) + BoolAttribute("ro", true) +
                                 BoolAttribute("top", false) + StrAttribute("f", "a b") + "/>"});
    const TXMLNode& note = OnlyElement(document);
    ASSERT_EQ(note.AttributeCount(), 4);
    ExpectAttribute(note, 0, "left", "-20");
    ExpectAttribute(note, 1, "ro", "-1");
    ExpectAttribute(note, 2, "top", "0");
    ExpectAttribute(note, 3, "f", "a b");
}

} // namespace
