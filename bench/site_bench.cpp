// Times reading a site index of many POI files into the catalogue, and looking up the last of
// them as the update engine does. Prints the number of POI files and the two times in seconds
// (best of five). Usage: marivel_site_bench [COUNT]

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "sites/uSite.h"

namespace {

// An index as large sites publish it: POI files under a few dozen countries, each in one or two
// of ten groups, with the usual children.
std::string MakeIndex(int count)
{
    std::string xml = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<pois>\n<groups>\n";
    for (int group = 0; group < 10; ++group)
        xml += "<group><name>group" + std::to_string(group) + "</name><description>Group "
            + std::to_string(group) + "</description></group>\n";
    xml += "</groups>\n";
    for (int poi = 0; poi < count; ++poi) {
        const std::string n = std::to_string(poi);
        xml += "<poi><description>POI file " + n + "</description><url>/files/" + n
            + ".ov2</url><format>ov2.ttov2</format><map>Country " + std::to_string(poi % 40)
            + "</map><group>group" + std::to_string(poi % 10) + "</group>"
            + (poi % 3 == 0 ? "<group>group" + std::to_string((poi + 1) % 10) + "</group>" : "")
            + "<note>Speed cameras and other points of " + n + "</note><lastmodified>/lm.php?f=" + n
            + "</lastmodified></poi>\n";
    }
    return xml + "</pois>\n";
}

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
    const std::string index = MakeIndex(count);
    TSite site(QStringLiteral("FILE:///bench/index.xml"));
    const double load = Fastest([&] { site.LoadFromXml(index); });
    const QString last = QStringLiteral("POI file %1").arg(count - 1);
    const double lookup = Fastest([&] { site.PoiValue(last, QStringLiteral("url"), true); });
    std::printf("%d %.3f %.4f\n", count, load, lookup);
    return 0;
}
