#include "UTNoteConfig.h"

#include "Fakes.h"
#include "UConvert.h"
#include "URandom.h"
#include "qzRegVal.h"
#include "qzXMLReader.h"

#include <gtest/gtest.h>

#include <cstdint>

namespace {

TNoteConfig ExampleRecord() {
    TNoteConfig config;
    config.Id = 7;
    config.Left = 350;
    config.Top = 212;
    config.ReadOnly = true;
    return config;
}

} // namespace

TEST(NoteElement, ExactText) {
    EXPECT_EQ(ExampleRecord().ToXMLElement(),
              "<note id=\"7\" left=\"350\" top=\"212\" width=\"128\" height=\"128\" "
              "minimized=\"0\" systemnote=\"0\" chat=\"0\" readonly=\"-1\" ontop=\"0\" "
              "color=\"9300421\" fontsize=\"8\" fontcolor=\"0\" fontname=\"MS Sans Serif\" />");

    TNoteConfig system = ExampleRecord();
    system.Color = static_cast<TColor>(0x8000000F);
    system.Left = -20;
    const std::string text = system.ToXMLElement();
    EXPECT_NE(text.find("color=\"-2147483633\""), std::string::npos) << "signed decimal";
    EXPECT_NE(text.find("left=\"-20\""), std::string::npos);

    std::vector<std::string> lines{"first"};
    ExampleRecord().AddXMLElementTo(lines, "    ");
    ASSERT_EQ(lines.size(), 2U);
    EXPECT_EQ(lines[1], "    " + ExampleRecord().ToXMLElement());
}

TEST(NoteElement, FontNamesSurviveTheRoundTrip) {
    // An ampersand is written as it is; quotes and angle brackets as references.
    const struct {
        const char* name;
        const char* written;
    } rows[] = {
        {"Arial & Co", "fontname=\"Arial & Co\""},
        {"A \"quoted\" face", "fontname=\"A &quot;quoted&quot; face\""},
        {"<b>old</b>", "fontname=\"&lt;b&gt;old&lt;/b&gt;\""},
        {"", "fontname=\"\""},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        TNoteConfig config = ExampleRecord();
        config.FontName = row.name;
        const std::string element = config.ToXMLElement();
        EXPECT_NE(element.find(row.written), std::string::npos) << element;

        const std::vector<std::string> lines{"<vorn>", element, "</vorn>"};
        const auto document = TXMLReader(lines).Parse();
        const TXMLNode* note = document->FindChild("vorn")->FindChild("note");
        ASSERT_NE(note, nullptr);
        TNoteConfig read;
        read.ReadFromNode(*note);
        EXPECT_EQ(read, config);
    }
}

TEST(NoteRecord, DefaultsFromSettingsAndScreen) {
    TNoteDefaults defaults;
    defaults.RandomColor = false;
    defaults.FontName = "Courier";
    defaults.FontSize = 11;
    defaults.FontColor = 255;
    defaults.ScreenWidth = 1024;
    defaults.ScreenHeight = 768;
    RandomSeed(3);
    for (int i = 0; i < 500; ++i) {
        const TNoteConfig config = TNoteConfig::CreateWithId(defaults, 42);
        ASSERT_EQ(config.Id, 42);
        ASSERT_GE(config.Left, 0);
        ASSERT_LT(config.Left, 1024 - 128);
        ASSERT_GE(config.Top, 0);
        ASSERT_LT(config.Top, 768 - 128);
        ASSERT_EQ(config.Width, 128);
        ASSERT_EQ(config.Height, 128);
        ASSERT_FALSE(config.Minimized || config.SystemNote || config.Chat || config.ReadOnly ||
                     config.OnTop);
        ASSERT_EQ(config.Color, DefaultNoteColor);
        ASSERT_EQ(config.FontName, "Courier");
        ASSERT_EQ(config.FontSize, 11);
        ASSERT_EQ(config.FontColor, 255);
    }
}

TEST(NoteRecord, RandomColourDrawsAfterThePlace) {
    TNoteDefaults defaults;
    defaults.RandomColor = true;
    RandomSeed(11);
    const TNoteConfig config = TNoteConfig::Create(defaults);
    RandomSeed(11);
    const int32_t left = RandomLeft(defaults, 128);
    const int32_t top = RandomTop(defaults, 128);
    const TColor color = RandomColor();
    EXPECT_EQ(config.Left, left);
    EXPECT_EQ(config.Top, top);
    EXPECT_EQ(config.Color, color);
}

TEST(NoteRecord, DefaultsReadFromTheSettingsStore) {
    FakePrompt prompt;
    FakeScreens screens;
    screens.List = {{{0, 0, 1920, 1080}, {0, 0, 1920, 1050}}};
    TqzRegVal ini(prompt, "/nonexistent/");
    DeclareApplicationSettings(ini);
    ini.SetBoolean("bRandomColor", false);
    ini.SetString("sDefaultFontName", "DejaVu Sans");
    ini.SetInteger("iDefaultFontSize", 12);
    ini.SetInteger("iDefaultFontColor", 1234);
    const TNoteDefaults defaults = ReadNoteDefaults(ini, screens);
    EXPECT_FALSE(defaults.RandomColor);
    EXPECT_EQ(defaults.FontName, "DejaVu Sans");
    EXPECT_EQ(defaults.FontSize, 12);
    EXPECT_EQ(defaults.FontColor, 1234);
    EXPECT_EQ(defaults.ScreenWidth, 1920);
    EXPECT_EQ(defaults.ScreenHeight, 1080);
}

TEST(ReadFromNode, ConversionsAndIgnoredAttributes) {
    const auto read = [](const std::string& attributes) {
        const std::vector<std::string> lines{"<note " + attributes + "/>"};
        const auto document = TXMLReader(lines).Parse();
        TNoteConfig config;
        config.ReadFromNode(*document->ChildAt(0));
        return config;
    };
    EXPECT_TRUE(read("minimized=\"1\"").Minimized);
    EXPECT_TRUE(read("minimized=\"-1\"").Minimized);
    EXPECT_TRUE(read("minimized=\"TRUE\"").Minimized);
    EXPECT_FALSE(read("minimized=\"-1\" minimized=\"false\"").Minimized) << "the later one wins";
    EXPECT_EQ(read("left=\"-20\"").Left, -20);
    EXPECT_EQ(read("left=\"$10\"").Left, 16);
    EXPECT_EQ(read("fontname=\"Arial &amp; Co\"").FontName, "Arial & Co");
    EXPECT_EQ(read("fontname=\"&amp;quot;\"").FontName, "\"");
    EXPECT_EQ(read("ID=\"5\" Left=\"9\" extra=\"x\""), TNoteConfig()) << "names are exact";
    EXPECT_EQ(read(""), TNoteConfig());

    const struct {
        const char* attributes;
        const char* badText;
    } failing[] = {{"minimized=\"yes\"", "yes"},
                   {"left=\"10px\"", "10px"},
                   {"id=\"\"", "''"},
                   {"color=\"2147483648\"", "2147483648"}};
    for (const auto& row : failing) {
        SCOPED_TRACE(row.attributes);
        try {
            read(row.attributes);
            ADD_FAILURE() << "no conversion error";
        } catch (const EConvertError& error) {
            EXPECT_NE(std::string(error.what()).find(row.badText), std::string::npos)
                << error.what();
        }
    }
}

TEST(CompactRecord, Written) {
    TNoteConfig config = ExampleRecord();
    config.Width = 200;
    config.Height = 150;
    EXPECT_EQ(config.ToCompactString(), "{200,150,9300421,\"MS Sans Serif\",8,0}");

    config.Color = -16777208;
    config.FontColor = static_cast<TColor>(0x8000000F);
    config.FontSize = -1;
    config.FontName = "A, {b} c";
    EXPECT_EQ(config.ToCompactString(), "{200,150,-16777208,\"A, {b} c\",-1,-2147483633}");
    config.FontName.clear();
    EXPECT_EQ(config.ToCompactString(), "{200,150,-16777208,\"\",-1,-2147483633}");
}

TEST(CompactRecord, Read) {
    // A record that differs from every value the reader can produce, so each field is seen
    // to be set or left alone.
    TNoteConfig before = ExampleRecord();
    before.Width = 11;
    before.Height = 12;
    before.Color = 13;
    before.FontName = "Before";
    before.FontSize = 14;
    before.FontColor = 15;

    struct TExpected {
        int32_t Width, Height;
        TColor Color;
        const char* FontName;
        int32_t FontSize;
        TColor FontColor;
    };
    const struct {
        const char* Name;
        std::string Text;
        bool Accepted;
        TExpected Fields;
    } rows[] = {
        {"written form",
         "{200,150,9300421,\"MS Sans Serif\",8,0}",
         true,
         {200, 150, 9300421, "MS Sans Serif", 8, 0}},
        {"no braces, blanks only", "200 150 255 Arial 8 0", true, {200, 150, 255, "Arial", 8, 0}},
        {"mixed separators", " {{200 ,, 150},255 ; 8 0", true, {200, 150, 255, ";", 8, 0}},
        {"delimiters inside quotes", "{1,2,3,\" a,{b} \",4,5}", true, {1, 2, 3, " a,{b} ", 4, 5}},
        {"negative colours",
         "{1,2,-16777208,\"X\",4,-2147483648}",
         true,
         {1, 2, -16777208, "X", 4, INT32_MIN}},
        {"plus sign", "{+7,2,3,X,4,5}", true, {7, 2, 3, "X", 4, 5}},
        {"non-integers take defaults",
         "{wide,1e3,red,X,8pt,$10}",
         true,
         {128, 128, -1, "X", -1, -1}},
        {"hexadecimal is no integer", "{$10,$10,$FF,X,$8,$0}", true, {128, 128, -1, "X", -1, -1}},
        {"out of 32 bits",
         "{2147483648,-2147483649,2147483647,X,99999999999,-}",
         true,
         {128, 128, INT32_MAX, "X", -1, -1}},
        {"quoted number with blank", "{\" 200\",150,1,X,8,0}", true, {128, 150, 1, "X", 8, 0}},
        {"font name is taken as it is", "{1,2,3,12,4,5}", true, {1, 2, 3, "12", 4, 5}},
        {"empty font name gives five tokens", "{200,150,9300421,\"\",8,0}", false, {}},
        {"seven tokens", "{200,150,9300421,\"MS Sans Serif\",8,0,1}", false, {}},
        {"unquoted name with a blank", "{200,150,9300421,MS Sans,8,0}", false, {}},
        {"quote inside the name joins its pieces",
         "{1,2,3,\"A \"B\" C\",4,5}",
         true,
         {1, 2, 3, "A B C", 4, 5}},
        {"quote inside the name swallows the rest", "{1,2,3,\"A \"B C\",4,5}", false, {}},
        {"empty", "", false, {}},
        {"separators only", "{ , }", false, {}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.Name);
        TNoteConfig config = before;
        ASSERT_EQ(config.FromCompactString(row.Text), row.Accepted);
        if (!row.Accepted) {
            EXPECT_EQ(config, before);
            continue;
        }
        TNoteConfig expected = before;
        expected.Width = row.Fields.Width;
        expected.Height = row.Fields.Height;
        expected.Color = row.Fields.Color;
        expected.FontName = row.Fields.FontName;
        expected.FontSize = row.Fields.FontSize;
        expected.FontColor = row.Fields.FontColor;
        EXPECT_EQ(config, expected) << "only the six fields change";
    }
}

TEST(CompactRecord, RoundTrip) {
    const char* names[] = {"MS Sans Serif", "a,b", "{x}", "  padded  ", "Ünïcode 字体", "'"};
    for (const char* name : names) {
        SCOPED_TRACE(name);
        TNoteConfig config = ExampleRecord();
        config.Width = 640;
        config.Height = 17;
        config.Color = INT32_MIN;
        config.FontName = name;
        config.FontSize = INT32_MAX;
        config.FontColor = -16777208;
        TNoteConfig read;
        ASSERT_TRUE(read.FromCompactString(config.ToCompactString()));
        EXPECT_EQ(read.Width, config.Width);
        EXPECT_EQ(read.Height, config.Height);
        EXPECT_EQ(read.Color, config.Color);
        EXPECT_EQ(read.FontName, config.FontName);
        EXPECT_EQ(read.FontSize, config.FontSize);
        EXPECT_EQ(read.FontColor, config.FontColor);
    }
}
