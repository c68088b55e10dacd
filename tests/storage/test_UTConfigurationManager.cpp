#include "UTConfigurationManager.h"

#include "Fakes.h"
#include "UConvert.h"
#include "UFileUtil.h"
#include "URandom.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

#include <random>

namespace {

const std::string kEmptyIndex =
    "<?xml version=\"1.0\" encoding=\"ISO-8859-1\" standalone=\"yes\" ?>\r\n"
    "\r\n"
    "<vorn>\r\n"
    "</vorn>\r\n";

TNoteDefaults FixedDefaults() {
    TNoteDefaults defaults;
    defaults.RandomColor = false;
    return defaults;
}

class NoteStore : public ::testing::Test {
protected:
    std::string IndexPath() const { return Folder.File("vornnotes.xml"); }

    std::unique_ptr<TConfigurationManager> Open() {
        return std::make_unique<TConfigurationManager>(IndexPath(), FixedDefaults);
    }

    // Loads an index made of the given text and returns the error message, or "" when it loads.
    std::string LoadError(const std::string& text) {
        WriteFixture(IndexPath(), text);
        try {
            Open();
        } catch (const Exception& error) {
            return error.what();
        }
        return "";
    }

    TempFolder Folder;
};

TNoteConfig Record(int32_t id, int32_t left) {
    TNoteConfig config;
    config.Id = id;
    config.Left = left;
    return config;
}

} // namespace

TEST_F(NoteStore, MissingIndexIsWrittenAsTheFourLineEmptyIndex) {
    const auto store = Open();
    EXPECT_TRUE(store->Records().empty());
    EXPECT_EQ(ReadFixture(IndexPath()), kEmptyIndex);
    EXPECT_EQ(LoadError(kEmptyIndex), "");
}

TEST_F(NoteStore, RoundTripKeepsOrderDuplicatesAndEveryField) {
    auto store = Open();
    TNoteConfig full;
    full.Id = 12345;
    full.Left = -20;
    full.Top = 3000;
    full.Width = 400;
    full.Height = 17;
    full.Minimized = full.SystemNote = full.Chat = full.ReadOnly = full.OnTop = true;
    full.Color = -16777208;
    full.FontSize = 14;
    full.FontColor = 0xFF00FF;
    full.FontName = "Noto \"Sans\" <CJK> & more";
    store->Add(full.Id, full);
    store->Add(3, Record(3, 10));
    store->Add(3, Record(3, 99)); // a second record under the same number
    store->Add(4, Record(4, 1));
    store->Save();

    const auto loaded = Open();
    ASSERT_EQ(loaded->Records().size(), 4U);
    EXPECT_EQ(*loaded->Records()[0].second, full);
    EXPECT_EQ(loaded->Records()[1].second->Left, 10);
    EXPECT_EQ(loaded->Records()[2].second->Left, 99);
    EXPECT_EQ(loaded->Records()[2].first, "3");
    ASSERT_NE(loaded->Get(3), nullptr);
    EXPECT_EQ(loaded->Get(3)->Left, 10) << "lookups find the first record";
    EXPECT_TRUE(loaded->Contains(12345));
    EXPECT_FALSE(loaded->Contains(5));
    EXPECT_EQ(loaded->Get(5), nullptr);

    // Records added during a run follow the loaded ones, in creation order.
    loaded->Add(9, Record(9, 0));
    loaded->Add(2, Record(2, 0));
    loaded->Save();
    const auto again = Open();
    std::vector<std::string> keys;
    for (const auto& [key, record] : again->Records())
        keys.push_back(key);
    EXPECT_EQ(keys, (std::vector<std::string>{"12345", "3", "3", "4", "9", "2"}));
    EXPECT_EQ(ReadFixture(IndexPath()), again->IndexText()) << "saving is stable";
}

TEST_F(NoteStore, IndexLayoutIsFree) {
    WriteFixture(IndexPath(), "<?xml version=\"1.0\"?><!-- kept by hand -->\n<vorn>"
                              "<other x=\"1\"><note id=\"8\"/></other>\r"
                              "  <note\tid=\"5\"\r\n left = \"-20\" >text<inner/></note>"
                              "<![CDATA[ <note id=\"6\"/> ]]><note id=\"7\" top=\"$10\"/></vorn>");
    const auto store = Open();
    ASSERT_EQ(store->Records().size(), 2U) << "notes outside the root or in CDATA do not count";
    EXPECT_EQ(store->Get(5)->Left, -20);
    EXPECT_EQ(store->Get(7)->Top, 16);
    EXPECT_FALSE(store->Contains(8));
}

TEST_F(NoteStore, AnElementWithoutAttributesHasTheCreationDefaults) {
    RandomSeed(1);
    WriteFixture(IndexPath(), "<vorn><note/><note/></vorn>");
    TNoteDefaults defaults = FixedDefaults();
    defaults.ScreenWidth = 300;
    defaults.ScreenHeight = 200;
    TConfigurationManager store(IndexPath(), [&] { return defaults; });
    ASSERT_EQ(store.Records().size(), 2U);
    for (const auto& [key, record] : store.Records()) {
        EXPECT_EQ(key, "0");
        EXPECT_EQ(record->Id, 0);
        EXPECT_GE(record->Left, 0);
        EXPECT_LT(record->Left, 300 - 128);
        EXPECT_GE(record->Top, 0);
        EXPECT_LT(record->Top, 200 - 128);
        EXPECT_EQ(record->Width, 128);
        EXPECT_EQ(record->Color, DefaultNoteColor);
        EXPECT_EQ(record->FontName, "MS Sans Serif");
    }
}

TEST_F(NoteStore, LoadErrorsNameTheirCauseAndLeaveTheFileAlone) {
    const struct {
        const char* name;
        const char* text;
        const char* message;
    } rows[] = {
        {"root in another case", "<Vorn></Vorn>",
         "Root node element is not recognised. Loading aborted!"},
        {"no root at all", "", "Root node element is not recognised. Loading aborted!"},
        {"root inside another element", "<a><vorn/></a>",
         "Root node element is not recognised. Loading aborted!"},
        {"parser error", "<vorn><note id=5/></vorn>",
         "Attribute Value (5) is not quoted in XML string: <note id=5/>"},
        {"mismatched tag", "<vorn></note>", "Mismatched closing tag: </note>"},
        {"bad number", "<vorn><note left=\"10px\"/></vorn>", "'10px' is not a valid integer value"},
        {"bad boolean", "<vorn><note id=\"1\"/><note minimized=\"yes\"/></vorn>",
         "'yes' is not a valid boolean value"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(LoadError(row.text), row.message);
        EXPECT_EQ(ReadFixture(IndexPath()), row.text) << "the file is left untouched";
    }
}

TEST_F(NoteStore, WriteFailuresAreErrorsThatNameTheFile) {
    const auto errorOf = [](const std::string& path) -> std::string {
        try {
            TConfigurationManager store(path, FixedDefaults);
        } catch (const Exception& error) {
            return error.what();
        }
        return "";
    };
    // The index path is a folder: nothing may replace it.
    QDir().mkpath(QString::fromStdString(Folder.File("blocked.xml")));
    WriteFixture(Folder.File("blocked.xml/keep"), "keep");
    EXPECT_NE(errorOf(Folder.File("blocked.xml")).find("blocked.xml"), std::string::npos);
    EXPECT_EQ(ReadFixture(Folder.File("blocked.xml/keep")), "keep");

    EXPECT_NE(errorOf(Folder.File("no/such/folder/vornnotes.xml")).find("no/such/folder"),
              std::string::npos);

    // A good save leaves no temporary file beside the index.
    auto store = Open();
    store->Add(1, Record(1, 5));
    store->Save();
    const QStringList entries = QDir(QString::fromStdString(Folder.Path()))
                                    .entryList(QDir::Files | QDir::Hidden | QDir::NoDotAndDotDot);
    EXPECT_EQ(entries, QStringList{QStringLiteral("vornnotes.xml")});
}

TEST_F(NoteStore, AnUnreadableIndexIsSetAsideAndTheStoreStartsEmpty) {
    FakePrompt prompt;
    FakeClock clock;
    clock.Now = {2026, 12, 1, 9, 5, 7};
    const std::string broken = "<vorn><note id=\"1\" left=\"x\"/></vorn>";
    const std::string kept = IndexPath() + ".unreadable-20261201-090507";

    WriteFixture(IndexPath(), broken);
    auto store = OpenNoteStore(IndexPath(), FixedDefaults, prompt, clock);
    EXPECT_TRUE(store->Records().empty());
    EXPECT_EQ(ReadFixture(kept), broken) << "the unreadable index is kept whole";
    EXPECT_EQ(ReadFixture(IndexPath()), kEmptyIndex);
    ASSERT_EQ(prompt.Errors.size(), 1U);
    EXPECT_NE(prompt.Errors[0].find("'x' is not a valid integer value"), std::string::npos);
    EXPECT_NE(prompt.Errors[0].find(kept), std::string::npos);

    // The same second again: the earlier kept file is not replaced.
    WriteFixture(IndexPath(), "garbage");
    store = OpenNoteStore(IndexPath(), FixedDefaults, prompt, clock);
    EXPECT_EQ(ReadFixture(kept), broken);
    EXPECT_EQ(ReadFixture(kept + "-1"), "garbage");

    // A readable index is simply loaded.
    store->Add(3, Record(3, 1));
    store->Save();
    prompt.Errors.clear();
    store = OpenNoteStore(IndexPath(), FixedDefaults, prompt, clock);
    EXPECT_TRUE(prompt.Errors.empty());
    EXPECT_TRUE(store->Contains(3));
}

TEST_F(NoteStore, DamagedIndexesAreNeverLost) {
    // Random bytes, NUL bytes, truncations and byte flips of a good index: opening either
    // loads the file or keeps it whole under another name and starts empty.
    std::string good;
    {
        auto store = Open();
        for (int id = 1; id <= 20; ++id)
            store->Add(id, Record(id, id * 10));
        store->Save();
        good = ReadFixture(IndexPath());
    }
    std::mt19937 random(20261211);
    FakeClock clock;
    for (int round = 0; round < 300; ++round) {
        std::string bytes = good;
        switch (round % 4) {
        case 0:
            bytes.resize(random() % good.size());
            break;
        case 1:
            for (int flips = 0; flips < 4; ++flips)
                bytes[random() % bytes.size()] = static_cast<char>(random());
            break;
        case 2:
            bytes.assign(random() % 2000, '\0');
            for (char& c : bytes)
                c = static_cast<char>(random() % 3 == 0 ? 0 : random());
            break;
        default:
            bytes.insert(random() % bytes.size(),
                         std::string(1 + random() % 5, "<>\"/!?-["[random() % 8]));
        }
        SCOPED_TRACE(round);
        WriteFixture(IndexPath(), bytes);
        for (const auto& entry : QDir(QString::fromStdString(Folder.Path())).entryList(QDir::Files))
            if (entry.contains(QStringLiteral("unreadable")))
                QFile::remove(QString::fromStdString(Folder.Path()) + entry);
        FakePrompt prompt;
        clock.Now.Second = round % 60;
        const auto store = OpenNoteStore(IndexPath(), FixedDefaults, prompt, clock);
        if (prompt.Errors.empty()) {
            EXPECT_EQ(ReadFixture(IndexPath()), bytes) << "a readable index is not rewritten";
        } else {
            EXPECT_TRUE(store->Records().empty());
            EXPECT_EQ(ReadFixture(IndexPath()), kEmptyIndex);
            const auto kept = QDir(QString::fromStdString(Folder.Path()))
                                  .entryList({QStringLiteral("*unreadable*")}, QDir::Files);
            ASSERT_EQ(kept.size(), 1);
            EXPECT_EQ(ReadFixture(Folder.Path() + kept[0].toStdString()), bytes);
        }
    }
}
