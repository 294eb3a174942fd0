#include "convert/uConvertGdb.h"

#include <gtest/gtest.h>

#include "convert/convertfixture.h"
#include "platform/uBytes.h"
#include "testing.h"

namespace {

std::string Int32Bytes(int32_t value)
{
    std::string bytes;
    AppendInt32(bytes, value);
    return bytes;
}

// Header blocks hold their length L, then L + 1 bytes.
std::string Header(const std::string& version, const std::string& second = "x")
{
    return std::string("MsRcf\0", 6) + Int32Bytes(static_cast<int32_t>(version.size())) + version
        + '\0' + Int32Bytes(static_cast<int32_t>(second.size())) + second + '\0'
        + std::string("MapSource\0", 10);
}

std::string Record(char type, const std::string& data, int32_t lengthError = 0)
{
    return Int32Bytes(static_cast<int32_t>(data.size()) + lengthError) + type + data;
}

// Stands for the waypoint fields after the position, which are not read.
const std::string UnreadTail = "more";

std::string Waypoint(const std::string& name, int32_t latitude, int32_t longitude)
{
    return Record('W',
        name + '\0' + std::string(4, '\0') + "NL" + '\0' + std::string(22, '\xff')
            + Int32Bytes(latitude) + Int32Bytes(longitude) + UnreadTail);
}

} // namespace

TEST(TConvertFromGdb, ReadsWaypointsOfBothVersionsAndPassesOverOtherRecords)
{
    for (const char* version : { "Dk", "Dl" }) {
        TEntries entries;
        ImportInto<TConvertFromGdb>(entries,
            Header(version) + Record('R', "route") + Waypoint("north", 1073741824, -536870912)
                + Record('T', "") + Waypoint("", 0, 1) + Record('R', "cut", 1000));
        ASSERT_EQ(entries.Count(), 2) << version;
        EXPECT_EQ(ReadPoints(entries)[0], (TReadPoint { "north", -45, 90 }));
    }
    EXPECT_EQ(ReadOutcome<TConvertFromGdb>(Header("Dm")), "Invalid gdb file version | kept ");
}

TEST(TConvertFromGdb, DamagedHeaderOrWaypointFails)
{
    const std::string header = Header("Dk");
    for (size_t cut = 0; cut < header.size(); ++cut)
        EXPECT_EQ(
            ReadOutcome<TConvertFromGdb>(header.substr(0, cut)), "Invalid gdb file header | kept ")
            << cut;
    EXPECT_EQ(ReadOutcome<TConvertFromGdb>(Header("Dk", std::string(128, 'x'))),
        "Invalid gdb file header | kept ")
        << "a block beyond its 128-byte buffer";
    EXPECT_EQ(
        ReadOutcome<TConvertFromGdb>(Header("Dk", std::string(127, 'x'))), "no error | kept ");

    const std::string waypoint = Waypoint("a", 0, 0);
    for (size_t cut = 1; cut < waypoint.size() - UnreadTail.size(); ++cut)
        EXPECT_EQ(ReadOutcome<TConvertFromGdb>(header + waypoint.substr(0, cut)),
            "Invalid gdb file header | kept ")
            << cut;
}
