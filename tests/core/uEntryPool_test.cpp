#include "core/uEntryPool.h"

#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include <gtest/gtest.h>

#include "core/uModel.h"
#include "testing.h"

namespace {

// More than one slab holds.
constexpr int ManyEntries = 70000;

std::string Name(int i) { return "P" + std::to_string(i); }

void AddNamed(TEntries& entries, int count)
{
    for (int i = 0; i < count; ++i)
        entries.AddValues(Name(i), {}, 0, 0);
}

} // namespace

TEST(TEntries, ListOfNumbersKeepsEachEntryThroughEveryChange)
{
    TEntries entries;
    AddNamed(entries, ManyEntries);
    ASSERT_EQ(entries.Count(), ManyEntries);
    EXPECT_EQ(entries.Items(ManyEntries - 1).Description(), Name(ManyEntries - 1));
    EXPECT_TRUE(entries.Items(0).IpDeparture());

    entries.Delete(1);
    auto inserted = std::make_unique<TEntry>("inserted", "", 1, 2);
    const TEntry* address = inserted.get();
    entries.Insert(0, std::move(inserted));
    EXPECT_EQ(&entries.Items(0), address);
    EXPECT_EQ(entries.Items(1).Description(), Name(0));
    EXPECT_EQ(entries.Items(2).Description(), Name(2)) << "the deleted one is gone";

    entries.Sort(
        [](const TEntry& a, const TEntry& b) { return b.Description().compare(a.Description()); });
    EXPECT_EQ(entries.Items(0).Description(), "inserted");
    EXPECT_EQ(entries.Items(1).Description(), Name(9999));

    const TEntry* last = &entries.Items(entries.Count() - 1);
    auto all = entries.ExtractAll();
    EXPECT_EQ(entries.Count(), 0);
    ASSERT_EQ(all.size(), static_cast<size_t>(ManyEntries));
    EXPECT_EQ(all.back().get(), last) << "handed over, not copied";
    EXPECT_EQ(all.front()->Description(), "inserted");

    for (auto& entry : all)
        entries.AddEntry(std::move(entry), false);
    EXPECT_EQ(&entries.Items(ManyEntries - 1), last);
    entries.Clear();
    AddNamed(entries, 3);
    EXPECT_EQ(entries.Items(2).Description(), Name(2)) << "numbers of freed slabs are taken anew";
}

// Slabs and text chunks come from one supply of blocks made ahead on another thread: a block
// handed out twice would have texts written over entries, or one slab's entries over another's.
TEST(EntryPool, SlabsAndTextChunksNeverShareABlock)
{
    constexpr int Count = 300000; // several slabs and several chunks, taken in turn
    const auto text = [](int i) { return std::string(40, 'a' + i % 26) + std::to_string(i); };
    std::vector<std::unique_ptr<TEntry>> entries;
    for (int i = 0; i < Count; ++i)
        entries.push_back(std::make_unique<TEntry>(text(i), "", i % 180, i % 90));
    for (int i = 0; i < Count; ++i) {
        ASSERT_EQ(entries[i]->Description(), text(i)) << i;
        ASSERT_EQ(entries[i]->Longitude(), i % 180) << i;
        ASSERT_EQ(EntryPool::At(EntryPool::IndexOf(entries[i].get())), entries[i].get()) << i;
    }
}

namespace {

bool Within(std::string_view text, std::string_view bytes)
{
    return text.data() >= bytes.data() && text.data() + text.size() <= bytes.data() + bytes.size();
}

} // namespace

// Entries built from texts lying in the borrowed bytes keep them there; every text that
// needs a block of its own, and every copy once the bytes may go, owns its bytes.
TEST(TextArena, BorrowedTextsStayWhereTheyLieAndEverythingElseIsCopied)
{
    const std::string bytes = "Alpha" + std::string(300, 'x');
    const std::string_view input = bytes;
    std::vector<std::unique_ptr<TEntry>> entries;
    {
        const TextArena::TBorrowing borrowing(input);
        EXPECT_THROW(TextArena::TBorrowing(input.substr(1)), std::logic_error);
        entries.push_back(std::make_unique<TEntry>(input.substr(0, 5), "", 1, 2));
        entries.push_back(std::make_unique<TEntry>(input.substr(0, 5), "extra", 1, 2));
        entries.push_back(std::make_unique<TEntry>(input.substr(5, 300), "", 1, 2));
        entries.push_back(std::make_unique<TEntry>(std::string_view("Beta"), "", 1, 2));
    }
    EXPECT_TRUE(Within(entries[0]->Description(), input));
    EXPECT_FALSE(Within(entries[1]->Description(), input)) << "two texts share one block";
    EXPECT_FALSE(Within(entries[2]->Description(), input)) << "too long for the address bits";
    EXPECT_EQ(entries[2]->Description(), std::string(300, 'x'));
    EXPECT_EQ(entries[3]->Description(), "Beta");

    TEntry copy;
    entries[0]->AssignTo(copy);
    EXPECT_EQ(copy.Description(), "Alpha");
    EXPECT_FALSE(Within(copy.Description(), input));
    EXPECT_FALSE(Within(TEntry(input.substr(0, 5), "", 0, 0).Description(), input));

    // Replacing or dropping a borrowed text leaves the input alone.
    entries[0]->SetDescription("Gamma");
    EXPECT_EQ(bytes.substr(0, 5), "Alpha");
    entries.clear();
    EXPECT_EQ(bytes.substr(0, 5), "Alpha");
}
