#pragma once

#include <cstdint>
#include <string>

// Bytes of an OV2 file with `count` simple records spread over Europe, with descriptions of
// 12 to 40 characters as real POI files have; the same bytes every time.
std::string MakeOv2(int count);
