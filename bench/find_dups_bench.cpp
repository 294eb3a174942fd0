// Times the duplicate search on COUNT entries spread over Europe, a tenth of which are twins
// of another within 3 m, in random order; tolerance 5 m. Prints the entries, the groups found
// and the seconds of the search, in wall time and in processor time (each the best of three:
// on a shared machine the second shows the search's own cost). With --no-search it only makes the
// entries, so that bench/find-dups can take the document's own memory off the search's. Usage:
// marivel_find_dups_bench COUNT [--no-search]

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <numbers>
#include <random>
#include <string>
#include <vector>

#include <QCoreApplication>

#include "core/uModel.h"
#include "tools/uFindDups.h"

namespace {

struct TPlace {
    double Lat, Lon;
};

std::vector<TPlace> PlacesWithTwins(int count)
{
    std::mt19937 random(20261206);
    std::uniform_real_distribution<double> lat(36, 70), lon(-10, 30), unit(0, 1);
    std::vector<TPlace> places;
    places.reserve(static_cast<size_t>(count));
    while (static_cast<int>(places.size()) < count) {
        if (places.size() % 10 == 9) {
            // Up to 3 m away in any direction; a metre is 1/111,320 of a degree of latitude.
            const TPlace& original = places[static_cast<size_t>(random()) % places.size()];
            const double metres = 3 * unit(random), angle = 2 * std::numbers::pi * unit(random);
            const double degree = 111320;
            places.push_back({ original.Lat + metres * std::sin(angle) / degree,
                original.Lon
                    + metres * std::cos(angle)
                        / (degree * std::cos(original.Lat * std::numbers::pi / 180)) });
        } else {
            places.push_back({ lat(random), lon(random) });
        }
    }
    std::shuffle(places.begin(), places.end(), random);
    return places;
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv); // the settings look for the program's folder
    if (argc < 2) {
        std::fprintf(stderr, "usage: marivel_find_dups_bench COUNT [--no-search]\n");
        return 2;
    }
    const int count = std::atoi(argv[1]);
    TEntries entries;
    for (const TPlace& place : PlacesWithTwins(count))
        entries.AddValues("POI " + std::to_string(entries.Count()), "", place.Lon, place.Lat);
    if (argc > 2 && std::strcmp(argv[2], "--no-search") == 0) {
        std::printf("%d 0 0 0\n", entries.Count());
        return 0;
    }
    double wall = 1e9, processor = 1e9;
    int groups = 0;
    for (int run = 0; run < 3; ++run) {
        const auto start = std::chrono::steady_clock::now();
        const std::clock_t startClock = std::clock();
        groups = FindDuplicates(entries, 5).Count();
        processor = std::min(processor, double(std::clock() - startClock) / CLOCKS_PER_SEC);
        wall = std::min(
            wall, std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
    }
    std::printf("%d %d %.3f %.3f\n", entries.Count(), groups, wall, processor);
    return 0;
}
