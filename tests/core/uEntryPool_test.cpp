#include "core/uEntryPool.h"

#include <memory>
#include <string>
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

TEST(EntryPool, NumbersFindEveryBlockAcrossSlabsAndFreedSlabsNumbersAreTakenAgain)
{
    std::vector<std::unique_ptr<TEntry>> entries;
    for (int round = 0; round < 2; ++round) {
        for (int i = 0; i < ManyEntries; ++i) {
            entries.push_back(std::make_unique<TEntry>());
            const TEntry* entry = entries.back().get();
            ASSERT_EQ(EntryPool::At(EntryPool::IndexOf(entry)), entry) << round << ", " << i;
        }
        entries.clear();
    }
}

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
