#include "UFileUtil.h"

#include "Fakes.h"
#include "UConvert.h"

#include <QDir>

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

QStringList FilesIn(const std::string& folder) {
    return QDir(QString::fromStdString(folder))
        .entryList(QDir::Files | QDir::Hidden | QDir::NoDotAndDotDot);
}

} // namespace

TEST(LineBreaks, EveryKindBecomesCRLF) {
    const struct {
        const char* in;
        const char* crlf;
        std::vector<std::string> lines;
    } rows[] = {
        {"", "", {}},
        {"a", "a", {"a"}},
        {"a\nb", "a\r\nb", {"a", "b"}},
        {"a\rb\r", "a\r\nb\r\n", {"a", "b"}},
        {"a\r\n\r\nb\n", "a\r\n\r\nb\r\n", {"a", "", "b"}},
        {"\n\r", "\r\n\r\n", {"", ""}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.in);
        EXPECT_EQ(ToCRLF(row.in), row.crlf);
        EXPECT_EQ(SplitLines(row.in), row.lines);
    }
    EXPECT_EQ(JoinLinesCRLF({"a", "", "b"}), "a\r\n\r\nb\r\n");
}

TEST(AtomicWrite, ReplacesWholeKeepsTheModeAndLeavesNothingBehind) {
    TempFolder folder;
    const std::string path = folder.File("note.txt");
    WriteFileAtomic(path, "first");
    ASSERT_EQ(::chmod(path.c_str(), 0640), 0);
    WriteFileAtomic(path, "second, longer text", false);
    EXPECT_EQ(ReadFixture(path), "second, longer text");
    struct stat info {};
    ASSERT_EQ(::stat(path.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 07777, 0640U);
    EXPECT_EQ(FilesIn(folder.Path()), QStringList{QStringLiteral("note.txt")});
}

TEST(AtomicWrite, RefusesReadOnlyFilesFoldersAndMissingFolders) {
    TempFolder folder;
    const std::string readOnly = folder.File("ro.txt");
    WriteFixture(readOnly, "keep");
    ASSERT_EQ(::chmod(readOnly.c_str(), 0444), 0);
    // Refused by the program's own rule, so also when the tests run as root.
    EXPECT_THROW(WriteFileAtomic(readOnly, "new"), Exception);
    EXPECT_EQ(ReadFixture(readOnly), "keep");

    ASSERT_TRUE(QDir().mkdir(QString::fromStdString(folder.File("dir.txt"))));
    EXPECT_THROW(WriteFileAtomic(folder.File("dir.txt"), "x"), Exception);
    try {
        WriteFileAtomic(folder.File("missing/n.txt"), "x");
        ADD_FAILURE() << "wrote into a missing folder";
    } catch (const Exception& error) {
        EXPECT_NE(std::string(error.what()).find("missing/n.txt"), std::string::npos);
    }
    EXPECT_EQ(FilesIn(folder.Path()), QStringList{QStringLiteral("ro.txt")});
}

TEST(AtomicWrite, ManyFilesAtOnceReportEachFailureAlone) {
    TempFolder folder;
    std::vector<TFileWrite> writes;
    for (int i = 0; i < 200; ++i)
        writes.push_back(
            {folder.File("n" + std::to_string(i) + ".txt"), "text " + std::to_string(i), {}});
    ASSERT_TRUE(QDir().mkdir(QString::fromStdString(writes[57].Path))); // in the way
    WriteFilesAtomic(writes);
    for (int i = 0; i < 200; ++i) {
        SCOPED_TRACE(i);
        if (i == 57) {
            EXPECT_NE(writes[i].Error.find("n57.txt"), std::string::npos);
        } else {
            EXPECT_EQ(writes[i].Error, "");
            EXPECT_EQ(ReadFixture(writes[i].Path), "text " + std::to_string(i));
        }
    }
    EXPECT_EQ(FilesIn(folder.Path()).size(), 199) << "no temporary file is left";
}

// The temporaries of a killed process go; those of running ones (this one, init) and of files
// the caller does not own stay, as does anything else with a similar name.
TEST(AtomicWrite, StaleTemporariesOfGoneProcessesAreRemoved) {
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0)
        ::_exit(0);
    ASSERT_EQ(::waitpid(child, nullptr, 0), child);
    const std::string gone = std::to_string(child);
    const std::string self = std::to_string(::getpid());

    TempFolder folder;
    const std::vector<std::string> removed{"a.txt.tmp" + gone + "-0", "a.txt.tmp" + gone + "-12"};
    const std::vector<std::string> kept{"a.txt",
                                        "a.txt.tmp" + self + "-0",
                                        "a.txt.tmp1-0",
                                        "b.txt.tmp" + gone + "-0",
                                        "a.txt.tmp" + gone,
                                        "a.txt.tmp" + gone + "-",
                                        "a.txt.tmp+" + gone + "-0",
                                        "a.txt.tmp" + gone + "-0.bak",
                                        ".tmp" + gone + "-0"};
    for (const auto* names : {&removed, &kept})
        for (const std::string& name : *names)
            WriteFixture(folder.File(name), "x");
    RemoveStaleTemporaries(folder.Path(), [](const std::string& name) { return name == "a.txt"; });
    QStringList expected;
    for (const std::string& name : kept)
        expected << QString::fromStdString(name);
    expected.sort();
    QStringList left = FilesIn(folder.Path());
    left.sort();
    EXPECT_EQ(left, expected);
    RemoveStaleTemporaries(folder.File("missing"), [](const std::string&) { return true; });
}
