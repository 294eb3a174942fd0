// Times reading a site index of many POI files into the catalogue, and looking up the last of
// them as the update engine does. Prints the number of POI files and the two times in seconds
// (best of five). Usage: marivel_site_bench [COUNT]

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "sites/uSite.h"
#include "uBenchData.h"

namespace {

template <typename TStep> double Fastest(TStep step)
{
    double best = 1e9;
    for (int run = 0; run < 5; ++run) {
        const auto start = std::chrono::steady_clock::now();
        step();
        best = std::min(
            best, std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
    }
    return best;
}

} // namespace

int main(int argc, char** argv)
{
    const int count = argc > 1 ? std::atoi(argv[1]) : 20000;
    const std::string index = MakeSiteIndex(count);
    TSite site(QStringLiteral("FILE:///bench/index.xml"));
    const double load = Fastest([&] { site.LoadFromXml(index); });
    const QString last = QStringLiteral("POI file %1").arg(count - 1);
    const double lookup = Fastest([&] { site.PoiValue(last, QStringLiteral("url"), true); });
    std::printf("%d %.3f %.4f\n", count, load, lookup);
    return 0;
}
