#include "tools/uFindDups.h"

#include <algorithm>
#include <random>
#include <utility>

#include <gtest/gtest.h>

#include "core/uModel.h"
#include "testing.h"

namespace {

using TGroups = std::vector<std::pair<int, std::vector<int>>>;

TGroups Found(const TEntries& entries, int tolerance)
{
    const TDuplicateGroups groups = FindDuplicates(entries, tolerance);
    TGroups pairs;
    for (int g = 0; g < groups.Count(); ++g) {
        const auto duplicates = groups.Duplicates(g);
        pairs.emplace_back(groups.Head(g), std::vector<int>(duplicates.begin(), duplicates.end()));
    }
    return pairs;
}

// The search comparing each remaining entry with each head in turn, without any index.
TGroups ComparingEveryPair(const TEntries& entries, int tolerance)
{
    std::vector<TDupPoint> points;
    for (int row = 0; row < entries.Count(); ++row)
        points.push_back(DupPointOf(entries.Items(row)));
    const TDupDistance distance(points.empty() ? 0 : points[0].Lat);
    std::vector<bool> taken(points.size());
    TGroups groups;
    for (size_t head = 0; head < points.size(); ++head) {
        std::vector<int> duplicates;
        for (size_t row = head + 1; row < points.size() && !taken[head]; ++row)
            if (!taken[row] && distance(points[head], points[row]) < tolerance) {
                taken[row] = true;
                duplicates.push_back(int(row));
            }
        if (!duplicates.empty())
            groups.emplace_back(int(head), duplicates);
    }
    return groups;
}

// Entries where duplicates occur and where an index is likeliest to miss one: clusters a few
// metres wide, exact copies, both poles, both sides of the date line and a street along a
// parallel; in random order, so heads are not the westernmost or southernmost of their groups.
void AddAwkwardEntries(TEntries& entries, int count, uint32_t seed)
{
    std::mt19937 random(seed);
    const auto uniform = [&](double low, double high) {
        return std::uniform_real_distribution<double>(low, high)(random);
    };
    std::vector<std::pair<double, double>> centres; // latitude, longitude
    for (int i = 0; i < 150; ++i)
        centres.emplace_back(uniform(-89.9999, 89.9999), uniform(-180, 180));
    std::vector<std::pair<double, double>> points;
    for (int i = 0; i < count; ++i) {
        const int kind = i % 10;
        if (kind < 4) {
            const auto [lat, lon] = centres[size_t(i) % centres.size()];
            const double spread = 0.0001; // about 11 m
            points.emplace_back(lat + uniform(-spread, spread),
                std::clamp(
                    lon + uniform(-spread, spread) / std::cos(lat * 0.0174533), -180.0, 180.0));
        } else if (kind == 4 && !points.empty()) {
            points.push_back(points[size_t(random()) % points.size()]);
        } else if (kind == 5) {
            points.emplace_back(
                i % 20 < 10 ? 90 : -89.99997 - uniform(0, 0.00003), uniform(-180, 180));
        } else if (kind == 6) {
            const double lon = 180 - uniform(0, 0.00004);
            points.emplace_back(uniform(-0.00005, 0.00005) + 40, i % 20 < 10 ? lon : -lon);
        } else if (kind == 7) {
            points.emplace_back(48.85, 2.3 + 0.00003 * i); // about 2 m apart
        } else {
            points.emplace_back(uniform(-90, 90), uniform(-180, 180));
        }
    }
    std::shuffle(points.begin(), points.end(), random);
    for (const auto& [lat, lon] : points)
        entries.AddValues("p", "", lon, lat);
}

} // namespace

TEST(FindDuplicates, GroupsAsComparingEveryPairDoes)
{
    for (const auto& [seed, precision] : { std::pair { 1u, 5 }, { 2u, 6 }, { 3u, 4 } }) {
        TPrecision digits(precision);
        TEntries entries;
        AddAwkwardEntries(entries, 4000, seed);
        for (int tolerance : { 1, 5, 30 }) {
            const TGroups expected = ComparingEveryPair(entries, tolerance);
            EXPECT_GT(expected.size(), 100u);
            EXPECT_EQ(Found(entries, tolerance), expected)
                << "seed " << seed << ", tolerance " << tolerance;
        }
    }
}

// Which entries group with which is the comparison with every pair above; here, the distance:
// east-west is measured at the head's latitude, with the meridian radius of the first entry;
// longitude counts for nothing at the pole but does not wrap at the date line.
TEST(FindDuplicates, GroupsByTheDistanceToTheHead)
{
    using TPoints = std::vector<std::pair<double, double>>; // longitude, latitude
    const struct {
        const char* Case;
        TPoints Points;
        int Precision, Tolerance;
        TGroups Expected;
    } cases[] = {
        { "no entries", {}, 5, 5, {} },
        // At 60 degrees a degree of longitude is half as long as at the equator: these are 5.6 m
        // apart, 11 m at the equator's scale.
        { "at 60 degrees", { { 10, 60 }, { 10.0001, 60 } }, 6, 5, {} },
        { "at 60 degrees, wider", { { 10, 60 }, { 10.0001, 60 } }, 6, 6, { { 0, { 1 } } } },
        // 4.98 m with the meridian radius of the first entry at the equator, 5.03 m with that of
        // the pair's own latitude.
        { "first entry's radii", { { 0, 0 }, { 0, 89 }, { 0, 89.000045 } }, 6, 5,
            { { 1, { 2 } } } },
        { "pole and date line",
            { { -180, 90 }, { 180, 10 }, { 180, 90 }, { -180, 10 }, { 179.99999, 10 } }, 5, 5,
            { { 0, { 2 } }, { 1, { 4 } } } },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Case);
        TPrecision digits(c.Precision);
        TEntries entries;
        for (const auto& [longitude, latitude] : c.Points)
            entries.AddValues("p", "", longitude, latitude);
        EXPECT_EQ(Found(entries, c.Tolerance), c.Expected);
    }
}

// The search tells how far it got after each entry, and stops with what it found so far when
// told no: the progress window's Cancel.
TEST(FindDuplicates, TellsThePercentDoneAfterEachEntryAndStopsWhenCancelled)
{
    TEntries entries;
    for (int i = 0; i < 4; ++i)
        for (int copy = 0; copy < 2; ++copy)
            entries.AddValues("x", "", i, i);
    std::vector<int> told;
    // Answers yes until `last` percent is told.
    const auto tellUntil = [&told](int last) {
        return [&told, last](int percent) { return told.push_back(percent), percent < last; };
    };
    EXPECT_EQ(FindDuplicates(entries, 5, tellUntil(37)).Count(), 2);
    EXPECT_EQ(told, (std::vector<int> { 12, 25, 37 }));
    told.clear();
    EXPECT_EQ(FindDuplicates(entries, 5, tellUntil(101)).Count(), 4);
    EXPECT_EQ(told, (std::vector<int> { 12, 25, 37, 50, 62, 75, 87, 100 }));
}
