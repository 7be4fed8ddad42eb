#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <vector>

#include "support/LogCapture.h"
#include "schema/base/UsbConfiguration.h"
#include "schema/device/BaseAddress.h"
#include "schema/device/SimulatedDevice.h"
#include "platform/taval/Taval.h"
#include "usb/cmd/BitRange.h"
#include "usb/cmd/BlockBitmap.h"
#include "usb/cmd/SectorBitmap.h"
#include "usb/cmd/BlockSet.h"
#include "usb/cmd/FlagPageBitmap.h"
#include "usb/cmd/PageBitmap.h"

namespace Tessor::usb::test {
namespace {

using schema::BaseAddress;
using taval::OpKind;
using taval::OpRecord;

constexpr int kBlocks = 256;
constexpr int kPages = 64;
constexpr int kSectors = 4;
constexpr int kFlagBlock = 7;

// The simulated device again, with the geometry of these tests and the given
// fault rules. The page bitmap is stored in pages 0 and 1 of blocks 3 and 5.
class BitmapOnDevice : public SimulatedDevice {
protected:
    static_assert(kSectors == SECTORS);

    void replug(const std::string& faults)
    {
        ASSERT_EQ(hub->unplug(0), 0);
        hub->waitEventsDelivered();
        plugged() = nullptr;
        // a fresh flash each time
        const std::filesystem::path own = folder / ("bitmaps" + std::to_string(++plugs));
        test_support::DeviceKeys keys = test_support::faultRule(faults);
        keys.merge(test_support::DeviceKeys{{"Device.Chips", "1"},
                                            {"Device.BlocksPerChip", std::to_string(kBlocks)},
                                            {"Device.PagesPerBlock", std::to_string(kPages)}});
        describe(own, keys);
        std::string error;
        ASSERT_EQ(hub->plug(0, own.string(), &error), 0) << error;
        hub->waitEventsDelivered();
        ASSERT_NE(plugged().load(), nullptr);
        device->setDev(plugged().load());
        giveGeometry(1, kBlocks, kPages, kSectors);
        storePageBitmap();
    }

    void storePageBitmap()
    {
        pages = Sptr<PageBitmap>(new PageBitmap(device));
        ASSERT_EQ(pages->getLength(), kBlocks * kPages / 8);
        Sptr<BlockSet> set0(new BlockSet(device, "Blockset"));
        set0->setSectorCount(1);
        set0->setPagesCountEveryBlock(2);
        ASSERT_EQ(pages->storeInBlockSet(set0), 0);
        ASSERT_EQ(pages->getLengthOfPage(), 4);
        Sptr<BaseAddress> reserved(new BaseAddress(device, 3, 0, 0));
        for (int block : {3, 5}) {
            for (int page : {0, 1}) {
                reserved->addData(Sptr<BaseAddress>(new BaseAddress(device, block, page, 0)));
            }
        }
        pages->setAddress(reserved);
        // a recognisable content: a few blocks usable, one page of block 5 not
        for (int block : {3, 5, 9, 200}) {
            pages->releaseBlock(block);
        }
        BitRange::set(pages->getBitmap(), 5 * kPages + 17);
    }

    std::vector<OpRecord> opsSince(size_t first)
    {
        std::vector<OpRecord> all = opLog();
        return std::vector<OpRecord>(all.begin() + static_cast<long>(first), all.end());
    }

    static int pageNumber(int block, int page) { return block * kPages + page; }

    Sptr<PageBitmap> pages;
    int plugs = 0;
};

TEST_F(BitmapOnDevice, PageBitmapErasesEachBlockOnceWritesItsPagesAndValidates)
{
    replug("");
    const size_t before = opLog().size();
    ASSERT_EQ(pages->writeFlash(device), 0);
    std::vector<int64_t> erased;
    std::vector<int64_t> programmed;
    for (const OpRecord& op : opsSince(before)) {
        if (op.kind == OpKind::Erase) {
            erased.push_back(op.args[1] / (kPages * kSectors));
            EXPECT_EQ(op.args[2], 1);
        } else if (op.kind == OpKind::Program) {
            programmed.push_back(op.args[1]);
            EXPECT_EQ(op.args[2], 1);
        }
    }
    EXPECT_EQ(erased, (std::vector<int64_t>{3, 5}));
    const std::vector<int64_t> expectedPages = {pageNumber(3, 0) * kSectors, pageNumber(3, 1) * kSectors,
        pageNumber(5, 0) * kSectors, pageNumber(5, 1) * kSectors};
    EXPECT_EQ(programmed, expectedPages);
    EXPECT_EQ(pages->validateFlash(device), 0);
}

TEST_F(BitmapOnDevice, PageBitmapBlockMetAgainKeepsItsPages)
{
    replug("");
    Sptr<BaseAddress> reserved(new BaseAddress(device, 3, 0, 0));
    for (int page : {0, 1}) {
        for (int block : {3, 5}) {
            reserved->addData(Sptr<BaseAddress>(new BaseAddress(device, block, page, 0)));
        }
    }
    pages->setAddress(reserved);
    const size_t before = opLog().size();
    ASSERT_EQ(pages->writeFlash(device), 0);
    int erases = 0;
    for (const OpRecord& op : opsSince(before)) {
        erases += op.kind == OpKind::Erase ? 1 : 0;
    }
    EXPECT_EQ(erases, 2);
    EXPECT_EQ(pages->validateFlash(device), 0);
}

TEST_F(BitmapOnDevice, PageBitmapFaultsOnTheFlashFailTheStep)
{
    struct Case {
        std::string faults;
        int write;
        int validate;
        const char* line;
    };
    const Case cases[] = {
        {"ChangedPages=" + std::to_string(pageNumber(5, 1)), 0, -1, "Page Bitmap on No. 3 page validate failed"},
        {"EraseFailBlocks=5", -1, -1, "Erase Block on 5 for Page Bitmap of device UDISK-0 Failed"},
        {"ProgramFailPages=" + std::to_string(pageNumber(3, 1)), -1, -1, "Write Page Bitmap to Flash failed"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.faults);
        replug(c.faults);
        test_support::LogCapture log(Tessor::schema::LOG_ERR);
        EXPECT_EQ(pages->writeFlash(device), c.write);
        EXPECT_EQ(pages->validateFlash(device), c.validate);
        EXPECT_NE(log.text().find(c.line), std::string::npos) << log.text();
    }
}

TEST_F(BitmapOnDevice, PageBitmapNeedsAllItsPagesReserved)
{
    replug("");
    Sptr<BaseAddress> reserved = pages->getAddress();
    Sptr<BaseAddress> shortOfOne(new BaseAddress(device, 3, 0, 0));
    for (int i = 0; i < 3; ++i) {
        shortOfOne->addData(reserved->getData(i));
    }
    pages->setAddress(shortOfOne);
    const size_t before = opLog().size();
    EXPECT_EQ(pages->writeFlash(device), -1);
    EXPECT_TRUE(opsSince(before).empty());
}

TEST_F(BitmapOnDevice, BlockBitmapSectorPointsAtTheSectorBitmapImage)
{
    replug("");
    SectorBitmap sectors(device, "SectorBitmap");
    sectors.setAsBad(4);
    Sptr<BlockBitmap> blocks = sectors.getBlockBitmap();
    blocks->judgeBlocks(0);
    Sptr<BaseAddress> image(new BaseAddress(device, 250, 0, 0));
    image->addData(Sptr<BaseAddress>(new BaseAddress(device, 250, 0, 1)));
    sectors.setAddress(image);
    Sptr<BaseAddress> own = blocks->allocateAddresses(9);
    ASSERT_TRUE(own);
    ASSERT_EQ(device->eraseOneBlock(own), 0);

    EXPECT_EQ(blocks->writeFlash(device), 0);
    // The bitmap's dump goes beside the run's log.
    EXPECT_EQ(usbGetFileSize(Tessor::schema::UsbConfiguration::instance()->getOutputPath("BlockBitmap").c_str()),
              kBlocks / 8);

    const unsigned char* sector = device->readFlashSectors(own, 1);
    ASSERT_NE(sector, nullptr);
    const unsigned char magic[] = {0xA6, 0x6A, 0xA6, 0x6A, 0xA6, 0x6A, 0xA6, 0x6A};
    EXPECT_EQ(0, std::memcmp(sector, magic, sizeof magic));
    const uint32_t header = (250 * kPages) * kSectors + 1;
    EXPECT_EQ(sector[8] | sector[9] << 8 | sector[10] << 16 | uint32_t(sector[11]) << 24, header);
    EXPECT_EQ(sector[12] | sector[13] | sector[14] | sector[15], 0);
    EXPECT_EQ(sector[16], 0x10);   // block 4
    EXPECT_EQ(sector[17], 0x02);   // block 9, its own place
}

class FlagTableOnDevice : public BitmapOnDevice {
protected:
    Sptr<FlagPageBitmap> makeTable()
    {
        Sptr<FlagPageBitmap> table(new FlagPageBitmap(pages));
        EXPECT_EQ(table->update(device), 0);
        table->setAddress(Sptr<BaseAddress>(new BaseAddress(device, kFlagBlock, 0, 0)));
        return table;
    }
};

TEST_F(FlagTableOnDevice, RepeatsThePageBitmapBlocksWritesAndValidates)
{
    replug("");
    Sptr<FlagPageBitmap> table = makeTable();
    const unsigned char* sector = table->getBitmap();
    for (int i = 0; i < 16; ++i) {
        EXPECT_EQ(sector[i], i == 8 + 2 ? 0x02 : 0x00) << i;  // block 3, then block 5 with page 17 unusable
    }
    ASSERT_EQ(device->eraseOneBlock(table->getAddress()), 0);
    ASSERT_EQ(table->writeFlash(device), 0);
    EXPECT_EQ(table->validateFlash(device), 0);

    // The sector on the flash changes: validation sees it.
    std::vector<unsigned char> other(sector, sector + 512);
    other[100] ^= 0x40;
    ASSERT_EQ(device->eraseOneBlock(table->getAddress()), 0);
    ASSERT_EQ(device->writeFlashSectors(table->getAddress(), 1, other.data()), 0);
    test_support::LogCapture log(Tessor::schema::LOG_ERR);
    EXPECT_EQ(table->validateFlash(device), -1);
    EXPECT_NE(log.text().find("Flag Table on"), std::string::npos);
}

TEST_F(FlagTableOnDevice, TableReadBackFromTheFlashTakesTheSectorAsItIs)
{
    replug("");
    device->setPageBitmap(pages);
    Sptr<FlagPageBitmap> table = makeTable();
    ASSERT_EQ(device->eraseOneBlock(table->getAddress()), 0);
    ASSERT_EQ(table->writeFlash(device), 0);
    const unsigned char* sector = device->readFlashSectors(table->getAddress(), 1);
    ASSERT_NE(sector, nullptr);
    const std::vector<unsigned char> stored(sector, sector + 512);

    FlagPageBitmap readBack(device, stored.data());
    EXPECT_STREQ(readBack.getName(), "FlagPageBitmap(r)");
    EXPECT_TRUE(readBack.getPageBitmap() == pages);
    EXPECT_EQ(std::vector<unsigned char>(readBack.getBitmap(), readBack.getBitmap() + 512), stored);
    readBack.setAddress(table->getAddress());
    EXPECT_EQ(readBack.validateFlash(device), 0);

    test_support::LogCapture log(Tessor::schema::LOG_WARN);
    FlagPageBitmap nothingRead(device, nullptr);
    EXPECT_EQ(std::vector<unsigned char>(nothingRead.getBitmap(), nothingRead.getBitmap() + 512),
              std::vector<unsigned char>(512, 0xFF));
    EXPECT_NE(log.text().find("raw data for FlagPageBitmap(r) is NULL"), std::string::npos) << log.text();
}

TEST_F(FlagTableOnDevice, FailedWriteIsReported)
{
    replug("ProgramFailPages=" + std::to_string(pageNumber(kFlagBlock, 0)));
    Sptr<FlagPageBitmap> table = makeTable();
    test_support::LogCapture log(Tessor::schema::LOG_ERR);
    EXPECT_EQ(table->writeFlash(device), -1);
    EXPECT_NE(log.text().find("Write Flag Bitmap on 7 of device UDISK-0 failed"), std::string::npos);
}

TEST_F(FlagTableOnDevice, WithoutAddressesNothingIsWrittenOrRead)
{
    replug("");
    Sptr<FlagPageBitmap> table(new FlagPageBitmap(pages));
    const size_t before = opLog().size();
    EXPECT_EQ(table->writeFlash(device), -1);
    EXPECT_EQ(table->validateFlash(device), -1);
    Sptr<PageBitmap> unplaced(new PageBitmap(device));
    EXPECT_EQ(FlagPageBitmap(unplaced).update(device), -1);
    EXPECT_TRUE(opsSince(before).empty());
}

}  // namespace
}  // namespace Tessor::usb::test
