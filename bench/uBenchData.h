#pragma once

#include <cstdint>
#include <string>

// Test files of `count` points spread over Europe, with descriptions of 12 to 40 characters
// as real POI files have; the same bytes every time.

std::string MakeOv2(int count);
// A GPX file of the same points, whose names mix Latin, Greek, Cyrillic, Chinese and Korean.
std::string MakeMixedScriptGpx(int count);
// A MapSource database (version 2) with one waypoint record per point, laid out as
// MapSource and GPSBabel write them.
std::string MakeGdb(int count);
// A navigator configuration file holding one favourite per point.
std::string MakeCfg(int count);
// An Excel 2003 XML workbook with one row per point.
std::string MakeExcelXml(int count);
// An index as large sites publish it: POI files under a few dozen countries, each in one or two
// of ten groups, with the usual children.
std::string MakeSiteIndex(int count);

// The same numbers in [0, 1) on every run, so that benchmarks compare.
class TUnitRandom {
public:
    double Next()
    {
        Seed = Seed * 1664525u + 1013904223u;
        return (Seed >> 8) / static_cast<double>(1u << 24);
    }

private:
    uint32_t Seed = 12345;
};
