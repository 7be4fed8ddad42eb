#include <gtest/gtest.h>

#include <cstring>

#include "schema/base/UsbConfiguration.h"
#include "schema/device/VersionInfo.h"

using namespace Tessor::schema;

namespace {

// A version block: signature word (or FF), then the four version bytes.
std::array<unsigned char, 512> block(bool table, const char* bytes4to7)
{
    std::array<unsigned char, 512> raw{};
    raw.fill(0xFF);
    if (table) {
        const unsigned int signature = VersionInfo::CFG_TABLE_SIGNATURE;
        std::memcpy(raw.data(), &signature, 4);
    }
    std::memcpy(raw.data() + 4, bytes4to7, 4);
    return raw;
}

}  // namespace

TEST(VersionInfo, BlocksOfEveryVariant)
{
    struct Case {
        int chipSet;
        bool table;
        const char* bytes;
        int version;
        unsigned char type;
    };
    const Case cases[] = {
        {CHIPSET_6706, true, "2.40", 240, '.'},    {CHIPSET_6716, false, "3.00", 300, '.'},
        {CHIPSET_6716V31, true, "3.10", 310, '.'}, {CHIPSET_6716V32, false, "3\x05" "20", 320, 5},
        {CHIPSET_6726, true, "4.00", 400, '.'},    {CHIPSET_6605, true, "6.00", 600, '.'},
        {CHIPSET_6605, false, ".?0p", 600, '?'},   {CHIPSET_6605, false, "6.00", VERSION_UNSET, '.'},
        {CHIPSET_6716, false, ".?0p", 240, '?'},   {CHIPSET_6716, true, "2.50", 240, '.'},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.chipSet << " " << c.bytes);
        auto raw = block(c.table, c.bytes);
        VersionInfo v(raw.data(), c.chipSet);
        EXPECT_EQ(v.checkCfgTable(), c.table);
        EXPECT_EQ(v.getVersionNumber(), c.version);
        EXPECT_EQ(v.getControllerType(), c.type);
    }
}

TEST(VersionInfo, OnlyKnownVersionsAreStored)
{
    VersionInfo v;
    EXPECT_EQ(v.getVersionNumber(), 240);
    v.setVersionNumber(310);
    EXPECT_EQ(v.getVersionNumber(), 310);
    v.setVersionNumber(250);
    EXPECT_EQ(v.getVersionNumber(), 240);
}

TEST(VersionInfo, ConfiguredChipSetIsUsed)
{
    UsbConfiguration::instance("");
    UsbConfiguration::instance()->setChipSet("6605");
    auto raw = block(false, ".?0p");
    EXPECT_EQ(VersionInfo(raw.data()).getVersionNumber(), 600);
}
