#include "qzRegVal.h"

#include "Fakes.h"
#include "UConvert.h"
#include "UFileUtil.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <random>
#include <string>
#include <vector>

namespace {

const char* const kFreshFile = "[Booleans]\r\n"
                               "bRandomColor=1\r\n"
                               "bSnapGrid=0\r\n"
                               "bSnapEdges=1\r\n"
                               "bSnapNotes=0\r\n"
                               "bStartup=0\r\n"
                               "bBringToFront=0\r\n"
                               "bRemoveStayOnTop=0\r\n"
                               "bPLayWAV1=0\r\n"
                               "bPlayWAV2=0\r\n"
                               "bWinXPShadow=1\r\n"
                               "bNetworking=0\r\n"
                               "bConfirmDeletes=1\r\n"
                               "bShowReadOnly=1\r\n"
                               "bShowOnTop=1\r\n"
                               "[Integers]\r\n"
                               "iLastX=100\r\n"
                               "iLastY=100\r\n"
                               "iGridX=8\r\n"
                               "iGridY=8\r\n"
                               "iDefaultFontSize=8\r\n"
                               "iDefaultFontColor=0\r\n"
                               "iSnapDistance=8\r\n"
                               "[Strings]\r\n"
                               "sDefaultFontName=MS Sans Serif\r\n"
                               "sIdentity=\r\n"
                               "sWAVFilename1=\r\n"
                               "sWAVFilename2=\r\n"
                               "sLastSend=\r\n"
                               "sLastImportDir=\r\n"
                               "sLastExportDir=\r\n"
                               "sICODir=\r\n"
                               "sTrayIcon=\r\n"
                               "sNotesTitle=Vorn [$id$]\r\n"
                               "sPort=56784\r\n";

class TqzRegValTest : public ::testing::Test {
protected:
    void SetUp() override { DeclareApplicationSettings(ini); }

    std::string IniPath() const { return folder.File("vorn.ini"); }
    void WriteIni(const std::string& bytes) const { WriteFixture(IniPath(), bytes); }
    std::vector<std::vector<std::string>> Lists() const {
        return {ini._Booleans, ini._Floats, ini._Integers, ini._Strings};
    }

    TempFolder folder;
    FakePrompt prompt;
    TqzRegVal ini{prompt, folder.Path()};
};

TEST_F(TqzRegValTest, WithoutAFileLoadKeepsTheDefaultsAndSaveWritesEveryEntry) {
    const auto before = Lists();
    ini.Load();
    EXPECT_EQ(Lists(), before);
    EXPECT_TRUE(prompt.Messages.empty());
    ini.Save();
    EXPECT_EQ(ReadFixture(IniPath()), kFreshFile);
}

TEST_F(TqzRegValTest, LoadReadsWhatSaveWrote) {
    ini.SetBoolean("bSnapGrid", true);
    ini.SetInteger("iGridX", -12);
    ini.SetString("sNotesTitle", " Note $id$ ");
    ini.SetString("sLastSend", "\"bob@host\"");
    ini.Save();

    TqzRegVal other(prompt, folder.Path());
    DeclareApplicationSettings(other);
    other.Load();
    EXPECT_TRUE(other.GetBoolean("bSnapGrid"));
    EXPECT_EQ(other.GetInteger("iGridX"), -12);
    EXPECT_EQ(other.GetString("sNotesTitle"), " Note $id$ ");
    EXPECT_EQ(other.GetString("sLastSend"), "\"bob@host\"");
    EXPECT_EQ(other.GetString("sPort"), "56784");
    EXPECT_TRUE(prompt.Messages.empty());
}

TEST_F(TqzRegValTest, BadIntegerShowsTheMessageKeepsTheValueAndLoadingGoesOn) {
    const char* const texts[] = {"12abc", "abc", "18446744073709551616"};
    for (const char* text : texts) {
        SCOPED_TRACE(text);
        prompt.Messages.clear();
        ini.SetInteger("iGridY", 8);
        WriteIni(std::string("[Integers]\r\niGridX=") + text + "\r\niGridY=5\r\n");
        ini.Load();
        ASSERT_EQ(prompt.Messages.size(), 1u);
        EXPECT_EQ(prompt.Messages[0], std::string("Error reading Integer value "
                                                  "\"Integers\\iGridX\". Value = \"") +
                                          text + "\". Value set to 8");
        EXPECT_EQ(ini.GetInteger("iGridX"), 8);
        EXPECT_EQ(ini.GetInteger("iGridY"), 5);
    }
}

TEST_F(TqzRegValTest, IntegersKeepTheLow32BitsOfA64BitNumber) {
    const struct {
        const char* Text;
        int32_t Expected;
    } cases[] = {
        {"4294967297", 1},
        {"4294967295", -1},
        {"2147483648", -2147483648},
        {"-4294967296", 0},
        {"-2147483649", 2147483647},
        {" \t42 ", 42},
        {"\"7\"", 7},
        {"$10", 16},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Text);
        WriteIni(std::string("[Integers]\r\niGridX=") + c.Text + "\r\n");
        ini.Load();
        EXPECT_EQ(ini.GetInteger("iGridX"), c.Expected);
        EXPECT_TRUE(prompt.Messages.empty());
    }
}

TEST_F(TqzRegValTest, BooleansAcceptNumbersAndWordsAndStoreOneOrZero) {
    const struct {
        const char* Text;
        const char* Stored;
    } cases[] = {
        {"0", "0"},    {"1", "1"},     {"-1", "1"},     {"17", "1"},  {"00", "0"},
        {"TRUE", "1"}, {"false", "0"}, {" True ", "1"}, {"'0'", "0"}, {"", "1"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Text);
        ini.SetBoolean("bRandomColor", true);
        WriteIni(std::string("[Booleans]\r\nbRandomColor=") + c.Text + "\r\n");
        ini.Load();
        EXPECT_EQ(ini._Booleans[0], std::string("bRandomColor=") + c.Stored);
    }
}

TEST_F(TqzRegValTest, BadBooleanEndsLoadAndLaterEntriesKeepTheirValues) {
    WriteIni("[Booleans]\r\nbRandomColor=0\r\nbSnapGrid=maybe\r\nbSnapEdges=0\r\n"
             "[Integers]\r\niGridX=20\r\n[Strings]\r\nsIdentity=bob\r\n");
    EXPECT_THROW(ini.Load(), EConvertError);
    EXPECT_FALSE(ini.GetBoolean("bRandomColor"));
    EXPECT_FALSE(ini.GetBoolean("bSnapGrid"));
    EXPECT_TRUE(ini.GetBoolean("bSnapEdges"));
    EXPECT_EQ(ini.GetInteger("iGridX"), 8);
    EXPECT_EQ(ini.GetString("sIdentity"), "");
}

TEST_F(TqzRegValTest, StringsFollowTheProfileRulesAndAnEmptyEntryIsRead) {
    WriteIni("[strings]\r\nSNOTESTITLE=  \"  Title $id$ \"  \r\nsPort=\r\nsIdentity= bob \r\n");
    ini.Load();
    EXPECT_EQ(ini.GetString("sNotesTitle"), "  Title $id$ ");
    EXPECT_EQ(ini.GetString("sPort"), "");
    EXPECT_EQ(ini.GetString("sIdentity"), "bob");
    EXPECT_EQ(ini.GetString("sDefaultFontName"), "MS Sans Serif");
}

TEST_F(TqzRegValTest, NamesMatchIgnoringCaseAndTheFileUsesTheDeclaredSpelling) {
    WriteIni("[BOOLEANS]\r\nbplaywav1=1\r\n");
    ini.Load();
    EXPECT_TRUE(ini.GetBoolean("bPlayWAV1"));
    ini.SetBoolean("BPLAYWAV1", false);
    EXPECT_EQ(ini._Booleans[7], "bPLayWAV1=0");
    ini.Save();
    const std::string text = ReadFixture(IniPath());
    EXPECT_NE(text.find("[BOOLEANS]\r\nbPLayWAV1=0\r\n"), std::string::npos) << text;
    EXPECT_EQ(text.find("bplaywav1"), std::string::npos) << text;
    EXPECT_EQ(text.find("bPlayWAV1"), std::string::npos) << text;
}

TEST_F(TqzRegValTest, AnEmptyStringKeepsItsEntry) {
    ini.SetString("sIdentity", "bob");
    ini.Save();
    ini.SetString("sIdentity", "");
    ini.Save();
    EXPECT_EQ(ini.GetString("sIdentity"), "");
    EXPECT_EQ(ini._Strings[1], "sIdentity=");
    EXPECT_NE(ReadFixture(IniPath()).find("\r\nsIdentity=\r\n"), std::string::npos);
}

TEST_F(TqzRegValTest, UndeclaredNamesRaiseAndAddNothing) {
    const auto before = Lists();
    const struct {
        const char* Name;
        std::function<void()> Call;
        const char* Message;
    } cases[] = {
        {"GetBoolean", [&] { ini.GetBoolean("x"); }, "Boolean Field \"x\" not found"},
        {"SetBoolean", [&] { ini.SetBoolean("bNope", true); }, "Boolean Field \"bNope\" not found"},
        {"GetInteger", [&] { ini.GetInteger("bSnapGrid"); },
         "Integer Field \"bSnapGrid\" not found"},
        {"SetInteger", [&] { ini.SetInteger("iNope", 1); }, "Integer Field \"iNope\" not found"},
        {"GetString", [&] { ini.GetString("sNope"); }, "String Field \"sNope\" not found"},
        {"SetString", [&] { ini.SetString("", "v"); }, "String Field \"\" not found"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Name);
        try {
            c.Call();
            ADD_FAILURE() << "no exception";
        } catch (const Exception& e) {
            EXPECT_EQ(std::string(e.what()), c.Message);
        }
    }
    EXPECT_EQ(Lists(), before);
}

TEST_F(TqzRegValTest, BadValuesAndDeclarationsRaiseTheConversionMessages) {
    ini._Integers = {"iA=1", "iB=2", "iC=3", "iD=x", "iE=5"};
    ini._Floats = {"fA=0.5", "fB=1,5"};
    try {
        ini.GetInteger("iD");
        ADD_FAILURE() << "GetInteger: no exception";
    } catch (const Exception& e) {
        EXPECT_STREQ(e.what(), "Error in conversion of integer \"iD\", Value = \"x\"");
    }

    WriteIni("[Integers]\r\niA=10\r\n");
    // The floats come first; with a good float list the integer declaration is the culprit.
    const struct {
        std::vector<std::string> Floats;
        const char* Message;
    } cases[] = {
        {{"fA=0.5", "fB=1,5"}, "Error in conversion of float[1], Value = \"1,5\""},
        {{}, "Error in conversion of integer[3], Value = \"x\""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Message);
        ini._Floats = c.Floats;
        for (const bool saving : {false, true}) {
            SCOPED_TRACE(saving ? "Save" : "Load");
            try {
                saving ? ini.Save() : ini.Load();
                ADD_FAILURE() << "no exception";
            } catch (const EConvertError&) {
                ADD_FAILURE() << "not the declaration message";
            } catch (const Exception& e) {
                EXPECT_STREQ(e.what(), c.Message);
            }
        }
        EXPECT_EQ(ReadFixture(IniPath()), "[Integers]\r\niA=10\r\n");
    }
}

TEST_F(TqzRegValTest, FloatsLoadAndSaveAsText) {
    ini._Floats = {"fRatio=1.5", "fScale=2"};
    WriteIni("[Floats]\r\nfRatio=abc\r\nfScale=0.25e1\r\n");
    ini.Load();
    EXPECT_EQ(
        prompt.Messages,
        std::vector<std::string>{
            "Error reading Float value \"Floats\\fRatio\". Value = \"abc\". Value set to 1.5"});
    EXPECT_EQ(ini._Floats, (std::vector<std::string>{"fRatio=1.5", "fScale=2.5"}));

    prompt.Messages.clear();
    for (const char* text : {"1.5x", "inf", "nan", "1e999", "", " "}) {
        SCOPED_TRACE(text);
        WriteIni(std::string("[Floats]\r\nfRatio=") + text + "\r\n");
        ini.Load();
        EXPECT_EQ(ini._Floats[0], "fRatio=1.5");
    }
    EXPECT_EQ(prompt.Messages.size(), 4u);

    std::remove(IniPath().c_str());
    ini._Booleans = {"bA=1"};
    ini._Integers = {"iA=1"};
    ini._Strings = {};
    ini.Save();
    EXPECT_EQ(
        ReadFixture(IniPath()),
        "[Booleans]\r\nbA=1\r\n[Floats]\r\nfRatio=1.5\r\nfScale=2.5\r\n[Integers]\r\niA=1\r\n");
}

TEST_F(TqzRegValTest, IniSectionPrefixesEverySection) {
    ini.IniSection = "Vorn";
    ini._Booleans = {"bA=1"};
    ini._Integers = {"iGridX=8"};
    ini._Strings = {"sA=x"};
    ini.Save();
    EXPECT_EQ(
        ReadFixture(IniPath()),
        "[Vorn\\Booleans]\r\nbA=1\r\n[Vorn\\Integers]\r\niGridX=8\r\n[Vorn\\Strings]\r\nsA=x\r\n");
    WriteIni("[Integers]\r\niGridX=1\r\n[Vorn\\Integers]\r\niGridX=z\r\n");
    ini.Load();
    EXPECT_EQ(prompt.Messages,
              std::vector<std::string>{"Error reading Integer value \"Vorn\\Integers\\iGridX\". "
                                       "Value = \"z\". Value set to 8"});
}

TEST_F(TqzRegValTest, AnExistingFileIsUpdatedInPlace) {
    WriteIni("; my settings\n"
             "[Window]\n"
             "bSnapGrid=foreign\n"
             "[Strings]\n"
             "sPort = \"1234\"\n"
             "sUnknown=kept\n"
             "\n"
             "[integers]\n"
             "IGRIDX=3\n"
             "; end\n");
    ini.Load();
    EXPECT_EQ(ini.GetString("sPort"), "1234");
    EXPECT_EQ(ini.GetInteger("iGridX"), 3);
    ini.SetInteger("iGridX", 16);
    ini.Save();
    EXPECT_EQ(ReadFixture(IniPath()), "; my settings\r\n"
                                      "[Window]\r\n"
                                      "bSnapGrid=foreign\r\n"
                                      "[Strings]\r\n"
                                      "sPort=1234\r\n"
                                      "sUnknown=kept\r\n"
                                      "sDefaultFontName=MS Sans Serif\r\n"
                                      "sIdentity=\r\n"
                                      "sWAVFilename1=\r\n"
                                      "sWAVFilename2=\r\n"
                                      "sLastSend=\r\n"
                                      "sLastImportDir=\r\n"
                                      "sLastExportDir=\r\n"
                                      "sICODir=\r\n"
                                      "sTrayIcon=\r\n"
                                      "sNotesTitle=Vorn [$id$]\r\n"
                                      "\r\n"
                                      "[integers]\r\n"
                                      "iGridX=16\r\n"
                                      "iLastX=100\r\n"
                                      "iLastY=100\r\n"
                                      "iGridY=8\r\n"
                                      "iDefaultFontSize=8\r\n"
                                      "iDefaultFontColor=0\r\n"
                                      "iSnapDistance=8\r\n"
                                      "; end\r\n"
                                      "[Booleans]\r\n"
                                      "bRandomColor=1\r\n"
                                      "bSnapGrid=0\r\n"
                                      "bSnapEdges=1\r\n"
                                      "bSnapNotes=0\r\n"
                                      "bStartup=0\r\n"
                                      "bBringToFront=0\r\n"
                                      "bRemoveStayOnTop=0\r\n"
                                      "bPLayWAV1=0\r\n"
                                      "bPlayWAV2=0\r\n"
                                      "bWinXPShadow=1\r\n"
                                      "bNetworking=0\r\n"
                                      "bConfirmDeletes=1\r\n"
                                      "bShowReadOnly=1\r\n"
                                      "bShowOnTop=1\r\n");
}

TEST_F(TqzRegValTest, FileLocationAndRegistryMode) {
    ini.UseStartUpDir = false;
    ini.IniFileName = folder.File("elsewhere.ini");
    ini.Save();
    EXPECT_EQ(ReadFixture(folder.File("elsewhere.ini")), kFreshFile);
    EXPECT_FALSE(FileExists(IniPath()));

    // Registry mode does not exist here: nothing is read or written.
    WriteIni("[Integers]\r\niGridX=zz\r\n");
    ini.UseStartUpDir = true;
    ini.IniFileName = "vorn.ini";
    ini.UseRegistry = true;
    ini.SetInteger("iGridY", 99);
    ini.Load();
    ini.Save();
    EXPECT_TRUE(prompt.Messages.empty());
    EXPECT_EQ(ReadFixture(IniPath()), "[Integers]\r\niGridX=zz\r\n");
}

TEST_F(TqzRegValTest, SaveThatCannotWriteRaisesNamingTheFile) {
    WriteIni("old");
    ini.UseStartUpDir = false;
    // A missing folder, and a "folder" that is the old settings file.
    for (const std::string& path : {folder.File("missing/vorn.ini"), IniPath() + "/vorn.ini"}) {
        SCOPED_TRACE(path);
        ini.IniFileName = path;
        try {
            ini.Save();
            ADD_FAILURE() << "no exception";
        } catch (const Exception& e) {
            EXPECT_NE(std::string(e.what()).find(path), std::string::npos) << e.what();
        }
        EXPECT_FALSE(FileExists(path));
    }
    EXPECT_EQ(ReadFixture(IniPath()), "old");
}

TEST_F(TqzRegValTest, SaveLeavesAFileItMayNotWriteOrReadAsItWas) {
    const std::string probe = folder.File("probe");
    WriteFixture(probe, "");
    ASSERT_EQ(chmod(probe.c_str(), 0), 0);
    if (access(probe.c_str(), R_OK | W_OK) == 0)
        GTEST_SKIP() << "this user reads and writes files whatever their modes";

    const struct {
        const char* Name;
        mode_t Mode;
    } cases[] = {{"read-only", 0444}, {"unreadable", 0200}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Name);
        WriteIni("[Strings]\r\nsIdentity=old\r\n");
        ASSERT_EQ(chmod(IniPath().c_str(), c.Mode), 0);
        try {
            ini.Save();
            ADD_FAILURE() << "no exception";
        } catch (const Exception& e) {
            EXPECT_NE(std::string(e.what()).find(IniPath()), std::string::npos) << e.what();
        }
        if (c.Mode == 0200) {
            EXPECT_THROW(ini.Load(), Exception);
        }
        ASSERT_EQ(chmod(IniPath().c_str(), 0644), 0);
        EXPECT_EQ(ReadFixture(IniPath()), "[Strings]\r\nsIdentity=old\r\n");
    }
}

// Loads thousands of random and damaged settings files. Each Load must end normally or with the
// boolean conversion error, show only the two read-error messages and leave every declared entry
// in place with a value of its kind; after a normal end, Save and a new Load give the same values.
class TqzRegValFuzz : public ::testing::Test {
protected:
    void Declare(TqzRegVal& ini) {
        DeclareApplicationSettings(ini);
        ini._Floats = {"fRatio=1.5"};
    }

    void Check(const std::string& bytes) {
        WriteFixture(folder.File("vorn.ini"), bytes);
        prompt.Messages.clear();
        TqzRegVal ini(prompt, folder.Path());
        Declare(ini);
        const TqzRegVal declared = ini;
        bool completed = false;
        try {
            ini.Load();
            completed = true;
        } catch (const EConvertError&) {
            ++ConvertErrors;
        } catch (const std::exception& e) {
            FAIL() << "Load raised " << e.what();
        }
        Messages += prompt.Messages.size();
        for (const std::string& message : prompt.Messages)
            EXPECT_TRUE(IsReadError(message, declared)) << message;
        CheckEntries(ini, declared);
        if (!completed)
            return;
        if (ini._Integers != declared._Integers || ini._Strings != declared._Strings)
            ++ChangedValues;
        // Saving syncs the file to disk, which is slow: only every 8th file goes round.
        if (++Completed % 8 != 0)
            return;

        ini.Save();
        prompt.Messages.clear();
        TqzRegVal reread(prompt, folder.Path());
        Declare(reread);
        reread.Load();
        EXPECT_TRUE(prompt.Messages.empty());
        EXPECT_EQ(reread._Booleans, ini._Booleans);
        EXPECT_EQ(reread._Floats, ini._Floats);
        EXPECT_EQ(reread._Integers, ini._Integers);
        EXPECT_EQ(reread._Strings, ini._Strings);
    }

    static std::string NameOf(const std::string& line) { return line.substr(0, line.find('=')); }

    static void CheckEntries(const TqzRegVal& ini, const TqzRegVal& declared) {
        const auto sameNames = [](const std::vector<std::string>& a,
                                  const std::vector<std::string>& b) {
            if (a.size() != b.size())
                return false;
            for (size_t i = 0; i < a.size(); ++i) {
                if (NameOf(a[i]) != NameOf(b[i]))
                    return false;
            }
            return true;
        };
        ASSERT_TRUE(sameNames(ini._Booleans, declared._Booleans));
        ASSERT_TRUE(sameNames(ini._Floats, declared._Floats));
        ASSERT_TRUE(sameNames(ini._Integers, declared._Integers));
        ASSERT_TRUE(sameNames(ini._Strings, declared._Strings));
        for (const std::string& line : ini._Booleans) {
            const std::string value = line.substr(line.find('=') + 1);
            EXPECT_TRUE(value == "0" || value == "1") << line;
        }
        for (const std::string& line : ini._Integers)
            EXPECT_NO_THROW(ini.GetInteger(NameOf(line))) << line;
    }

    // "Error reading <kind> value "<section>\<name>". Value = "<text>". Value set to <value>",
    // naming a declared entry and its value before the Load.
    static bool IsReadError(const std::string& message, const TqzRegVal& declared) {
        const struct {
            const char* Kind;
            const std::vector<std::string>& List;
        } kinds[] = {{"Integer", declared._Integers}, {"Float", declared._Floats}};
        for (const auto& kind : kinds) {
            for (const std::string& line : kind.List) {
                const size_t equals = line.find('=');
                const std::string head = std::string("Error reading ") + kind.Kind + " value \"" +
                                         kind.Kind + "s\\" + line.substr(0, equals) +
                                         "\". Value = \"";
                const std::string tail = "\". Value set to " + line.substr(equals + 1);
                if (message.size() > head.size() + tail.size() && message.starts_with(head) &&
                    message.ends_with(tail))
                    return true;
            }
        }
        return false;
    }

    TempFolder folder;
    FakePrompt prompt;
    size_t ConvertErrors = 0;
    size_t Messages = 0;
    size_t ChangedValues = 0;
    size_t Completed = 0;
};

TEST_F(TqzRegValFuzz, LoadSurvivesRandomAndDamagedFiles) {
    std::string valid;
    {
        TqzRegVal ini(prompt, folder.Path());
        Declare(ini);
        ini.Save();
        valid = ReadFixture(folder.File("vorn.ini"));
    }

    using namespace std::string_literals;
    const std::string alphabet = "[]=;\"' \t\r\n\0$-+.e019aAzZ"s;
    const std::vector<std::string> pieces = {"[Booleans]",
                                             "[Integers]",
                                             "[Strings]",
                                             "[Floats]",
                                             "\r\n",
                                             "\n",
                                             "bSnapGrid=",
                                             "iGridX=",
                                             "fRatio=",
                                             "sPort=",
                                             "12abc",
                                             "4294967297",
                                             "True",
                                             "maybe",
                                             "\"",
                                             "'",
                                             "\0"s,
                                             "=",
                                             "99999999999999999999",
                                             "1e999",
                                             "-",
                                             " \t "};
    std::mt19937 random(20240611);
    const auto below = [&](size_t n) {
        return std::uniform_int_distribution<size_t>(0, n - 1)(random);
    };
    const auto randomBytes = [&](size_t size, bool structured) {
        std::string bytes(size, '\0');
        for (char& c : bytes)
            c = structured ? alphabet[below(alphabet.size())] : static_cast<char>(below(256));
        return bytes;
    };
    const auto mutate = [&](std::string bytes) {
        for (size_t edits = 1 + below(8); edits > 0; --edits) {
            const size_t at = below(bytes.size() + 1);
            switch (below(5)) {
            case 0: {
                // A new value for the entry after `at`: a number of any size, or a piece, maybe
                // quoted or padded.
                const size_t equals = bytes.find('=', at);
                if (equals == std::string::npos)
                    break;
                const size_t end = std::min(bytes.find_first_of("\r\n", equals), bytes.size());
                const int64_t number = std::uniform_int_distribution<int64_t>()(random);
                std::string value = below(2) == 0 ? std::to_string(number >> below(64))
                                                  : pieces[below(pieces.size())];
                const char* const wraps[] = {"", "\"", "'", " ", "\t"};
                const std::string wrap = wraps[below(std::size(wraps))];
                bytes.replace(equals + 1, end - equals - 1, wrap + value + wrap);
                break;
            }
            case 1:
                if (at < bytes.size())
                    bytes[at] = static_cast<char>(below(256));
                break;
            case 2:
                bytes.erase(at, 1 + below(16));
                break;
            case 3:
                bytes.insert(at, pieces[below(pieces.size())]);
                break;
            default:
                bytes.insert(at, 1, alphabet[below(alphabet.size())]);
                break;
            }
        }
        return bytes;
    };

    for (int i = 0; i < 3000; ++i) {
        SCOPED_TRACE(i);
        switch (i % 5) {
        case 0:
            Check(randomBytes(below(600), false));
            break;
        case 1:
            Check(randomBytes(below(600), true));
            break;
        case 2:
        case 3:
            Check(mutate(valid));
            break;
        default:
            Check(valid.substr(0, below(valid.size() + 1)));
            break;
        }
        if (HasFatalFailure())
            return;
    }

    std::string oneLine = valid;
    std::erase_if(oneLine, [](char c) { return c == '\r' || c == '\n'; });
    Check(oneLine);
    Check(std::string(4096, '\0'));
    Check("[Strings]\r\nsIdentity=" + std::string(10 * 1024 * 1024, 'x'));

    // The generated files reached every outcome.
    EXPECT_GT(ConvertErrors, 0u);
    EXPECT_GT(Messages, 0u);
    EXPECT_GT(ChangedValues, 0u);
}

} // namespace
