#include <gtest/gtest.h>

#include <vector>

#include "DeviceFixture.h"
#include "FakeOperations.h"
#include "schema/device/BaseAddress.h"
#include "schema/device/VendorCommandBlock.h"

using namespace Tessor::schema;

namespace {

class DeviceCommandTest : public DeviceFixture {
protected:
    void bind() { device->setDev(fakeDevice.record.get()); }
    std::vector<fake::Call>& calls() { return fake::recorder().calls; }

    fake::Device fakeDevice;
};

}  // namespace

TEST_F(DeviceCommandTest, EveryCommandFailsWithItsOwnValueWithoutARecord)
{
    Sptr<BaseAddress> address(new BaseAddress(device, 0, 0, 0));
    unsigned char data[1024] = {};
    const int ints[] = {
        device->writeLogicalSectors(0, 1, data),
        device->eraseBlocks(0, 1),
        device->eraseOneBlock(address),
        device->writeFlashSectors(0, 0, 1, data),
        device->writeFlashSectors(address, 1, data),
        device->writeL1IndexTable(address, 0, data),
        device->writeConfigTable2Ram(data),
        device->downloadExternalCode(0, data, 512),
        device->partitionProtect(1, 0),
        device->switchPartition(1),
        device->resetDevice(0),
        device->ejectDisk(),
        device->volumeControl(VOLUME_LOCK),
        device->writeSectorsNoEcc(0, 0, 1, data, 0),
        device->writeScanSectors(0, 0, 0, 1, 0, 0, 1, data),
        device->writeScanSectors(address, 0, 1, 0, 0, 1, data),
    };
    const int expected[] = {-29, -0x802A, -0x802A, -1, -1, -1, -1, -1, -0x8030, -0x8030, -1, -0x8027, -0x802F,
                            -1,  -1,      -1};
    for (size_t i = 0; i < sizeof(ints) / sizeof(ints[0]); ++i) {
        EXPECT_EQ(ints[i], expected[i]) << "command " << i;
    }
    EXPECT_EQ(device->readLogicalSectors(0, 1), nullptr);
    EXPECT_EQ(device->readFlashSectors(0, 0, 1), nullptr);
    EXPECT_EQ(device->readFlashSectors(address, 1), nullptr);
    EXPECT_EQ(device->readFlashId(0, FLASH_TYPE_INTERLEAVED), nullptr);
    EXPECT_EQ(device->readVersionInfo(), nullptr);
    EXPECT_EQ(device->readSectorsNoEcc(address, 1), nullptr);
    EXPECT_EQ(device->readScanSectors(0, 0, data, 2, 4, 1, 1), nullptr);
    EXPECT_EQ(device->readScanSectors(address, data, 2, 4, 1, 1), nullptr);
    EXPECT_FALSE(device->readScanSectors(0, 0, data, 2, 4, 1, 1, data));
    EXPECT_EQ(device->readScanSectors(address, data, 2, 4, 1, 1, data), nullptr);
    EXPECT_TRUE(calls().empty());
}

TEST_F(DeviceCommandTest, EraseChipGoesInAscendingGroupsOf32)
{
    giveGeometry(1, 1000, 64, 4);
    bind();
    ASSERT_EQ(device->eraseChip(), 0);
    ASSERT_EQ(calls().size(), 32u);
    for (int i = 0; i < 32; ++i) {
        EXPECT_EQ(calls()[i].slot, DEV_OP_ERASE_BLOCKS);
        EXPECT_EQ(calls()[i].args[0], 0);
        EXPECT_EQ(calls()[i].args[1], i * 32 * 256);
        EXPECT_EQ(calls()[i].args[2], i < 31 ? 32 : 8);
    }
}

TEST_F(DeviceCommandTest, EraseChipStopsAtTheFirstFailure)
{
    giveGeometry(1, 1000, 64, 4);
    bind();
    fake::recorder().failAt = 2;
    EXPECT_EQ(device->eraseChip(), -0x802A);
    EXPECT_EQ(calls().size(), 3u);
}

TEST_F(DeviceCommandTest, EraseChipCoversEveryChipWithoutCrossingOne)
{
    giveGeometry(2, 40, 4, 2);
    bind();
    ASSERT_EQ(device->eraseChip(), 0);
    const std::array<long long, 3> expected[] = {{0, 0, 32}, {0, 32 * 8, 8}, {1, 0, 32}, {1, 32 * 8, 8}};
    ASSERT_EQ(calls().size(), 4u);
    for (size_t i = 0; i < 4; ++i) {
        EXPECT_EQ(calls()[i].args, expected[i]) << "group " << i;
    }
}

TEST_F(DeviceCommandTest, EraseAddressesAChipAndASectorInIt)
{
    giveGeometry(2, 1024, 128, 4);
    bind();
    ASSERT_EQ(device->eraseBlocks(1030, 3), 0);
    EXPECT_EQ(calls()[0].args, (std::array<long long, 3>{1, 3072, 3}));

    Sptr<BaseAddress> address(new BaseAddress(device, 1500, 3, 2));
    ASSERT_EQ(device->eraseOneBlock(address), 0);
    EXPECT_EQ(calls()[1].args, (std::array<long long, 3>{1, 476 * 512, 1}));
}

TEST_F(DeviceCommandTest, FlashSectorsGoDeviceWideInEveryForm)
{
    giveGeometry(4, 1024, 64, 4);
    bind();
    const int perChip = 1024 * 64 * 4;
    unsigned char data[512] = {};
    Sptr<BaseAddress> address(new BaseAddress(device, 1500, 3, 2));
    ASSERT_NE(device->readFlashSectors(2, 100, 7), nullptr);
    ASSERT_NE(device->readFlashSectors(address, 300), nullptr);
    ASSERT_EQ(device->writeFlashSectors(3, 3 * perChip + 5, 1, data), 0);
    ASSERT_EQ(device->writeFlashSectors(address, 2, data), 0);
    ASSERT_EQ(device->writeSectorsNoEcc(1, 8, 1, data, 0), 0);
    const std::array<long long, 3> expected[] = {
        {2, 2 * perChip + 100, 7},
        {1, 384014, 300},
        {3, 3 * perChip + 5, 1},
        {1, 384014, 2},
        {1, perChip + 8, 1},
    };
    ASSERT_EQ(calls().size(), 5u);
    for (size_t i = 0; i < 5; ++i) {
        EXPECT_EQ(calls()[i].args, expected[i]) << "call " << i;
    }
}

TEST_F(DeviceCommandTest, VolumeOperationsReachTheirSlots)
{
    bind();
    EXPECT_EQ(device->volumeControl(VOLUME_LOCK), 0);
    EXPECT_EQ(device->volumeControl(VOLUME_UNLOCK), 0);
    EXPECT_EQ(device->volumeControl(VOLUME_LOCK_AGAIN), 0);
    EXPECT_EQ(device->volumeControl(VOLUME_RUN_START), 0);
    EXPECT_EQ(device->volumeControl(VOLUME_AFTER_FLASH_ID), 0);
    EXPECT_EQ(device->volumeControl(static_cast<_VOLUME_OP_T>(5)), -0x802F);
    std::vector<int> slots;
    for (const fake::Call& c : calls()) {
        slots.push_back(c.slot);
    }
    EXPECT_EQ(slots, (std::vector<int>{16, 15, 17, 22, 22}));
    EXPECT_EQ(calls()[3].args[0], 3);
    EXPECT_EQ(calls()[4].args[0], 4);
}

TEST_F(DeviceCommandTest, FailedSlotsGiveTheCommandsFailureValues)
{
    bind();
    fake::recorder().failAt = 0;
    EXPECT_EQ(device->ejectDisk(), -0x8027);
    fake::recorder().failAt = 1;
    EXPECT_EQ(device->switchPartition(2), -0x8030);
    EXPECT_EQ(calls()[1].args, (std::array<long long, 3>{0, 2, 0}));
    fake::recorder().failAt = 2;
    EXPECT_EQ(device->readLogicalSectors(0, 1), nullptr);
    fake::recorder().failAt = 3;
    EXPECT_EQ(device->writeConfigTable2Ram(fakeDevice.record->dataBuffer), -1);
    EXPECT_EQ(calls()[3].args[0], 0);
}

TEST_F(DeviceCommandTest, ReadVersionSetsTheDeviceVersion)
{
    bind();
    ASSERT_EQ(device->readVersionInfo(), fakeDevice.record->dataBuffer);
    ASSERT_TRUE(device->getVersion());
    EXPECT_EQ(device->getVersion()->getVersionNumber(), 300);

    fakeDevice.ops.readVersionInfo = nullptr;
    Sptr<VersionInfo> before = device->getVersion();
    EXPECT_EQ(device->readVersionInfo(), nullptr);
    EXPECT_TRUE(device->getVersion() == before);
}

TEST(VendorCommandBlock, BytesInTheirPlaces)
{
    const unsigned char pattern[4] = {3, 0x55, 0xAA, 1};
    VendorCommandBlock block(2, 0x12345, pattern, 1, 0x0102, 0x0304, 7);
    const unsigned char expected[16] = {0xD4, 0x00, 0x01, 0x23, 0x45, 7, 2, 3, 0x55, 0xAA, 1, 1, 0x01, 0x02, 0x03, 0x04};
    EXPECT_EQ(std::vector<unsigned char>(block.bytes(), block.bytes() + 16),
              std::vector<unsigned char>(expected, expected + 16));
}

TEST_F(DeviceCommandTest, DeviceAddressSplitsByTheDevicesGeometryAndRoundTrips)
{
    // Without a usable geometry the block cannot be split: chip 0, block 0.
    for (int blocksPerChip : {-1, 0}) {
        SCOPED_TRACE(blocksPerChip);
        if (blocksPerChip == 0) {
            giveGeometry(2, 0, 64, 4);
        }
        BaseAddress bare(device, 1500, 3, 2);
        EXPECT_EQ(bare.getChipNo(), 0);
        EXPECT_EQ(bare.getBlockNo(), 0);
        EXPECT_EQ(bare.getPageNo(), 3);
        EXPECT_EQ(bare.getSectorNo(), 2);
    }

    giveGeometry(4, 1024, 64, 4);
    BaseAddress a(device, 1500, 3, 2);
    EXPECT_STREQ(a.logData(), "BaseAddress(1:476:3:2(384014))");
    const int perChip = 1024 * 64 * 4;
    for (int diskBlock : {0, 1023, 1024, 2047, 3071, 4095}) {
        SCOPED_TRACE(diskBlock);
        BaseAddress byBlock(device, diskBlock, 63, 3);
        BaseAddress linear(device->getDiskInfo(), byBlock.getPhyAddress());
        EXPECT_EQ(linear.getChipNo(), diskBlock / 1024);
        EXPECT_EQ(linear.getBlockNo(), diskBlock % 1024);
        EXPECT_EQ(linear.getPageNo(), 63);
        EXPECT_EQ(linear.getSectorNo(), 3);
        EXPECT_EQ(linear.getPhyAddress() / perChip, diskBlock / 1024);
    }
}
