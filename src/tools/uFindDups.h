#pragma once

#include <cmath>
#include <functional>
#include <span>
#include <vector>

class TEntries;
class TEntry;

// Which entries of a list lie within a distance tolerance of an earlier one. Walking the list
// in order, each entry not yet grouped heads a group, and every later ungrouped entry closer
// to it than the tolerance joins that group; heads without duplicates are dropped. So each
// entry belongs to at most one group, duplicates are compared with their head only, and
// which entry heads a group depends on the order of the list.

// A position in radians.
struct TDupPoint {
    double Lat;
    double Lon;
};

TDupPoint DupPointOf(const TEntry& entry);

// Metres between two positions on a plane laid on the WGS84 ellipsoid at the list's first
// latitude: good enough for the few metres duplicates lie apart, and cheap. Longitudes do
// not wrap at the date line.
class TDupDistance {
public:
    explicit TDupDistance(double firstLat);
    double operator()(TDupPoint head, TDupPoint other) const;
    // The angles `metres` span along a meridian, and along the parallel of `lat`.
    double LatReach(double metres) const { return metres / M; }
    double LonReach(double metres, double lat) const { return metres / (N * std::cos(lat)); }

private:
    double M; // meridional radius of curvature
    double N; // transverse radius of curvature
};

// The groups found, as rows of the list, each in list order.
class TDuplicateGroups {
public:
    int Count() const { return static_cast<int>(Heads.size()); }
    int Head(int group) const { return Heads[static_cast<size_t>(group)]; }
    std::span<const int> Duplicates(int group) const;
    // Every group's duplicates, group after group.
    const std::vector<int>& AllDuplicates() const { return Members; }

    void Add(int head, std::span<const int> duplicates);

private:
    std::vector<int> Heads;
    std::vector<int> Ends; // where each group's duplicates end in `Members`
    std::vector<int> Members;
};

// Told the percent of the list done whenever it grows; answers false to stop the search,
// which then keeps the groups found so far.
using TSearchProgress = std::function<bool(int percent)>;

// The groups of `entries` within `tolerance` metres. Each head finds its candidates through
// bands of latitude sorted by longitude, so a million entries take about a second rather
// than the hours of comparing every pair.
TDuplicateGroups FindDuplicates(
    const TEntries& entries, int tolerance, const TSearchProgress& progress = {});

// Removes every duplicate `FindDuplicates` finds, keeping the heads; returns how many went.
int DropDuplicates(TEntries& entries, int tolerance);
