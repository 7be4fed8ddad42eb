#include <gtest/gtest.h>

#include <vector>

#include "DeviceViewFixture.h"
#include "schema/base/UsbConfiguration.h"
#include "usb/cfg/BuildInfo.h"
#include "usb/cfg/CfgCode6605.h"
#include "usb/cfg/CfgCode6706.h"
#include "usb/cfg/CfgCode6716.h"

using namespace Tessor::usb;
using Tessor::schema::BaseAddress;
using Tessor::schema::BaseData;

namespace {

CfgCode makeCode(CfgVariant variant) { return CfgCode(nullptr, "Code", variant); }

FlashCtrl twoPlanesTwoChips()
{
    FlashCtrl flash;
    flash.MaxPlanes = 1;
    flash.MaxChips = 1;
    return flash;
}

TEST(CfgCode, Scan6706FlagGeometryAndCodeLength)
{
    DeviceViewFixture device(2, 1024, 64, 8);
    CfgCode item = makeCode(CfgVariant::V6706);
    item.update4Scan(device.view, FlashCtrl(), true);
    const CodeCtrl& c = item.record();
    EXPECT_EQ(8, c.bFlagLenPerBlk);
    EXPECT_EQ(128, c.bFlagBitmapLen);
    EXPECT_EQ(64, c.bBlksPerFlagSector);
    EXPECT_EQ(2, c.bCeCount);
    EXPECT_EQ(2048, c.wTotalBlocks);
    EXPECT_EQ(1, c.bBlockSetNum);
    EXPECT_EQ(1, c.rand_en);
    EXPECT_EQ(8, c.bSectorsPerCode);
    item.update4Scan(device.view, FlashCtrl(), false);
    EXPECT_EQ(5, item.record().bSectorsPerCode);
    device.view.scan->setScanLevel(3);
    item.update4Scan(device.view, FlashCtrl(), true);
    EXPECT_EQ(5, item.record().bSectorsPerCode);
}

TEST(CfgCode, ScanMatrixChipsAndTotalBlocks)
{
    struct Rule {
        CfgVariant variant;
        int planePriorityA, planePriorityB;
        int pagesPerCodeWithoutPlanes;
    };
    for (const Rule& rule : {Rule{CfgVariant::V6716, 0, 1, 2}, Rule{CfgVariant::V6716V31, 0, 1, 2},
                             Rule{CfgVariant::V6726, 0, 1, 2}, Rule{CfgVariant::V6605, 0, 3, 8}}) {
        for (int priority = 0; priority < 4; ++priority) {
            for (bool flag : {true, false}) {
                DeviceViewFixture device(2, 1024, 64, 8);
                device.view.scan->setScanPriority(priority);
                CfgCode item = makeCode(rule.variant);
                item.update4Scan(device.view, twoPlanesTwoChips(), flag);
                const CodeCtrl& c = item.record();
                const bool planes = flag && (priority == rule.planePriorityA || priority == rule.planePriorityB);
                SCOPED_TRACE(testing::Message() << "variant " << int(rule.variant) << " priority " << priority
                                                << " flag " << flag);
                EXPECT_EQ(planes ? 1 : 2, c.bCeCount);
                EXPECT_EQ(planes ? 512 : 2048, c.wTotalBlocks);
                EXPECT_EQ(8, c.bFlagLenPerBlk);
                EXPECT_EQ(64, c.bBlksPerFlagSector);
                EXPECT_EQ(128, c.bFlagBitmapLen);
                EXPECT_EQ(0, c.bBlockSetNum);
                EXPECT_EQ(0x30, c.bLEDFreqc);
                EXPECT_EQ(5, c.bPramUse);
                EXPECT_EQ(0x44, c.bSofErrNum);
                EXPECT_EQ(flag ? 0 : rule.pagesPerCodeWithoutPlanes, c.bPagesPerCode);
                EXPECT_EQ(rule.variant == CfgVariant::V6605 ? 32 : 8, c.bSectorsPerCode);
            }
        }
    }
}

TEST(CfgCode, ScanLogicalReadsOnlyWithFewChipsAndInterleaves)
{
    DeviceViewFixture device;
    CfgCode item = makeCode(CfgVariant::V6716);
    item.update4Scan(device.view, FlashCtrl(), true);
    EXPECT_EQ(1, item.record().log2phyLogRW);
    FlashCtrl manyChips;
    manyChips.MaxChips = 2;
    item.update4Scan(device.view, manyChips, true);
    EXPECT_EQ(0, item.record().log2phyLogRW);
}

class CodeFinish : public ::testing::Test {
protected:
    static void SetUpTestSuite() { Tessor::schema::UsbConfiguration::instance(""); }

    CodeFinish()
    {
        allocation.addresses = Sptr<AllocatAddress>(new AllocatAddress());
        allocation.addresses->setCfgTableAddress(device.address(1, 5, 3));
        // Two blocks on at page 10: 266 pages from the table, past what a byte holds.
        allocation.addresses->setFlagTableAddress(device.address(1, 7, 10));
        allocation.addresses->setExternalCodeIndexAddress(device.address(1, 5, 4));
        allocation.addresses->setExternalCodeAddress(pages({{5, 20}, {5, 21}, {5, 22}}));
        allocation.pagesPerCode = 4;
        allocation.pagesForExternalCode = 3;
        allocation.pagesInBlockSet0 = 120;
        allocation.pageBitmapAddress = pages({{10, 0}, {10, 1}, {11, 0}, {10, 2}});
        allocation.pageBitmapPagesPerBlock = 128;
        allocation.pageBitmapBlocks = 2;
        device.chip().BusWord = 3;
    }

    Sptr<BaseAddress> pages(const std::vector<std::pair<int, int>>& blockPages)
    {
        Sptr<BaseAddress> parent = device.address(0, 0, 0);
        for (const auto& [block, page] : blockPages) {
            parent->addData(Sptr<BaseData>(device.address(0, block, page)));
        }
        return parent;
    }

    DeviceViewFixture device;
    CodeAllocation allocation;
};

TEST_F(CodeFinish, AddressesPagesAndFlagTable)
{
    CfgCode item = makeCode(CfgVariant::V6716V31);
    device.view.settings->setLedStatus(0);
    device.view.settings->setLedFreq(2);
    ASSERT_EQ(0, item.finish(device.view, allocation, FlashCtrl(), nullptr));
    const CodeCtrl& c = item.record();
    EXPECT_EQ(0x20, c.bLEDOnOff);
    EXPECT_EQ(0x51, c.bLEDFreqc);
    EXPECT_EQ(1, c.bCfgTblCe);
    EXPECT_EQ(5, c.wCfgTblBlkAddr);
    EXPECT_EQ(3, c.bCfgTblPage);
    EXPECT_EQ(4, c.bExtCodeIndexPage);
    EXPECT_EQ(10, c.bFlagTblPage);
    EXPECT_EQ(4, c.bPagesPerCode);
    EXPECT_EQ((std::vector<uint16_t>{20, 21, 22, 0xFFFF, 0xFFFF}),
              std::vector<uint16_t>(c.wExtCodePage, c.wExtCodePage + 5));
    EXPECT_EQ(0, c.PhotoEn);
    EXPECT_EQ(119, c.bPageTblValidPage);
    EXPECT_EQ((std::vector<uint16_t>{10, 11, 10, 0xFFFF}),
              std::vector<uint16_t>(c.wPageTblBlkAddr, c.wPageTblBlkAddr + 4));
    EXPECT_EQ(16, c.bFlagLenPerBlk);
    EXPECT_EQ(16, c.bFlagBitmapLen);
    EXPECT_EQ(32, c.bBlksPerFlagSector);
    EXPECT_EQ(32, c.wLenOf16BlkPagFlg);
    EXPECT_EQ(2, c.bCeCount);
    EXPECT_EQ(2048, c.wTotalBlocks);
    EXPECT_EQ(0, c.blockModeFlags);
    EXPECT_EQ(2 * 3 + 1, c.bFlashMode);
    EXPECT_EQ(8, c.bSectorsPerCode);
}

TEST_F(CodeFinish, LedFrequencyOutsideTheTableKeepsTheOldValue)
{
    CfgCode item = makeCode(CfgVariant::V6716);
    item.record().bLEDFreqc = 0x77;
    device.view.settings->setLedStatus(1);
    device.view.settings->setLedFreq(6);
    item.finish(device.view, allocation, FlashCtrl(), nullptr);
    EXPECT_EQ(0x77, item.record().bLEDFreqc);
    EXPECT_EQ(0, item.record().bLEDOnOff);
}

TEST_F(CodeFinish, BlockModeDividesTheBlocksByThePlaneFactor)
{
    CfgCode item = makeCode(CfgVariant::V6605);
    item.record().blockModeFlags = 2;
    device.view.settings->setBlockMode(true);
    device.chip().ID = static_cast<int32_t>(DeviceViewFixture::kSamsungSevenBitId);
    item.finish(device.view, allocation, twoPlanesTwoChips(), nullptr);
    EXPECT_EQ(512, item.record().wTotalBlocks);
    EXPECT_EQ(1, item.record().blockModeFlags);
    EXPECT_EQ(32, item.record().bSectorsPerCode);
    EXPECT_EQ(2 * 3, item.record().bFlashMode);  // no 12-bit correction on this part
}

TEST_F(CodeFinish, PhotoFrameCodeFollowsTheExternalCode)
{
    allocation.dpfSupport = true;
    allocation.pagesForDpfCode = 2;
    allocation.dpfCodeAddress = pages({{6, 30}, {6, 31}});
    allocation.photoCfgTableAddress = device.address(0, 8, 1);
    CfgCode item = makeCode(CfgVariant::V6726);
    item.finish(device.view, allocation, FlashCtrl(), nullptr);
    const CodeCtrl& c = item.record();
    // Counted from page 0 of the table's block 5, as the flag-table page is.
    EXPECT_EQ((std::vector<uint16_t>{20, 21, 22, 128 + 30, 128 + 31, 0xFFFF}),
              std::vector<uint16_t>(c.wExtCodePage, c.wExtCodePage + 6));
    EXPECT_EQ(1, c.PhotoEn);
    EXPECT_EQ(static_cast<uint32_t>((8 * 128 + 1) * 8), c.PhotoCfgTableAddress);
}

TEST_F(CodeFinish, PageBitmapOnMoreThanSixteenBlocksFillsOnlyTheTable)
{
    std::vector<std::pair<int, int>> spread;
    for (int block = 40; block < 58; ++block) {
        spread.push_back({block, 0});
    }
    allocation.pageBitmapAddress = pages(spread);
    CfgCode item = makeCode(CfgVariant::V6716);
    item.finish(device.view, allocation, FlashCtrl(), nullptr);
    const CodeCtrl& c = item.record();
    EXPECT_EQ(40, c.wPageTblBlkAddr[0]);
    EXPECT_EQ(55, c.wPageTblBlkAddr[15]);
    EXPECT_EQ(16, c.bFlagLenPerBlk);  // the fields behind the table are intact
}

TEST_F(CodeFinish, RunsTheBuildRecordAndCopiesTheBlockSets)
{
    device.view.setList = DeviceViewFixture::setList(7);
    BuildInfo build(nullptr);
    CfgCode item = makeCode(CfgVariant::V6716);
    item.finish(device.view, allocation, FlashCtrl(), &build);
    EXPECT_EQ(1000000u, build.getRealCapacity());
    EXPECT_EQ(2u * 1024 * 128 * 8, build.getTotalCapacity());
    const CodeCtrl& c = item.record();
    EXPECT_EQ(5, c.bBlockSetNum);
    EXPECT_EQ(14, c.wSetBlocks[4]);
    EXPECT_EQ(124, c.wSetPages[4]);
    EXPECT_EQ(8, c.bSetSectorsPerPage[4]);
    EXPECT_EQ(5, c.bSetStartSector[4]);

    item.record().bBlockSetNum = 3;
    EXPECT_EQ(0, item.updateBlockSet(DeviceViewFixture::setList(0)));
    EXPECT_EQ(3, item.record().bBlockSetNum);
    EXPECT_EQ(0, item.record().wSetBlocks[0]);
}

TEST(CfgCode, DefaultsAndNames)
{
    CfgCode6706 old(nullptr);
    EXPECT_EQ(5, old.getSectorNumber4ExternalCode());
    EXPECT_EQ(0x30, old.record().bLEDFreqc);
    EXPECT_EQ(1, old.record().bCeCount);
    EXPECT_STREQ("Code6706Ctrl", old.getName());
    CfgCode6605 small(nullptr);
    EXPECT_EQ(32, small.getSectorNumber4ExternalCode());
    CfgCode6716 mid(nullptr);
    EXPECT_EQ(8, mid.getSectorNumber4ExternalCode());
}

}  // namespace
