#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>
#include <vector>

#include "DeviceViewFixture.h"
#include "HexBytes.h"
#include "schema/base/UsbConfiguration.h"
#include "schema/device/UsbDevice.h"
#include "usb/cfg/BuildInfo.h"
#include "usb/ops/UsbProduction.h"

using namespace Tessor::usb;
using Tessor::schema::SystemClock;

namespace {

class BuildInfoTest : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        // File times are kept in local time; the golden values are in UTC.
        setenv("TZ", "UTC", 1);
        tzset();
        Tessor::schema::UsbConfiguration::instance("");
    }

    static Sptr<SystemClock> epoch()
    {
        Sptr<SystemClock> clock(new SystemClock());
        clock->year = 1970;
        clock->month = 1;
        clock->day = 1;
        return clock;
    }

    std::vector<uint8_t> sectorOf(BuildInfo& build)
    {
        std::vector<uint8_t> sector(512, 0xEE);
        EXPECT_EQ(0, build.serialize(sector.data()));
        return sector;
    }

    static std::vector<uint8_t> slice(const std::vector<uint8_t>& v, int from, int n)
    {
        return std::vector<uint8_t>(v.begin() + from, v.begin() + from + n);
    }

    DeviceViewFixture device;
};

TEST_F(BuildInfoTest, SectorOffsetsAndFileTime)
{
    device.view.scan->setEccBytes(0x1A7);
    device.view.scan->setScanPriority(2);
    device.view.scan->setScanLevel(3);
    device.view.settings->setPassword("12345678901234567890");
    BuildInfo build(nullptr);
    ASSERT_EQ(512, build.getLength());
    ASSERT_EQ(0, build.finish(device.view));
    build.setBuildTime(epoch());
    const std::vector<uint8_t> s = sectorOf(build);

    const uint32_t tool = static_cast<uint32_t>(build.getToolVersion().getVersion());
    EXPECT_EQ(tool, s[0] | s[1] << 8 | s[2] << 16 | uint32_t(s[3]) << 24);
    EXPECT_EQ(build.getCodeVersion(), s[4] | s[5] << 8);
    // 1970-01-01 is 116 444 736 000 000 000 ticks of 100 ns after 1601-01-01.
    EXPECT_EQ(hexText(hexBytes("00 80 3E D5 DE B1 9D 01")), hexText(slice(s, 6, 8)));
    EXPECT_EQ(hexText(hexBytes("00 00 A7 02 03 00 00")), hexText(slice(s, 14, 7)));
    EXPECT_EQ(hexText(hexBytes("40 42 0F 00  A0 BB 0D 00  00 00 20 00  00 00 00 00")), hexText(slice(s, 21, 16)));
    EXPECT_EQ("123456789012345678", std::string(reinterpret_cast<const char*>(&s[37]), 18));
    EXPECT_EQ(std::vector<uint8_t>(457, 0), slice(s, 55, 457));
}

TEST_F(BuildInfoTest, ShortPasswordIsZeroPadded)
{
    device.view.settings->setPassword("");
    BuildInfo build(nullptr);
    build.finish(device.view);
    EXPECT_EQ(std::vector<uint8_t>(18, 0), slice(sectorOf(build), 37, 18));
}

TEST_F(BuildInfoTest, ReaderRoundTripsTheWriter)
{
    device.view.settings->setPassword("secret");
    BuildInfo source(nullptr);
    source.finish(device.view);
    source.setBuildTime(epoch());
    std::vector<uint8_t> s = sectorOf(source);
    s[14] = 0xFF;  // a scan block mode written by another tool

    BuildInfo target(nullptr);
    ASSERT_EQ(0, target.reverseSerialize(s.data()));
    EXPECT_EQ(source.getToolVersion().getVersion(), target.getToolVersion().getVersion());
    EXPECT_EQ(source.getCodeVersion(), target.getCodeVersion());
    EXPECT_EQ(255u, target.getScanBlockMode());
    EXPECT_EQ(source.getRealCapacity(), target.getRealCapacity());
    EXPECT_EQ(source.getConfigCapacity(), target.getConfigCapacity());
    EXPECT_EQ(source.getTotalCapacity(), target.getTotalCapacity());
    EXPECT_EQ(source.getEccBytes(), target.getEccBytes());
    EXPECT_EQ(std::string("secret"), std::string(target.getPassword(), 6));
    ASSERT_TRUE(target.getBuildTime());
    EXPECT_EQ(1970, target.getBuildTime()->year);
    EXPECT_EQ(1, target.getBuildTime()->day);
    EXPECT_EQ(0, target.getBuildTime()->hour);
}

TEST_F(BuildInfoTest, WriteWithoutAnAddressFails)
{
    BuildInfo build(nullptr);
    EXPECT_EQ(-1, build.writeFlash(nullptr));
}

TEST_F(BuildInfoTest, FailedWriteIsReportedAsAFailure)
{
    // A device slot that nothing is plugged into refuses every write.
    Tessor::usb::installUsbProduction();
    Tessor::schema::UsbDevice unplugged(nullptr, 0, "UDISK-0");
    BuildInfo build(nullptr);
    build.setAddress(device.address(0, 3, 2));
    EXPECT_EQ(-1, build.writeFlash(&unplugged));
}

}  // namespace
