#include <gtest/gtest.h>

#include "DeviceViewFixture.h"
#include "usb/cfg/CfgFlash6605.h"
#include "usb/cfg/CfgFlash6706.h"
#include "usb/cfg/CfgFlash6716.h"
#include "usb/cfg/CfgFlash6716V31.h"
#include "usb/cfg/CfgFlash6716V32.h"
#include "usb/cfg/CfgFlash6726.h"

using namespace Tessor::usb;

namespace {

CfgFlash makeFlash(CfgVariant variant) { return CfgFlash(nullptr, "Flash", variant); }

struct Layout {
    int maxPlanes, maxChips, sectPerChipMP, sectPerChip, sectPerInterleave;
    int validPages, validSectors, phyPages, blockExp, pageExp;
};

// Two planes, two chips, 128 pages of 8 sectors, 1024 blocks.
constexpr Layout kMultiPlane{1, 1, 32, 16, 16, 512, 4096, 256, 9, 9};
constexpr Layout kSinglePlane{0, 0, 8, 8, 8, 128, 1024, 128, 10, 7};

void expectLayout(const Layout& l, const FlashCtrl& f, const std::string& where)
{
    SCOPED_TRACE(where);
    EXPECT_EQ(l.maxPlanes, f.MaxPlanes);
    EXPECT_EQ(l.maxChips, f.MaxChips);
    EXPECT_EQ(0, f.MaxInterleaves);
    EXPECT_EQ(l.sectPerChipMP, f.bSectPerChipMP);
    EXPECT_EQ(l.sectPerChip, f.bSectPerChip);
    EXPECT_EQ(l.sectPerInterleave, f.bSectPerInterleave);
    EXPECT_EQ(l.validPages, f.wValidPagesPerBlock);
    EXPECT_EQ(l.validSectors, f.wValidSectorsPerBlock);
    EXPECT_EQ(l.blockExp, f.bBlockPerChipExp);
    EXPECT_EQ(l.pageExp, f.bPagePerBlockExp);
}

TEST(CfgFlash, ScanMatrixPlaneLayoutCyclesAndEcc)
{
    struct Rule {
        CfgVariant variant;
        int multiPriorityA, multiPriorityB;  // priorities that lay the planes out
        int rd, wr;                          // cycle bytes: probed speed or profile speed
    };
    const Rule rules[] = {
        {CfgVariant::V6716, 0, 1, 0x11, 0x13},    {CfgVariant::V6716V31, 0, 1, 0x33, 0x22},
        {CfgVariant::V6716V32, 0, 1, 0x33, 0x22}, {CfgVariant::V6726, 0, 1, 0x33, 0x22},
        {CfgVariant::V6605, 0, 3, 0x11, 0x13},
    };
    for (const Rule& rule : rules) {
        for (int priority = 0; priority < 4; ++priority) {
            for (bool flag : {true, false}) {
                DeviceViewFixture device;
                device.view.scan->setScanPriority(priority);
                CfgFlash item = makeFlash(rule.variant);
                item.update4Scan(device.view, flag);
                const std::string where = "variant " + std::to_string(int(rule.variant)) + " priority " +
                                          std::to_string(priority) + " flag " + std::to_string(flag);
                const bool multi = flag && (priority == rule.multiPriorityA || priority == rule.multiPriorityB);
                expectLayout(multi ? kMultiPlane : kSinglePlane, item.record(), where);
                if (multi) {
                    EXPECT_EQ(256, item.record().wPhyPagesPerBlock) << where;
                }
                EXPECT_EQ(rule.rd, item.record().bRd_CYCLE) << where;
                EXPECT_EQ(rule.wr, item.record().bWr_CYCLE) << where;
                EXPECT_EQ(12, item.record().bEccBits) << where;
                EXPECT_EQ(1, item.record().Ecc12) << where;
                // The profile's command comes with the single-plane scan and the
                // plane layout; 6605 always takes it.
                const bool profileCommand = !flag || multi || rule.variant == CfgVariant::V6605;
                EXPECT_EQ(profileCommand ? 0x81 : 0x10, item.record().bBankProgramCmd) << where;
            }
        }
    }
}

TEST(CfgFlash, SevenBitEccForTheListedFlashIds)
{
    // Id bytes EC D5 14 B6 and the like, maker code highest.
    for (uint32_t id : {0xEC000000u, 0xECD514B6u, 0xECD755B6u, 0xADD514B6u}) {
        for (CfgVariant variant : {CfgVariant::V6716, CfgVariant::V6726, CfgVariant::V6605}) {
            SCOPED_TRACE(::testing::Message() << std::hex << id << " variant " << static_cast<int>(variant));
            DeviceViewFixture device;
            device.chip().ID = static_cast<int32_t>(id);
            CfgFlash item = makeFlash(variant);
            item.update4Scan(device.view, true);
            EXPECT_EQ(7, item.record().bEccBits);
            EXPECT_EQ(0, item.record().Ecc12);
            item.finish(device.view);
            EXPECT_EQ(7, item.record().bEccBits);
            EXPECT_EQ(0, item.record().Ecc12);
        }
    }
}

TEST(CfgFlash, ToshibaMultiPlaneCountsPagesByVariant)
{
    DeviceViewFixture device;
    device.chip().toshibaMp = 2;
    CfgFlash older = makeFlash(CfgVariant::V6716);
    older.update4Scan(device.view, true);
    EXPECT_EQ(128, older.record().wPhyPagesPerBlock);
    CfgFlash later = makeFlash(CfgVariant::V6716V31);
    later.update4Scan(device.view, true);
    EXPECT_EQ(256, later.record().wPhyPagesPerBlock);
}

TEST(CfgFlash, Scan6706NeverLaysOutPlanes)
{
    DeviceViewFixture device;
    device.view.flash->setDualDie(false);
    CfgFlash item = makeFlash(CfgVariant::V6706);
    item.update4Scan(device.view, true);
    expectLayout(kSinglePlane, item.record(), "6706");
    EXPECT_EQ(1, item.record().DualDie);  // whatever the flash says
    EXPECT_EQ(7, item.record().bEccBits);  // profile asks for 12, capped
    EXPECT_EQ(0x11, item.record().bBankProgramCmd);
    item.update4Scan(device.view, false);
    EXPECT_EQ(0, item.record().DualDie);
    EXPECT_EQ(0x81, item.record().bBankProgramCmd);
}

// The record of a 6716 item taken through the scan update and the finish.
FlashCtrl scannedAndFinished(DeviceViewFixture& device)
{
    CfgFlash item = makeFlash(CfgVariant::V6716);
    item.update4Scan(device.view, true);
    item.finish(device.view);
    return item.record();
}

TEST(CfgFlash, FinishSmallPageFlashAndSpeedOverride)
{
    DeviceViewFixture small(1, 1024, 32, 1);
    const FlashCtrl smallPages = scannedAndFinished(small);
    EXPECT_EQ(0, smallPages.DualDie);
    EXPECT_EQ(1, smallPages.bColCyl);
    EXPECT_EQ(0x22, smallPages.bRd_CYCLE);
    EXPECT_EQ(0x22, smallPages.bWr_CYCLE);
    EXPECT_EQ(0x03, smallPages.b3V3OutCfg);

    DeviceViewFixture zeroSpeed;
    zeroSpeed.chip().Speed = 0;
    EXPECT_EQ(0x11, scannedAndFinished(zeroSpeed).bRd_CYCLE);

    DeviceViewFixture speed;
    const FlashCtrl overridden = scannedAndFinished(speed);
    EXPECT_EQ(0x33, overridden.bRd_CYCLE);
    EXPECT_EQ(0x22, overridden.bWr_CYCLE);
    EXPECT_EQ(1, overridden.DualDie);
}

TEST(CfgFlash, FinishLaysOutPlanesOnlyInBlockMode)
{
    DeviceViewFixture device;
    CfgFlash item = makeFlash(CfgVariant::V6726);
    item.finish(device.view);
    expectLayout(kSinglePlane, item.record(), "normal mode");

    device.view.settings->setBlockMode(true);
    item.finish(device.view);
    EXPECT_EQ(1, item.record().MaxPlanes);
    EXPECT_EQ(1, item.record().MaxChips);
    EXPECT_EQ(512, item.record().wValidPagesPerBlock);
    EXPECT_EQ(4096, item.record().wValidSectorsPerBlock);
    EXPECT_EQ(32, item.record().bSectPerChipMP);
    EXPECT_EQ(9, item.record().bPagePerBlockExp);
    EXPECT_EQ(12, item.record().bSectorsPerBlockExp);
}

TEST(CfgFlash, BlockSetsFromTheSetList)
{
    CfgFlash item = makeFlash(CfgVariant::V6706);
    item.record().bStartSectorNo = 9;
    EXPECT_EQ(0, item.updateBlockSet(Sptr<Tessor::schema::BaseData>()));
    EXPECT_EQ(9, item.record().bStartSectorNo);

    EXPECT_EQ(2, item.updateBlockSet(DeviceViewFixture::setList(2)));
    EXPECT_EQ(4, item.record().bBlockSetSectorsPerPage[0]);
    EXPECT_EQ(5, item.record().bBlockSetSectorsPerPage[1]);
    EXPECT_EQ(0, item.record().bBlockSetSectorsPerPage[2]);
    EXPECT_EQ(2, item.record().bBlockSetStartSector[1]);
    EXPECT_EQ(1, item.record().bStartSectorNo);

    EXPECT_EQ(5, item.updateBlockSet(DeviceViewFixture::setList(7)));
    EXPECT_EQ(8, item.record().bBlockSetSectorsPerPage[4]);
}

TEST(CfgFlash, DefaultsFollowTheController)
{
    CfgFlash6706 old(nullptr);
    EXPECT_EQ(128, old.record().wPagesPerBlock);
    EXPECT_EQ(11, old.record().bBlockPerChipExp);
    EXPECT_STREQ("Flash6706Ctrl", old.getName());
    CfgFlash6605 later(nullptr);
    EXPECT_EQ(64, later.record().wPagesPerBlock);
    EXPECT_EQ(8, later.record().bSectorsPerBlockExp);
    EXPECT_EQ(2, later.record().b3V3OutCfg);
}

}  // namespace
