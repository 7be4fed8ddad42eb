// The configuration-table sector of each controller variant, built without a
// device: where every record lies, the signature and checksum, the
// build-information page offset and the rebuild from a sector.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "HexBytes.h"
#include "schema/base/UsbConfiguration.h"
#include "schema/device/BaseAddress.h"
#include "schema/device/DiskInfo.h"
#include "schema/device/Mp3Config.h"
#include "usb/cfg/CfgTable.h"

using namespace Tessor::usb;
using Tessor::schema::BaseAddress;
using Tessor::schema::DiskInfo;
using Tessor::schema::UsbConfiguration;

namespace {

struct SectorCase {
    const char* chipSet;
    int flash, udisk, code, descriptors, descriptorLength, mp3, pageOffset, length;
    // The first bytes of the descriptor block and its inquiry data.
    const char* descriptorHead;
    int inquiryAt;
    const char* inquiry;
};

const SectorCase kCases[] = {
    {"6706", 0x0C, 0x49, 0x86, 0xEE, 252, -1, 0x1FF, 512, "12 01 00 02 00 00 00 40 7E 2B 15 4C", 216,
     "00 00 00 00 00 00 00 00"},
    {"6716", 0x0C, 0x3E, 0x7F, 0x100, 252, -1, 0x1FF, 512, "12 01 00 02 00 00 00 40 7E 2B 15 4C", 216,
     "00 00 00 00 00 00 00 00"},
    {"6716V31", 0x0C, 0x42, 0x87, 0x11C, 144, -1, 0x1AF, 512, "12 01 00 02 00 00 00 40 7E 2B 15 4C", 108,
     "00 80 02 02 1F 00 00 00 47 65 6E 65"},
    {"6716V32", 0x0C, 0x42, 0x87, 0x11C, 144, -1, 0x1AF, 512, "12 01 00 02 00 00 00 40 7E 2B 15 4C", 108,
     "00 80 02 02 1F 00 00 00 47 65 6E 65"},
    {"6726", 0x0C, 0x43, 0x88, 0x11D, 144, -1, 0x1B0, 513, "12 01 00 02 00 00 00 40 7E 2B 15 4C", 108,
     "00 80 02 02 1F 00 00 00 47 65 6E 65"},
    {"6605", 0x0C, 0x3C, 0x7D, 0xE2, 144, 0x172, 0x1FF, 512, "12 01 00 02 00 00 00 40 7E 2B 15 4C", 108,
     "00 80 02 02 1F 00 00 00 47 65 6E 65"},
};

uint32_t word(const std::vector<uint8_t>& b, int at)
{
    return b[at] | uint32_t(b[at + 1]) << 8 | uint32_t(b[at + 2]) << 16 | uint32_t(b[at + 3]) << 24;
}

// The checksum as the controller computes it.
uint32_t xorOfWords(const std::vector<uint8_t>& b)
{
    uint32_t x = 0;
    for (int at = 0; at < 512; at += 4) {
        x ^= at == 8 ? 0 : word(b, at);
    }
    return x;
}

std::vector<uint8_t> sealed(CfgTable& table)
{
    std::vector<uint8_t> image(CfgTable::kImageRoom + 7, 0xEE);
    const int length = table.serialize(image.data());
    EXPECT_GT(length, 0);
    table.checkSum(image.data());
    EXPECT_EQ(0xEE, image[length]) << "written past the image";
    image.resize(length);
    return image;
}

std::vector<uint8_t> window(const std::vector<uint8_t>& b, int at, int n)
{
    return std::vector<uint8_t>(b.begin() + at, b.begin() + at + n);
}

// Record values that differ from one item to the next, so a record laid at
// another's place shows.
void giveDistinctValues(CfgTable& table)
{
    table.getFlashCtrl()->record().wPagesPerBlock = 0x0140;
    table.getFlashCtrl()->record().bRd_CYCLE = 0x5A;
    table.getFlashCtrl()->record().Chip1Sel2 = 1;  // as every scan or format sets it; a read takes 1
    table.getCodeCtrl()->record().wCfgTblBlkAddr = 0x0ABC;
    table.getCodeCtrl()->record().bCfgTblPage = 5;
    table.getCodeCtrl()->record().bFlagTblPage = 9;
    table.getPartitionCtrl()->getLunInfo(0)->fields().DiskForLun = 0;
    table.getPartitionCtrl()->getLunInfo(1)->fields().DiskForLun = 1;
    table.getPartitionCtrl()->getLunInfo(0)->fields().Capacity = 0x00DEF012;
    table.getPartitionCtrl()->getLunInfo(1)->fields().Capacity = 0x00345678;
    table.getPartitionCtrl()->getLunInfo(1)->fields().StartSector = 0x00DEF012;
}

class CfgTableSector : public ::testing::TestWithParam<SectorCase> {
protected:
    void SetUp() override
    {
        UsbConfiguration::instance("");
        UsbConfiguration::instance()->setChipSet(GetParam().chipSet);
    }
};

TEST_P(CfgTableSector, EveryRecordAtItsOffsetBehindSignatureAndChecksum)
{
    const SectorCase& c = GetParam();
    CfgTable table(nullptr, "ConfigTable", CFG_TABLE_DEVICE);
    ASSERT_TRUE(table.getVariant());
    giveDistinctValues(table);
    const std::vector<uint8_t> image = sealed(table);
    ASSERT_EQ(c.length, static_cast<int>(image.size()));

    EXPECT_EQ("5A A5 5A A5 5A A5 5A A5 ", hexText(window(image, 0, 8)));
    EXPECT_EQ(xorOfWords(image), word(image, 8));

    std::vector<bool> covered(image.size(), false);
    auto expectAt = [&](const char* what, int at, const std::vector<uint8_t>& bytes) {
        EXPECT_EQ(hexText(bytes), hexText(window(image, at, static_cast<int>(bytes.size())))) << what;
        for (size_t i = 0; i < bytes.size(); ++i) {
            covered[at + i] = true;
        }
    };
    std::vector<uint8_t> record(160, 0);
    record.resize(table.getFlashCtrl()->serialize(record.data()));
    expectAt("FLASH_INFO", c.flash, record);
    record.assign(160, 0);
    record.resize(table.getPartitionCtrl()->serialize(record.data()));
    expectAt("CFG_UDISK", c.udisk, record);
    record.assign(160, 0);
    record.resize(table.getCodeCtrl()->serialize(record.data()));
    expectAt("CODE_CTRL", c.code, record);
    if (c.mp3 >= 0) {
        record.assign(160, 0);
        table.getMp3CfgTable()->serialize(record.data());
        record.resize(Tessor::schema::Mp3Config::RECORD_SIZE);
        expectAt("MP3", c.mp3, record);
    }
    const std::vector<uint8_t> head = hexBytes(c.descriptorHead);
    const std::vector<uint8_t> inquiry = hexBytes(c.inquiry);
    EXPECT_EQ(hexText(head), hexText(window(image, c.descriptors, static_cast<int>(head.size()))));
    EXPECT_EQ(hexText(inquiry), hexText(window(image, c.descriptors + c.inquiryAt, static_cast<int>(inquiry.size()))));
    for (int i = 0; i < c.descriptorLength; ++i) {
        covered[c.descriptors + i] = true;
    }
    for (int i = 0; i < 12; ++i) {
        covered[i] = true;
    }
    covered[c.pageOffset] = true;
    for (size_t i = 0; i < image.size(); ++i) {
        if (!covered[i]) {
            EXPECT_EQ(0, image[i]) << "byte " << i << " belongs to no field";
        }
    }
    if (c.length == 513) {
        EXPECT_EQ(0, image[512]);
    }
}

TEST_P(CfgTableSector, ReadBackRebuildsTheSameSector)
{
    CfgTable table(nullptr, "ConfigTable", CFG_TABLE_DEVICE);
    giveDistinctValues(table);
    std::memcpy(table.getCfgTblInfo()->serialNumber, "SN-0001", 7);
    CfgTable::encodeStringDescritor(&table.getCfgInfoV31()->product, "Product V31");
    CfgTable::encodeStringDescritor(&table.getCfgInfo6605()->serial, "6605 serial");
    std::vector<uint8_t> image = sealed(table);

    CfgTable rebuilt(nullptr, "ConfigTable", CFG_TABLE_DEVICE);
    EXPECT_EQ(static_cast<int>(image.size()), rebuilt.reverseSerialize(image.data()));
    EXPECT_EQ(hexText(image), hexText(sealed(rebuilt)));
    EXPECT_EQ(5, rebuilt.getCodeCtrl()->record().bCfgTblPage);
    EXPECT_EQ(0x00345678u, rebuilt.getPartitionCtrl()->getLunInfo(1)->fields().Capacity);
}

INSTANTIATE_TEST_SUITE_P(Variants, CfgTableSector, ::testing::ValuesIn(kCases),
                         [](const auto& test) { return std::string("V") + test.param.chipSet; });

class CfgTableOf : public ::testing::Test {
protected:
    void SetUp() override { UsbConfiguration::instance(""); }
};

TEST_F(CfgTableOf, ChecksumCoversEveryWordButItsOwnAndTheTailByte)
{
    UsbConfiguration::instance()->setChipSet("6726");
    CfgTable table(nullptr, "ConfigTable", CFG_TABLE_DEVICE);
    std::vector<uint8_t> image = sealed(table);
    const uint32_t sum = word(image, 8);
    for (int at : {0, 7, 12, 300, 511}) {
        std::vector<uint8_t> flipped = image;
        flipped[at] ^= 0x40;
        table.checkSum(flipped.data());
        EXPECT_NE(sum, word(flipped, 8)) << "byte " << at;
    }
    for (int at : {8, 11, 512}) {
        std::vector<uint8_t> flipped = image;
        flipped[at] ^= 0x40;
        table.checkSum(flipped.data());
        EXPECT_EQ(sum, word(flipped, 8)) << "byte " << at;
    }
}

TEST_F(CfgTableOf, BuildInformationPageOffset)
{
    UsbConfiguration::instance()->setChipSet("6716");
    Sptr<DiskInfo> disk(new DiskInfo(1, 1024, 64, 4));
    auto at = [&](int block, int page) { return Sptr<BaseAddress>(new BaseAddress(disk, (block * 64 + page) * 4)); };
    struct Case {
        bool hasBuild;
        int block, page;
        int offset;
    };
    for (const Case& c : {Case{true, 3, 12, 2}, Case{true, 4, 9, 63}, Case{false, 0, 0, 0}}) {
        CfgTable table(nullptr, "ConfigTable", CFG_TABLE_DEVICE);
        table.getFlashCtrl()->record().wPagesPerBlock = 64;
        table.setAddress(at(3, 10));
        if (c.hasBuild) {
            table.getBuildInfo()->setAddress(at(c.block, c.page));
        }
        const std::vector<uint8_t> image = sealed(table);
        EXPECT_EQ(c.offset, table.getPageOffset4Build());
        EXPECT_EQ(c.offset, image[0x1FF]);
    }
}

TEST_F(CfgTableOf, ChipSetWithoutVariantIsRefused)
{
    UsbConfiguration::instance()->setChipSet("none");
    CfgTable table(nullptr, "ConfigTable", CFG_TABLE_DEVICE);
    EXPECT_FALSE(table.getVariant());
    EXPECT_FALSE(table.getCodeCtrl());
    std::vector<uint8_t> image(CfgTable::kImageRoom, 0xEE);
    EXPECT_EQ(-1, table.serialize(image.data()));
    EXPECT_EQ(-1, table.reverseSerialize(image.data()));
    EXPECT_EQ(std::vector<uint8_t>(CfgTable::kImageRoom, 0xEE), image);
}

}  // namespace
