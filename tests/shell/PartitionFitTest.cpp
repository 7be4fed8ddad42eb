// The partitions of a start fitted to the device's capacity.
#include <gtest/gtest.h>

#include "schema/ui/EngineHarness.h"
#include "shell/PartitionFit.h"
#include "usb/profile/FlashInfo.h"

namespace {

using namespace Tessor;
using schema::ConfigInfo;
using schema::PartInfo;

struct Part {
    int type;
    int sectors;
};

std::vector<int> fitted(const std::vector<Part>& parts, int capacity, int policy, bool* accepted)
{
    ConfigInfo settings;
    settings.setCapacityPolicy(policy);
    for (const Part& p : parts) {
        Sptr<PartInfo> part(new PartInfo(p.sectors));
        part->setDiskType(p.type);
        settings.addPartInfo(part);
    }
    *accepted = shell::fitPartitions(settings, capacity);
    std::vector<int> sizes;
    for (int i = 0; i < settings.getPartCount(); ++i) {
        sizes.push_back(static_cast<int>(settings.getPartInfo(i)->getCapacity()));
    }
    return sizes;
}

TEST(PartitionFit, SharesTheCapacityAroundCdromPartitions)
{
    const struct {
        std::vector<Part> parts;
        int policy;
        bool accepted;
        std::vector<int> sizes;
    } cases[] = {
        {{{2, 100000}, {0, 1}}, 0, true, {100000, 900000}},
        {{{0, 1}, {1, 1}}, 0, true, {500000, 500000}},
        {{{2, 1000000}, {0, 7}}, 0, false, {1000000, 7}},
        {{{0, 7}, {2, 2000000}}, 0, false, {7, 2000000}},
        {{{0, 5}, {2, 300000}}, 0, true, {500000, 300000}},  // not first: the others keep their full share
        {{{0, 123}, {0, 456}}, 1, true, {123, 456}},
        {{}, 0, true, {1000000}},
    };
    for (const auto& c : cases) {
        bool accepted = false;
        EXPECT_EQ(fitted(c.parts, 1000000, c.policy, &accepted), c.sizes);
        EXPECT_EQ(accepted, c.accepted);
    }
}

TEST(PartitionFit, TripleLevelCellPartsCountTheirRealGeometry)
{
    engine_test::EngineEnvironment::instance();
    schema::UsbDevice device(nullptr, 0, "UsbDev0");
    EXPECT_EQ(shell::deviceSectors(device), std::nullopt);
    Sptr<usb::FlashInfo> flash(new usb::FlashInfo());
    flash->setChipsPerDisk(2);
    usb::_FLASH_CHIP_INFO* chip = flash->getChipInfo();
    chip->BlockPerChip = 4096;
    chip->PagePerBlock = 256;
    chip->SectorPerPage = 16;
    chip->RealBlockPerChip = 4000;
    chip->RealPagePerBlock = 192;
    device.setFlashInfo(flash);
    EXPECT_EQ(shell::deviceSectors(device), 2 * 4096 * 256 * 16);
    chip->TLC = 1;
    EXPECT_EQ(shell::deviceSectors(device), 16 * 192 * 4000 * 2);
}

}  // namespace
