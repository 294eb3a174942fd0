// Writes a test file of COUNT points: make-poi ov2|mixed-gpx|gdb|cfg|xml|site COUNT FILE

#include <cstdlib>
#include <fstream>
#include <iostream>
#include <string_view>

#include "uBenchData.h"

int main(int argc, char** argv)
{
    const std::string_view kind = argc == 4 ? argv[1] : "";
    auto make = kind == "ov2" ? MakeOv2
        : kind == "mixed-gpx" ? MakeMixedScriptGpx
        : kind == "gdb"       ? MakeGdb
        : kind == "cfg"       ? MakeCfg
        : kind == "xml"       ? MakeExcelXml
        : kind == "site"      ? MakeSiteIndex
                              : nullptr;
    if (!make) {
        std::cerr << "usage: make-poi ov2|mixed-gpx|gdb|cfg|xml|site COUNT FILE\n";
        return 2;
    }
    const std::string data = make(std::atoi(argv[2]));
    std::ofstream(argv[3], std::ios::binary)
        .write(data.data(), static_cast<std::streamsize>(data.size()));
    return 0;
}
