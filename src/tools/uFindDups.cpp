#include "tools/uFindDups.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <memory>
#include <numbers>
#include <span>

#include "core/uEntryRows.h"
#include "core/uModel.h"

namespace {

// WGS84.
constexpr double SemiMajorAxis = 6378137;
constexpr double EccentricitySquared = 0.00669437999014;

double Radians(double degrees) { return degrees * std::numbers::pi / 180; }

// An angle a little wider, so that rounding in the distance never loses a pair that comparing
// every pair would find: relative for the distance's own rounding, absolute for the last bit
// of a longitude near 180 degrees.
double Widened(double radians) { return radians * (1 + 1e-9) + 1e-12; }

struct TIndexedPoint {
    TDupPoint Point;
    int32_t Row;
    int32_t Band; // latitude band, one tolerance high
};

// The search over one list: the points sorted by latitude band, then longitude, so a head's
// candidates are a short run of each of the (at most three) bands its tolerance reaches.
// Bands rather than one list sorted by latitude, so entries along a parallel do not all fall
// into every window.
class TSearch {
public:
    TSearch(const TEntries& entries, int tolerance);
    TDuplicateGroups Run(const TSearchProgress& progress);

private:
    int32_t BandOf(double lat) const { return static_cast<int32_t>(std::floor(lat / LatReach)); }
    void MakeSortedPoints(const TEntries& entries);
    // Finds the points with a neighbour within the tolerance, for `WithNeighbours`.
    void FindPointsWithNeighbours();
    // Calls `near(i)` for each other point closer to the one at `place` than the tolerance,
    // until it answers false.
    template <typename Near> void ForEachNear(size_t place, Near near) const;
    // Appends the ungrouped rows closer to the head at `place` than the tolerance.
    void Collect(size_t place, std::vector<int>& found) const;
    template <typename Before> size_t Boundary(size_t from, Before before) const;

    TDupDistance Distance;
    double Tolerance;
    double LatReach; // the tolerance as a (widened) angle of latitude, and the height of a band
    std::unique_ptr<TIndexedPoint[]> PointStore; // left uninitialised: each half fills its own
    std::span<TIndexedPoint> Points;
    // The points with a neighbour, in list order: no other point can head or join a group.
    struct TRowPlace {
        int32_t Row;
        int32_t Place; // index in `Points`
    };
    std::vector<TRowPlace> WithNeighbours;
    std::vector<bool> Grouped; // by row; heads count as grouped
};

TSearch::TSearch(const TEntries& entries, int tolerance)
    : Distance(DupPointOf(entries.Items(0)).Lat)
    , Tolerance(tolerance)
    , LatReach(Widened(Distance.LatReach(tolerance)))
    , Grouped(static_cast<size_t>(entries.Count()))
{
    MakeSortedPoints(entries);
    FindPointsWithNeighbours();
}

void TSearch::MakeSortedPoints(const TEntries& entries)
{
    const int count = entries.Count();
    PointStore.reset(new TIndexedPoint[static_cast<size_t>(count)]);
    Points = std::span(PointStore.get(), static_cast<size_t>(count));
    // Points that tie may stand in any order: a head's window takes in all of them or none.
    const auto less = [](const TIndexedPoint& a, const TIndexedPoint& b) {
        return a.Band != b.Band ? a.Band < b.Band : a.Point.Lon < b.Point.Lon;
    };
    InTwoParts([&](int part) {
        const auto [first, last] = HalfOfRows(count, part);
        for (int row = first; row < last; ++row) {
            const TDupPoint point = DupPointOf(entries.Items(row));
            Points[static_cast<size_t>(row)] = { point, row, BandOf(point.Lat) };
        }
    });
    // Split at the median, each half is sorted on its own processor and nothing is merged:
    // a merge would want half the points' room again.
    const auto middle = Points.begin() + count / 2;
    std::nth_element(Points.begin(), middle, Points.end(), less);
    InTwoParts([&](int part) {
        if (part == 0)
            std::sort(Points.begin(), middle, less);
        else
            std::sort(middle, Points.end(), less);
    });
}

// Walking the points in sorted order finds those with something near while their neighbours
// are still in the cache; the walk in list order then visits only them. Most entries of a
// large list have nothing near, and their places lie all over a list too big for the cache.
void TSearch::FindPointsWithNeighbours()
{
    for (size_t place = 0; place < Points.size(); ++place) {
        bool lonely = true;
        ForEachNear(place, [&](size_t) {
            lonely = false;
            return false; // one is enough
        });
        if (!lonely)
            WithNeighbours.push_back({ Points[place].Row, static_cast<int32_t>(place) });
    }
    std::sort(WithNeighbours.begin(), WithNeighbours.end(),
        [](const TRowPlace& a, const TRowPlace& b) { return a.Row < b.Row; });
}

TDuplicateGroups TSearch::Run(const TSearchProgress& progress)
{
    TDuplicateGroups groups;
    std::vector<int> found;
    // The share done is of the walk over the points with a neighbour: the others take no
    // time here.
    const size_t count = WithNeighbours.size();
    int reported = -1;
    for (size_t i = 0; i < count; ++i) {
        const auto [row, place] = WithNeighbours[i];
        if (!Grouped[static_cast<size_t>(row)]) {
            Grouped[static_cast<size_t>(row)] = true;
            found.clear();
            Collect(static_cast<size_t>(place), found);
            std::sort(found.begin(), found.end());
            for (int duplicate : found)
                Grouped[static_cast<size_t>(duplicate)] = true;
            if (!found.empty())
                groups.Add(row, found);
        }
        const int percent = static_cast<int>((i + 1) * 100 / count);
        if (progress && percent != reported) {
            reported = percent;
            if (!progress(percent))
                break;
        }
    }
    return groups;
}

template <typename Near> void TSearch::ForEachNear(size_t place, Near near) const
{
    const TDupPoint head = Points[place].Point;
    const double lonReach = Widened(Distance.LonReach(Tolerance, head.Lat));
    const double west = head.Lon - lonReach, east = head.Lon + lonReach;
    const int32_t lastBand = BandOf(head.Lat + LatReach);
    for (int32_t band = BandOf(head.Lat - LatReach); band <= lastBand; ++band) {
        size_t i = Boundary(place, [&](const TIndexedPoint& p) {
            return p.Band < band || (p.Band == band && p.Point.Lon < west);
        });
        for (; i < Points.size() && Points[i].Band == band && Points[i].Point.Lon <= east; ++i) {
            if (i != place && Distance(head, Points[i].Point) < Tolerance && !near(i))
                return;
        }
    }
}

void TSearch::Collect(size_t place, std::vector<int>& found) const
{
    ForEachNear(place, [&](size_t i) {
        const int32_t row = Points[i].Row;
        if (!Grouped[static_cast<size_t>(row)])
            found.push_back(row);
        return true;
    });
}

// The first place where `before` turns false, given it holds for a prefix of the points. The
// answer is usually close to `from`, so the search gallops out from there before it bisects.
template <typename Before> size_t TSearch::Boundary(size_t from, Before before) const
{
    size_t low = from, high = from; // the answer lies in [low, high]
    size_t step = 1;
    if (before(Points[from])) {
        low = high = from + 1;
        while (high < Points.size() && before(Points[high])) {
            low = high + 1;
            high = std::min(Points.size(), high + step);
            step *= 2;
        }
    } else {
        while (low > 0 && !before(Points[low - 1])) {
            high = low - 1;
            low = high > step ? high - step : 0;
            step *= 2;
        }
    }
    const auto begin = Points.begin();
    return static_cast<size_t>(std::partition_point(begin + low, begin + high, before) - begin);
}

} // namespace

TDupPoint DupPointOf(const TEntry& entry)
{
    return { Radians(entry.Latitude()), Radians(entry.Longitude()) };
}

TDupDistance::TDupDistance(double firstLat)
{
    const double sin = std::sin(firstLat);
    const double w = 1 - EccentricitySquared * sin * sin;
    M = SemiMajorAxis * (1 - EccentricitySquared) / std::pow(w, 1.5);
    N = SemiMajorAxis / std::sqrt(w);
}

double TDupDistance::operator()(TDupPoint head, TDupPoint other) const
{
    const double x = N * std::cos(head.Lat) * (other.Lon - head.Lon);
    const double y = M * (other.Lat - head.Lat);
    return std::sqrt(x * x + y * y);
}

std::span<const int> TDuplicateGroups::Duplicates(int group) const
{
    const size_t end = static_cast<size_t>(Ends[static_cast<size_t>(group)]);
    const size_t begin = group == 0 ? 0 : static_cast<size_t>(Ends[static_cast<size_t>(group) - 1]);
    return std::span<const int>(Members).subspan(begin, end - begin);
}

void TDuplicateGroups::Add(int head, std::span<const int> duplicates)
{
    Heads.push_back(head);
    Members.insert(Members.end(), duplicates.begin(), duplicates.end());
    Ends.push_back(static_cast<int>(Members.size()));
}

TDuplicateGroups FindDuplicates(
    const TEntries& entries, int tolerance, const TSearchProgress& progress)
{
    // Nothing lies closer than 0 metres; an empty list has no first latitude.
    if (tolerance <= 0 || entries.Count() == 0)
        return {};
    return TSearch(entries, tolerance).Run(progress);
}

int DropDuplicates(TEntries& entries, int tolerance)
{
    std::vector<int> rows = FindDuplicates(entries, tolerance).AllDuplicates();
    std::sort(rows.begin(), rows.end());
    entries.TakeRows(rows); // the entries taken are freed with the result
    return static_cast<int>(rows.size());
}
