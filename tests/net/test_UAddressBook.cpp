#include "UAddressBook.h"
#include "UReceiveQueue.h"

#include "Fakes.h"
#include "UConvert.h"
#include "UFileUtil.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <set>
#include <string>
#include <thread>
#include <vector>

namespace {

using TLines = std::vector<std::string>;

// Long enough for the slowest sanitizer run, short enough that a lost message fails the test
// instead of hanging it.
constexpr auto Deadline = std::chrono::seconds(60);

} // namespace

TEST(AddressBook, LoadsTheFileInOrder) {
    TempFolder folder;
    const std::string path = folder.File("addrbook.txt");
    const struct {
        const char* Name;
        std::string Bytes;
        TLines Entries;
    } rows[] = {
        {"CR LF", "bob@pc\r\nann@desk:1784\r\n", {"bob@pc", "ann@desk:1784"}},
        {"no final break", "bob@pc\r\nann@desk", {"bob@pc", "ann@desk"}},
        {"LF and CR alone", "a@b\nc@d\re@f\n", {"a@b", "c@d", "e@f"}},
        {"empty file", "", {}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.Name);
        WriteFixture(path, row.Bytes);
        TAddressBook book(path);
        EXPECT_TRUE(book.Entries().empty()) << "nothing read before Load";
        book.Load();
        EXPECT_EQ(book.Entries(), row.Entries);
        EXPECT_EQ(ReadFixture(path), row.Bytes) << "loading writes nothing";
    }
}

TEST(AddressBook, MissingFileIsCreatedEmpty) {
    TempFolder folder;
    const std::string path = folder.File("addrbook.txt");
    TAddressBook book(path);
    book.Load();
    EXPECT_TRUE(book.Entries().empty());
    ASSERT_TRUE(FileExists(path));
    EXPECT_EQ(ReadFixture(path), "");
}

TEST(AddressBook, LoadErrorsReachTheCaller) {
    TempFolder folder;
    TAddressBook inMissingFolder(folder.File("gone/addrbook.txt"));
    EXPECT_THROW(inMissingFolder.Load(), Exception);
    ASSERT_EQ(::mkdir(folder.File("dir").c_str(), 0755), 0);
    TAddressBook onFolder(folder.File("dir"));
    EXPECT_THROW(onFolder.Load(), Exception);
}

TEST(AddressBook, AdditionsAreNormalisedUniqueAndSaved) {
    TempFolder folder;
    const std::string path = folder.File("addrbook.txt");
    WriteFixture(path, "Bob@PC\r\n");
    TAddressBook book(path);
    book.Load();

    const struct {
        const char* Address;
        bool Normalize;
        bool Added;
        const char* Entry; // the last entry when added
    } steps[] = {
        {"bob@pc", true, false, nullptr},           // equal to the loaded entry but for case
        {"bob@pc:56784", true, false, nullptr},     // the default port is left out
        {"BOB@pc", false, false, nullptr},          // equal without normalising too
        {"ann@desk:56784", true, true, "ann@desk"}, //
        {"desk2", true, true, "unknown@desk2"},     // host only
        {"desk3:1784", true, true, "unknown@desk3:1784"},
        {"eve@desk4:56784", false, true, "eve@desk4:56784"}, // kept as given
        {"EVE@DESK4:56784", false, false, nullptr},
        {"\xC3\x89ve@x", false, true, "\xC3\x89ve@x"}, // É
        {"\xC3\xA9ve@x", false, true, "\xC3\xA9ve@x"}, // é: only A to Z compare as equal
    };
    TLines expected{"Bob@PC"};
    for (const auto& step : steps) {
        SCOPED_TRACE(step.Address);
        EXPECT_EQ(book.AddToAddressBook(step.Address, step.Normalize), step.Added);
        if (step.Added)
            expected.push_back(step.Entry);
        EXPECT_EQ(book.Entries(), expected);
        EXPECT_EQ(ReadFixture(path), JoinLinesCRLF(expected)) << "saved at every addition";
    }

    TAddressBook again(path);
    again.Load();
    EXPECT_EQ(again.Entries(), expected);
}

TEST(AddressBook, RefusesAddressesThatWouldBreakTheFile) {
    TempFolder folder;
    const std::string path = folder.File("addrbook.txt");
    TAddressBook book(path);
    book.Load();
    ASSERT_TRUE(book.AddToAddressBook("bob@pc", true));
    const std::string saved = ReadFixture(path);
    const struct {
        const char* Address;
        bool Normalize;
    } rows[] = {
        {"", false},           {"", true},           {"ann@desk\r\nx", false},
        {"ann@desk\nx", true}, {"ann\r@desk", true}, {"@@::", true}, // does not parse
        {"a@b:c@d", true},                                           // four parts
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.Address);
        EXPECT_FALSE(book.AddToAddressBook(row.Address, row.Normalize));
    }
    EXPECT_EQ(book.Entries(), TLines{"bob@pc"});
    EXPECT_EQ(ReadFixture(path), saved);
}

TEST(AddressBook, FailedSaveKeepsMemoryAsTheFile) {
    TempFolder folder;
    const std::string path = folder.File("addrbook.txt");
    TAddressBook book(path);
    book.Load();
    ASSERT_TRUE(book.AddToAddressBook("bob@pc", true));
    ASSERT_EQ(::chmod(path.c_str(), 0444), 0); // refused even for root
    EXPECT_THROW(book.AddToAddressBook("ann@desk", true), Exception);
    EXPECT_EQ(book.Entries(), TLines{"bob@pc"});
    EXPECT_EQ(ReadFixture(path), "bob@pc\r\n");

    ASSERT_EQ(::chmod(path.c_str(), 0644), 0);
    EXPECT_TRUE(book.AddToAddressBook("ann@desk", true)) << "the failed entry was not kept";
    EXPECT_EQ(ReadFixture(path), "bob@pc\r\nann@desk\r\n");
}

TEST(AddressBook, ThreadsAddingAtOnce) {
    TempFolder folder;
    const std::string path = folder.File("addrbook.txt");
    TAddressBook book(path);
    book.Load();
    constexpr int Threads = 4;
    constexpr int PerThread = 25;
    std::atomic<int> added = 0;
    std::vector<std::thread> threads;
    for (int t = 0; t < Threads; ++t) {
        threads.emplace_back([&, t] {
            // Every thread offers every address, in its own letter case: each lands once.
            for (int i = 0; i < PerThread; ++i) {
                std::string address = "user" + std::to_string(i) + "@host";
                if (t % 2 == 1)
                    std::transform(address.begin(), address.end(), address.begin(),
                                   [](char c) { return c >= 'a' && c <= 'z' ? c - 32 : c; });
                if (book.AddToAddressBook(address, t < 2))
                    ++added;
                (void)book.Entries();
            }
        });
    }
    for (std::thread& thread : threads)
        thread.join();
    const TLines entries = book.Entries();
    EXPECT_EQ(added.load(), PerThread);
    ASSERT_EQ(entries.size(), static_cast<size_t>(PerThread));
    std::set<std::string> lower;
    for (const std::string& entry : entries)
        lower.insert(LowerCaseAscii(entry));
    EXPECT_EQ(lower.size(), entries.size());
    EXPECT_EQ(ReadFixture(path), JoinLinesCRLF(entries));
}

TEST(ReceiveQueue, FirstInFirstOutWithCopies) {
    TReceiveQueue queue;
    TLines lines{"kept"};
    EXPECT_FALSE(queue.DequeueMessage(lines));
    EXPECT_EQ(lines, TLines{"kept"}) << "an empty queue leaves the list alone";

    TLines first{"{1,2,3,X,4,5}", "one"};
    ASSERT_TRUE(queue.EnqueueMessage(first));
    first[1] = "changed after queuing";
    first.push_back("more");
    ASSERT_TRUE(queue.EnqueueMessage({"", "two", ""}));
    ASSERT_TRUE(queue.EnqueueMessage({}));
    EXPECT_EQ(queue.QueueCount(), 3U);

    TLines out{"kept"};
    ASSERT_TRUE(queue.DequeueMessage(out));
    EXPECT_EQ(out, (TLines{"kept", "{1,2,3,X,4,5}", "one"})) << "appended, as queued";
    out.clear();
    ASSERT_TRUE(queue.DequeueMessage(out));
    EXPECT_EQ(out, (TLines{"", "two", ""}));
    out.clear();
    ASSERT_TRUE(queue.DequeueMessage(out));
    EXPECT_TRUE(out.empty());
    EXPECT_EQ(queue.QueueCount(), 0U);
    EXPECT_FALSE(queue.DequeueMessage(out));
}

TEST(ReceiveQueue, RefusesBeyondMaxCount) {
    TReceiveQueue queue;
    for (size_t i = 0; i < TReceiveQueue::MaxCount; ++i)
        ASSERT_TRUE(queue.EnqueueMessage({std::to_string(i)})) << i;
    EXPECT_FALSE(queue.EnqueueMessage({"overflow"}));
    EXPECT_EQ(queue.QueueCount(), TReceiveQueue::MaxCount);

    TLines out;
    ASSERT_TRUE(queue.DequeueMessage(out));
    EXPECT_EQ(out, TLines{"0"});
    EXPECT_TRUE(queue.EnqueueMessage({"room again"}));
    EXPECT_FALSE(queue.EnqueueMessage({"full again"}));

    size_t taken = 0;
    TLines last;
    while (queue.DequeueMessage(last))
        ++taken;
    EXPECT_EQ(taken, TReceiveQueue::MaxCount);
    EXPECT_EQ(last.back(), "room again");
}

TEST(ReceiveQueue, ProducersAndOneConsumer) {
    TReceiveQueue queue;
    constexpr int Producers = 4;
    constexpr int PerProducer = 1500; // more than MaxCount in all: a slow consumer fills it
    const auto start = std::chrono::steady_clock::now();
    const auto late = [&] { return std::chrono::steady_clock::now() - start > Deadline; };

    std::vector<std::thread> producers;
    for (int p = 0; p < Producers; ++p) {
        producers.emplace_back([&, p] {
            for (int i = 0; i < PerProducer && !late(); ++i) {
                const TLines message{std::to_string(p), std::to_string(i), "body"};
                while (!queue.EnqueueMessage(message) && !late())
                    std::this_thread::yield();
            }
        });
    }

    // The consumer sees each producer's messages complete, once each and in order.
    std::vector<int> next(Producers, 0);
    int received = 0;
    bool intact = true;
    while (received < Producers * PerProducer && !late()) {
        if (queue.QueueCount() == 0) {
            std::this_thread::yield();
            continue;
        }
        TLines message;
        if (!queue.DequeueMessage(message))
            continue;
        int p = -1;
        int i = -1;
        if (message.size() != 3 || message[2] != "body" || !TryStrToInt(message[0], p) ||
            !TryStrToInt(message[1], i) || p < 0 || p >= Producers ||
            i != next[static_cast<size_t>(p)]) {
            intact = false;
            break;
        }
        ++next[static_cast<size_t>(p)];
        ++received;
    }
    for (std::thread& producer : producers)
        producer.join();
    EXPECT_TRUE(intact) << "a message was lost, doubled, reordered or mixed up";
    EXPECT_FALSE(late()) << "deadline passed";
    EXPECT_EQ(received, Producers * PerProducer);
    EXPECT_EQ(queue.QueueCount(), 0U);
    EXPECT_EQ(next, std::vector<int>(Producers, PerProducer));
}
