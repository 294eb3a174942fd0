#include "uBenchData.h"

#include <random>

#include "platform/uBytes.h"

std::string MakeOv2(int count)
{
    std::mt19937 random(20261206);
    std::uniform_int_distribution<int32_t> longitude(-1000000, 3000000);
    std::uniform_int_distribution<int32_t> latitude(3600000, 7000000);
    std::uniform_int_distribution<int> extraLength(0, 28);
    const std::string words = "Speed camera Fuel station Restaurant Parking Hotel Museum Harbour ";
    std::string data;
    data.reserve(static_cast<size_t>(count) * 40);
    for (int i = 0; i < count; ++i) {
        std::string description = "POI " + std::to_string(i % 100000) + ' ';
        description.resize(12 + extraLength(random), '.');
        description.replace(
            9, std::string::npos, words, static_cast<size_t>(i % 40), description.size() - 9);
        data.push_back('\x02');
        AppendInt32(data, static_cast<int32_t>(description.size() + 14));
        AppendInt32(data, longitude(random));
        AppendInt32(data, latitude(random));
        data += description;
        data.push_back('\0');
    }
    return data;
}
