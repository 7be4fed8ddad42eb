#include <gtest/gtest.h>

#include <string>

#include "schema/device/BaseAddress.h"
#include "schema/device/DiskInfo.h"
#include "schema/device/PlaneInfo.h"

using Tessor::schema::BaseAddress;
using Tessor::schema::DiskInfo;
using Tessor::schema::PlaneInfo;

TEST(DiskInfo, Totals)
{
    DiskInfo d(2, 1024, 64, 4);
    EXPECT_EQ(d.getTotalBlocks(), 2048);
    EXPECT_EQ(d.getTotalPages(), 131072);
    EXPECT_EQ(d.getTotalSectors(), 524288);
    EXPECT_EQ(d.getSectorsPerBlock(), 256);
}

TEST(PlaneInfo, Totals)
{
    EXPECT_EQ(PlaneInfo().getTotalPlanes(), 1);
    Sptr<PlaneInfo> p(new PlaneInfo(2, 2, 2));
    EXPECT_EQ(p->getTotalPlanes(), 8);
    EXPECT_EQ(PlaneInfo(p).getTotalPlanes(), 8);
}

TEST(BaseAddress, LinearNumberKeepsItsGeometry)
{
    Sptr<DiskInfo> g(new DiskInfo(4, 1024, 64, 4));
    struct Case {
        int n, chip, block, page, sector;
    };
    const int perChip = 1024 * 64 * 4;
    const Case cases[] = {
        {0, 0, 0, 0, 0},
        {384014, 1, 476, 3, 2},
        {perChip - 1, 0, 1023, 63, 3},
        {perChip, 1, 0, 0, 0},
        {3 * perChip + 257, 3, 1, 0, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.n);
        BaseAddress a(g, c.n);
        EXPECT_EQ(a.getChipNo(), c.chip);
        EXPECT_EQ(a.getBlockNo(), c.block);
        EXPECT_EQ(a.getPageNo(), c.page);
        EXPECT_EQ(a.getSectorNo(), c.sector);
        EXPECT_EQ(a.getPhyAddress(), c.n);
        EXPECT_EQ(a.getDevice(), nullptr);
    }
    BaseAddress a(g, 384014);
    EXPECT_STREQ(a.logData(), "BaseAddress(1:476:3:2(384014))");
}

TEST(BaseAddress, SetBlockNoSplitsADiskBlock)
{
    Sptr<DiskInfo> g(new DiskInfo(2, 1024, 64, 4));
    BaseAddress a(g, 5);
    a.setBlockNo(1500);
    EXPECT_EQ(a.getChipNo(), 1);
    EXPECT_EQ(a.getBlockNo(), 476);
    EXPECT_EQ(a.getPhyAddress(), (1500 * 64 + 1) * 4 + 1);

    Sptr<BaseAddress> source(new BaseAddress(g, 384014));
    BaseAddress copy(source);
    EXPECT_EQ(copy.getPhyAddress(), 384014);
    EXPECT_EQ(copy.getChipNo(), 1);
}
