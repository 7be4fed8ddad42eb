// The sector-bitmap image written to a simulated device and read back from
// the device's flash by the test's own reader of the image layout.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <numeric>
#include <set>
#include <vector>

#include "schema/base/VException.h"
#include "schema/device/BaseAddress.h"
#include "schema/device/ConfigInfo.h"
#include "schema/device/ScanConfig.h"
#include "schema/device/SimulatedDevice.h"
#include "usb/cmd/BitRange.h"
#include "usb/cmd/BlockBitmap.h"
#include "usb/cmd/SectorBitmap.h"
#include "usb/cmd/SectorBitmapImage.h"
#include "support/StoredBitmapImage.h"

namespace Tessor::usb::test {
namespace {

using taval::OpKind;
using taval::OpRecord;

constexpr int kBlocks = 256;
constexpr int kPages = 64;
constexpr int kSectors = 4;
constexpr int kPerBlock = kPages * kSectors;


class SectorBitmapImageTest : public SimulatedDevice {
protected:
    static_assert(kSectors == SECTORS);

    void SetUp() override
    {
        SimulatedDevice::SetUp();
        plugImageDevice("");
    }

    void plugImageDevice(const std::string& faults, int chipCount = 1, int blocks = kBlocks)
    {
        ASSERT_EQ(hub->unplug(0), 0);
        hub->waitEventsDelivered();
        plugged() = nullptr;
        const std::filesystem::path own = folder / ("image" + std::to_string(++plugs));
        test_support::DeviceKeys keys = test_support::faultRule(faults);
        keys.merge(test_support::DeviceKeys{{"Device.Chips", std::to_string(chipCount)},
                                            {"Device.BlocksPerChip", std::to_string(blocks)},
                                            {"Device.PagesPerBlock", std::to_string(kPages)}});
        describe(own, keys);
        std::string error;
        ASSERT_EQ(hub->plug(0, own.string(), &error), 0) << error;
        hub->waitEventsDelivered();
        device->setDev(plugged().load());
        giveGeometry(chipCount, blocks, kPages, kSectors);
        Sptr<schema::ConfigInfo> settings(new schema::ConfigInfo());
        scan = Sptr<schema::ScanConfig>(new schema::ScanConfig(device, "ScanConfig"));
        scan->setScanLevel(1);
        settings->setScanConfig(scan);
        EXPECT_EQ(device->setConfigInfo(settings), 0);
        bitmap = Sptr<SectorBitmap>(new SectorBitmap(device, "MyDevice0Bitmap"));
    }

    // Sectors read straight from the simulated flash.
    std::vector<uint8_t> flash(int64_t sector, int count)
    {
        std::vector<uint8_t> out(size_t(count) * 512 + 64 * count);
        int length = 0;
        EXPECT_TRUE(hub->device(0)->readFlash(0, sector, count, out.data(), int(out.size()), &length));
        out.resize(size_t(count) * 512);
        return out;
    }

    // The bitmap an outside reader finds on the flash: header, L2, bitmap sectors.
    std::vector<uint8_t> readImage(int64_t headerSector)
    {
        const test_support::StoredBitmapImage image =
            test_support::readStoredBitmapImage([this](int64_t sector) { return flash(sector, 1); }, headerSector);
        EXPECT_EQ(image.magic[0], 0x7AA77AA7u);
        EXPECT_EQ(image.magic[1], 0x7AA77AA7u);
        EXPECT_EQ(image.sectorCount, 1 + image.l2Count + (kBlocks * kPerBlock / 8 + 511) / 512);
        EXPECT_TRUE(image.unusedEntriesFree);
        return image.bitmap;
    }

    int imageBlock() { return Sptr<schema::BaseAddress>(bitmap->getAddress()->getData(0))->getPhyAddress() / kPerBlock; }

    // What a level-3 save must erase: every block below the image's but the one right under it.
    static std::vector<int> blocksBelow(int block)
    {
        std::vector<int> blocks(size_t(std::max(block - 1, 0)));
        std::iota(blocks.begin(), blocks.end(), 0);
        return blocks;
    }

    // The blocks erased since operation `from`, device-wide in order; a
    // level-3 save programs nothing and erases at most 32 blocks of one
    // chip at a time.
    std::vector<int> erasedAtLevelThree(size_t from, int perChip = kBlocks)
    {
        const std::vector<OpRecord> ops = opLog();
        std::vector<int> erased;
        for (size_t i = from; i < ops.size(); ++i) {
            EXPECT_NE(ops[i].kind, OpKind::Program);
            if (ops[i].kind == OpKind::Erase) {
                const int first = int(ops[i].args[1] / kPerBlock);
                EXPECT_LE(ops[i].args[2], 32);
                EXPECT_LE(first + ops[i].args[2], perChip) << "chip " << ops[i].args[0] << " block " << first;
                for (int k = 0; k < ops[i].args[2]; ++k) {
                    erased.push_back(int(ops[i].args[0]) * perChip + first + k);
                }
            }
        }
        return erased;
    }

    Sptr<schema::ScanConfig> scan;
    Sptr<SectorBitmap> bitmap;
    int plugs = 0;
};

TEST_F(SectorBitmapImageTest, ImageOnTheFlashHoldsTheBitmapOfItsMoment)
{
    // Bad: block 7, a sector of block 250 and the first sectors of the last page of block 255.
    bitmap->setAsBad(7);
    for (int64_t s : {int64_t(250) * kPerBlock + 9, int64_t(255) * kPerBlock + 252}) {
        BitRange::set(bitmap->getBitmap(), s);
    }
    ASSERT_EQ(bitmap->getBlockBitmap()->update(device), 0);
    const std::vector<uint8_t> before(bitmap->getBitmap(), bitmap->getBitmap() + bitmap->getLength());

    ASSERT_EQ(bitmap->writeFlash(device), 0);
    const Sptr<schema::BaseAddress> image = bitmap->getAddress();
    ASSERT_TRUE(image);
    Sptr<schema::BaseAddress> header(image->getData(0));
    const std::vector<uint8_t> stored = readImage(header->getPhyAddress());
    ASSERT_GE(stored.size(), before.size());
    EXPECT_EQ(std::vector<uint8_t>(stored.begin(), stored.begin() + long(before.size())), before);

    // In memory the image's blocks and the block bitmap's block are bad now.
    std::set<int> imageBlocks;
    for (Sptr<schema::BaseData> c = image->getNextData({}); c; c = image->getNextData(c)) {
        imageBlocks.insert(Sptr<schema::BaseAddress>(c)->getPhyAddress() / kPerBlock);
    }
    EXPECT_FALSE(imageBlocks.empty());
    for (int block : imageBlocks) {
        EXPECT_TRUE(bitmap->getBlockBitmap()->isBad(block)) << block;
        EXPECT_TRUE(BitRange::test(bitmap->getBitmap(), int64_t(block) * kPerBlock)) << block;
    }
    EXPECT_TRUE(bitmap->getBlockBitmap()->isBad(0));

    // One write a page at most: no run crosses a page.
    for (const OpRecord& op : opLog()) {
        if (op.kind == OpKind::Program) {
            EXPECT_EQ(op.args[1] / kSectors, (op.args[1] + op.args[2] - 1) / kSectors);
        }
    }
}

// Rebuilt from its header: the bitmap the image stored; an L2 sector that
// cannot be read leaves its bitmap sectors all bad; counts of another flash
// are refused.
TEST_F(SectorBitmapImageTest, BitmapIsRebuiltFromItsImageHeader)
{
    bitmap->setAsBad(7);
    BitRange::set(bitmap->getBitmap(), int64_t(250) * kPerBlock + 9);
    const std::vector<uint8_t> before(bitmap->getBitmap(), bitmap->getBitmap() + bitmap->getLength());
    ASSERT_EQ(bitmap->writeFlash(device), 0);
    std::vector<uint8_t> header = flash(Sptr<schema::BaseAddress>(bitmap->getAddress()->getData(0))->getPhyAddress(), 1);

    const auto headerOf = [](const std::vector<uint8_t>& sector) {
        return *reinterpret_cast<const SectorBitmapImageHeader*>(sector.data());
    };
    SectorBitmap rebuilt(device, headerOf(header));
    EXPECT_EQ(std::vector<uint8_t>(rebuilt.getBitmap(), rebuilt.getBitmap() + rebuilt.getLength()), before);
    EXPECT_TRUE(rebuilt.getBlockBitmap()->isBad(7));
    EXPECT_TRUE(rebuilt.getBlockBitmap()->isBad(250));
    EXPECT_FALSE(rebuilt.getBlockBitmap()->isBad(8));

    std::vector<uint8_t> lost = header;
    std::memset(lost.data() + 16, 0xEE, 4);  // L2 sector past the flash
    SectorBitmap unread(device, headerOf(lost));
    EXPECT_EQ(std::vector<uint8_t>(unread.getBitmap(), unread.getBitmap() + unread.getLength()),
              std::vector<uint8_t>(before.size(), 0xFF));

    for (int field : {8, 12}) {
        std::vector<uint8_t> other = header;
        ++other[size_t(field)];
        EXPECT_THROW(SectorBitmap(device, headerOf(other)), BitmapException) << field;
    }
}

TEST_F(SectorBitmapImageTest, LevelThreeErasesOnlyBelowTheImage)
{
    scan->setScanLevel(3);
    const size_t before = opLog().size();
    ASSERT_EQ(bitmap->writeFlash(device), 0);
    EXPECT_EQ(erasedAtLevelThree(before), blocksBelow(imageBlock()));
}

// Two chips of 1000 blocks: the image lies on the second, and no erase
// batch runs past the end of the first.
TEST_F(SectorBitmapImageTest, LevelThreeErasesInBatchesWithinEachChip)
{
    constexpr int blocks = 1000;
    plugImageDevice("", 2, blocks);
    scan->setScanLevel(3);
    const size_t before = opLog().size();
    ASSERT_EQ(bitmap->writeFlash(device), 0);
    ASSERT_GT(imageBlock(), blocks);
    EXPECT_EQ(erasedAtLevelThree(before, blocks), blocksBelow(imageBlock()));
    // The image's blocks are taken on the second chip, not their namesakes on the first.
    EXPECT_TRUE(bitmap->getBlockBitmap()->isBad(imageBlock()));
    EXPECT_TRUE(BitRange::test(bitmap->getBitmap(), int64_t(imageBlock()) * kPerBlock));
    EXPECT_FALSE(bitmap->getBlockBitmap()->isBad(imageBlock() - blocks));
}

// At level 3 the image stays where the earlier save put it, even when the
// bitmap would place it elsewhere now.
TEST_F(SectorBitmapImageTest, LevelThreeKeepsTheImageWhereItWasSaved)
{
    ASSERT_EQ(bitmap->writeFlash(device), 0);
    const int saved = imageBlock();
    for (int b = saved; b < kBlocks; ++b) {
        bitmap->setAsBad(b);
    }
    scan->setScanLevel(3);
    const size_t before = opLog().size();
    ASSERT_EQ(bitmap->writeFlash(device), 0);
    EXPECT_EQ(erasedAtLevelThree(before), blocksBelow(saved));
    EXPECT_EQ(imageBlock(), saved);
}

TEST_F(SectorBitmapImageTest, FlashWithoutRoomOrFailingWritesIsReported)
{
    bitmap->setAsBad();
    EXPECT_EQ(bitmap->writeFlash(device), -2);
    plugImageDevice("FailProgram=always");
    EXPECT_EQ(bitmap->writeFlash(device), -1);
}

// The 6706 layout: bitmap sectors, the L2 sector and the header last, on the
// good sectors of 16-sector units from the start block; bad sectors are not
// written, and every block up to the last one used is marked bad afterwards.
TEST_F(SectorBitmapImageTest, The6706LayoutPutsItsPartsInReverseOrderOnGoodSectors)
{
    constexpr int start = 200;
    const int64_t first = int64_t(start) * kPerBlock;
    BitRange::fill(bitmap->getBitmap(), first, 16, true);
    BitRange::set(bitmap->getBitmap(), first + 16);
    BitRange::set(bitmap->getBitmap(), first + 20);
    const std::vector<uint8_t> before(bitmap->getBitmap(), bitmap->getBitmap() + bitmap->getLength());
    const size_t opsBefore = opLog().size();
    ASSERT_EQ(bitmap->Write6706SectBitmapInfoToFlash(device, start), 0);

    constexpr size_t kBitmapSectors = kBlocks * kPerBlock / 8 / 512;
    std::vector<int64_t> places;
    for (int64_t s = first + 17; places.size() < kBitmapSectors + 2; ++s) {
        if (s != first + 20) {
            places.push_back(s);
        }
    }
    const std::vector<uint8_t> header = flash(places.back(), 1);
    EXPECT_EQ(std::vector<uint8_t>(header.begin(), header.begin() + 8),
              (std::vector<uint8_t>{0x7A, 0xA7, 0x7A, 0xA7, 0x7A, 0x7A, 0x7A, 0x7A}));
    EXPECT_EQ(test_support::le32(header.data() + 8), 0xFFFFFFFFu);
    EXPECT_EQ(test_support::le32(header.data() + 12), 0xFFFFFFFFu);
    EXPECT_EQ(test_support::le32(header.data() + 16), uint32_t(places[kBitmapSectors]));
    EXPECT_EQ(test_support::le32(header.data() + 20), 0xFFFFFFFFu);
    const std::vector<uint8_t> l2 = flash(places[kBitmapSectors], 1);
    std::vector<uint8_t> stored;
    for (size_t j = 0; j < kBitmapSectors; ++j) {
        EXPECT_EQ(test_support::le32(l2.data() + 4 * j), uint32_t(places[j])) << j;
        const std::vector<uint8_t> part = flash(places[j], 1);
        stored.insert(stored.end(), part.begin(), part.end());
    }
    EXPECT_EQ(test_support::le32(l2.data() + 4 * kBitmapSectors), 0xFFFFFFFFu);
    EXPECT_EQ(stored, before);

    const std::vector<OpRecord> ops = opLog();
    for (size_t i = opsBefore; i < ops.size(); ++i) {
        if (ops[i].kind == OpKind::Program) {
            for (int64_t bad : {first + 15, first + 16, first + 20}) {
                EXPECT_FALSE(ops[i].args[1] <= bad && bad < ops[i].args[1] + ops[i].args[2]) << bad;
            }
        }
    }
    for (int b = 0; b <= start; ++b) {
        EXPECT_TRUE(BitRange::test(bitmap->getBitmap(), int64_t(b) * kPerBlock + kPerBlock - 1)) << b;
    }
    EXPECT_FALSE(BitRange::test(bitmap->getBitmap(), int64_t(start + 1) * kPerBlock));
}

}  // namespace
}  // namespace Tessor::usb::test
