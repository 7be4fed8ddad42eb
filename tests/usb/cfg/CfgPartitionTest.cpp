#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "HexBytes.h"
#include "PartitionSettings.h"
#include "support/LogCapture.h"
#include "usb/cfg/CfgPartition6605.h"
#include "usb/cfg/CfgPartition6706.h"
#include "usb/cfg/CfgPartition6716.h"
#include "usb/cfg/CfgPartition6716V31.h"
#include "usb/cfg/CfgPartition6716V32.h"
#include "usb/cfg/CfgPartition6726.h"

using namespace Tessor::usb;
using Tessor::schema::ConfigInfo;
using Tessor::schema::PartInfo;

namespace {

const std::string kIso = "releases/fileSystems/iso/Login.iso";

struct Lun {
    uint32_t start;
    uint32_t capacity;
    int diskForLun;
    bool hide = false;
    bool dummy = false;
    bool writeProtect = false;
    bool descriptor = true;

    bool operator==(const Lun&) const = default;
};

std::ostream& operator<<(std::ostream& os, const Lun& l)
{
    return os << "{" << l.start << ", " << l.capacity << ", " << l.diskForLun << ", hide " << l.hide
              << ", dummy " << l.dummy << ", wp " << l.writeProtect << ", descriptor " << l.descriptor << "}";
}

const Lun kEmpty{0, 0, 0xFF, false, false, false, false};

std::vector<Lun> lunsOf(CfgPartition& item)
{
    std::vector<Lun> out;
    for (int i = 0; i < item.getCount(); ++i) {
        const LunFields& f = item.getLunInfo(i)->fields();
        out.push_back(Lun{f.StartSector, f.Capacity, f.DiskForLun, f.Hide == 1, f.DummyDisk == 1,
                          f.WriteProtect == 1, bool(item.getLunInfo(i)->getPartInfo())});
    }
    return out;
}

struct Row {
    const char* name;
    bool on6706;
    int real;
    int configured;
    std::vector<PartSetting> parts;
    int result;
    std::vector<Lun> luns;  // the whole list, padding included
    int lunCount;
    uint32_t capDummy;
};

class PartitionLayout : public ::testing::TestWithParam<Row> {};

TEST_P(PartitionLayout, SettingsGiveTheLunList)
{
    const Row& row = GetParam();
    Sptr<ConfigInfo> settings = makeSettings(row.real, row.configured, row.parts);
    CfgPartition6716 item6716(nullptr);
    CfgPartition6706 item6706(nullptr);
    CfgPartition& item = row.on6706 ? static_cast<CfgPartition&>(item6706) : item6716;
    EXPECT_EQ(row.result, item.finish(*settings, kIso));
    if (row.result != 0) {
        EXPECT_LE(item.getCount(), 4);
        // Whatever the refused item holds stays inside its record.
        std::vector<uint8_t> sector(80, 0xEE);
        const int len = item.serialize(sector.data());
        EXPECT_EQ(std::vector<uint8_t>(sector.size() - len, 0xEE),
                  std::vector<uint8_t>(sector.begin() + len, sector.end()));
        return;
    }
    EXPECT_EQ(row.luns, lunsOf(item));
    EXPECT_EQ(row.lunCount, item.getLunCount());
    EXPECT_EQ(row.capDummy, item.getCapDummy());
}

constexpr int kRefused = -0x8020;

INSTANTIATE_TEST_SUITE_P(
    Table, PartitionLayout,
    ::testing::Values(
        Row{"NoPartition", false, 1000000, 0, {}, 0, {kEmpty, kEmpty, kEmpty, kEmpty}, 0, 0},
        Row{"ThreePlain", false, 1000000, 6000, {{1000}, {2000}, {3000}}, 0,
            {{0, 1000, 0}, {1000, 2000, 1}, {3000, 3000, 2}, kEmpty}, 3, 0},
        Row{"EncryptedAlone", false, 1000000, 100000, {{100000, true}}, 0,
            {{0, 24576, 0, false, false, true}, {24576, 75424, 1, true}, kEmpty, kEmpty}, 1, 0},
        Row{"EncryptedWithPartitionsThatDoNotFit", false, 1000000, 3000000,
            {{100000, true}, {200000}, {2700000}}, 0,
            {{0, 24576, 0, false, false, true},
             {24576, 200000, 1},
             {224576, 2775424, 2, true, true},
             {3000000, 24576, 2, true, false, false, false}},
            2, 950848},
        Row{"EncryptedPastTheFlashOutsideDummyMode", true, 1000000, 3000000,
            {{100000, true}, {2900000}}, kRefused, {}, 0, 0},
        Row{"DummyModeLargeFlash", false, 1000000, 4000000, {{300000}, {3700000}}, 0,
            {{0, 300000, 0}, {300000, 3700000, 1, false, true}, {4000000, 49152, 2, true, false, false, false},
             kEmpty},
            2, 950848},
        Row{"DummyModeSmallFlash", false, 60000, 200000, {{200000}}, 0,
            {{0, 200000, 0, false, true}, {200000, 2048, 1, true, false, false, false}, kEmpty, kEmpty}, 1, 57952},
        Row{"FivePartitions", false, 1000000, 5000, {{1000}, {1000}, {1000}, {1000}, {1000}}, kRefused, {}, 0, 0},
        Row{"DummyEndingWouldNeedAFifthLun", false, 1000000, 4000000,
            {{100000}, {100000}, {100000}, {3700000}}, kRefused, {}, 0, 0},
        Row{"PlainPartitionPastTheFlash", false, 10000, 9000, {{5000}, {6000}}, kRefused, {}, 0, 0},
        Row{"On6706NoDummyLun", true, 1000000, 2000000, {{300000}, {1700000}}, kRefused, {}, 0, 0},
        Row{"EncryptedNoLargerThanTheLoginLun", false, 1000000, 24576, {{24576, true}}, kRefused, {}, 0, 0},
        Row{"EncryptedDummyModeSmallFlash", false, 60000, 200000, {{200000, true}}, kRefused, {}, 0, 0}),
    [](const ::testing::TestParamInfo<Row>& test) { return std::string(test.param.name); });

// The refusal names the partition that cannot be laid out, at error level.
TEST(CfgPartition, RefusalLogsThePartition)
{
    const struct {
        std::vector<PartSetting> parts;
        const char* expected;
    } cases[] = {
        {{{1000}, {1000}, {1000}, {1000}, {1000}}, "partition 4 needs a fifth LUN"},
        {{{20000, true}}, "partition 0 leaves no room for its hidden LUN"},
    };
    for (const auto& c : cases) {
        test_support::LogCapture log(Tessor::schema::LOG_ERR);
        Sptr<ConfigInfo> settings = makeSettings(1000000, 5000, c.parts);
        CfgPartition6716 item(nullptr);
        EXPECT_EQ(kRefused, item.finish(*settings, kIso));
        const std::string text = log.text();
        EXPECT_NE(std::string::npos, text.find(c.expected)) << text;
        EXPECT_NE(std::string::npos, text.find("settings refused (0x8020)")) << text;
    }
}

TEST(CfgPartition, LoginAndPartitionDescriptors)
{
    Sptr<ConfigInfo> settings =
        makeSettings(1000000, 300000, {{100000, true}, {50000, true}, {20000, false, Tessor::schema::DISK_CDROM}});
    CfgPartition6716 item(nullptr);
    ASSERT_EQ(0, item.finish(*settings, kIso));

    Sptr<PartInfo> login = item.getLunInfo(0)->getPartInfo();
    EXPECT_EQ("login", login->getVolumeLabel());
    EXPECT_EQ(kIso, login->getCopyPath());
    EXPECT_TRUE(login->getWriteProtected());
    EXPECT_EQ(24576u, login->getCapacity());

    // A later partition marked encrypted is an ordinary LUN.
    Sptr<PartInfo> second = item.getLunInfo(1)->getPartInfo();
    EXPECT_FALSE(second->getIsEncrypted());
    EXPECT_EQ(1, second->getPartitionIndex());

    const LunFields& cdrom = item.getLunInfo(2)->fields();
    EXPECT_EQ(0x85, cdrom.DiskType);
    EXPECT_EQ(2, cdrom.DiskBlockSize);

    Sptr<PartInfo> hidden = item.getLunInfo(3)->getPartInfo();
    EXPECT_EQ("", hidden->getCopyPath());
    EXPECT_EQ(75424u, hidden->getCapacity());
}

TEST(CfgPartition, FinishNeverChangesTheSettingsAndRepeatsExactly)
{
    Sptr<ConfigInfo> settings = makeSettings(1000000, 3000000, {{100000, true}, {200000}, {2700000}});
    CfgPartition6605 item(nullptr);
    std::vector<uint8_t> first(65), second(65);
    ASSERT_EQ(0, item.finish(*settings, kIso));
    item.serialize(first.data());
    ASSERT_EQ(0, item.finish(*settings, kIso));
    item.serialize(second.data());
    EXPECT_EQ(first, second);

    const uint32_t capacities[] = {100000, 200000, 2700000};
    for (int i = 0; i < 3; ++i) {
        Sptr<PartInfo> part = settings->getPartInfo(i);
        EXPECT_EQ(capacities[i], part->getCapacity());
        EXPECT_EQ(i == 0, part->getIsEncrypted());
        EXPECT_EQ("content", part->getCopyPath());
        EXPECT_EQ(0, part->getPartitionIndex());
    }
}

TEST(CfgPartition, DefaultsAndThreeLunsOnTheFlash)
{
    CfgPartition6706 fresh(nullptr);
    std::vector<uint8_t> buffer(61, 0);
    EXPECT_EQ(61, fresh.serialize(buffer.data()));
    // Slot 0 of 262 144 sectors has LUN number 0xFF until settings arrive.
    EXPECT_EQ(hexBytes("00 FF FF FF FF 00 00 00 00 80 80 80 80"), firstBytes(buffer, 13));
    EXPECT_EQ(hexBytes("00 04 00 00"), std::vector<uint8_t>(buffer.begin() + 0x19, buffer.begin() + 0x1D));

    Sptr<ConfigInfo> settings = makeSettings(1000000, 6000, {{1000}, {2000}, {3000}});
    CfgPartition6716V31 item(nullptr);
    ASSERT_EQ(0, item.finish(*settings, kIso));
    std::vector<uint8_t> record(69, 0);
    EXPECT_EQ(69, item.serialize(record.data()));
    EXPECT_EQ(hexBytes("02  00 01 02 03  10 10 10 10  80 80 80 80"
                       "  00 00 03 E8  00 00 0B B8  00 00 00 00"
                       "  00 00 03 E8  00 00 07 D0  00 00 0B B8  00 00 00 00"),
              firstBytes(record, 0x29));
}

TEST(CfgPartition, HighFormatShowsOneLunSpanningThePlacedSectorsOnce)
{
    Sptr<ConfigInfo> settings = makeSettings(1000000, 100000, {{100000, true}});
    CfgPartition6726 item(nullptr);
    ASSERT_EQ(0, item.finish(*settings, kIso));
    std::vector<uint8_t> before(69, 0), once(69, 0), twice(69, 0);
    item.serialize(before.data());
    EXPECT_EQ(0x02, before[0x39]);  // login LUN write-protected

    item.update4HighFormat(nullptr);
    item.serialize(once.data());
    EXPECT_EQ(0, once[0]);
    EXPECT_EQ(0x80, once[0x09]);
    EXPECT_EQ(hexBytes("00 01 86 A0"), std::vector<uint8_t>(once.begin() + 0x19, once.begin() + 0x1D));
    EXPECT_EQ(hexBytes("00 00 00 00"), std::vector<uint8_t>(once.begin() + 0x39, once.begin() + 0x3D));

    item.serialize(twice.data());
    EXPECT_EQ(0x80, twice[0x0A]);  // the reset LUN flags stay
    EXPECT_EQ(hexBytes("00 00 60 00"), std::vector<uint8_t>(twice.begin() + 0x19, twice.begin() + 0x1D));
    EXPECT_EQ(0x08, twice[0x3A]);  // the hidden LUN shows again
}

TEST(CfgPartition, ReaderRestoresTheLunsAndGivesPartitions)
{
    Sptr<ConfigInfo> settings =
        makeSettings(1000000, 300000, {{100000, true}, {20000, false, Tessor::schema::DISK_CDROM}});
    CfgPartition6716V32 source(nullptr);
    ASSERT_EQ(0, source.finish(*settings, kIso));
    std::vector<uint8_t> record(69, 0);
    source.serialize(record.data());

    CfgPartition6716V32 target(nullptr);
    EXPECT_EQ(69, target.reverseSerialize(record.data()));
    for (int i = 0; i < 4; ++i) {
        LunFields expected = source.getLunInfo(i)->fields();
        expected.WrProtectPin = 1;  // forced on this record
        EXPECT_EQ(expected.Capacity, target.getLunInfo(i)->fields().Capacity);
        EXPECT_EQ(expected.StartSector, target.getLunInfo(i)->fields().StartSector);
        EXPECT_EQ(expected.Hide, target.getLunInfo(i)->fields().Hide);
    }
    Sptr<PartInfo> login = target.getPartInfo(0);
    ASSERT_TRUE(login);
    EXPECT_TRUE(login->getIsEncrypted());
    EXPECT_EQ(24576u, login->getCapacity());
    Sptr<PartInfo> cdrom = target.getPartInfo(1);
    EXPECT_EQ(Tessor::schema::DISK_CDROM, cdrom->getDiskType());
    EXPECT_FALSE(cdrom->getIsEncrypted());
}

TEST(CfgPartition, ScanTableSpansTheFlashExceptOn6706)
{
    Sptr<Tessor::schema::DiskInfo> disk(new Tessor::schema::DiskInfo(2, 1024, 128, 8));
    struct Probe : CfgPartition6716 {
        using CfgPartition6716::CfgPartition6716;
        using CfgPartition::resizeForScan;
    } item(nullptr);
    Sptr<ConfigInfo> settings = makeSettings(1000000, 6000, {{1000}, {2000}, {3000}});
    ASSERT_EQ(0, item.finish(*settings, kIso));
    EXPECT_EQ(0, item.resizeForScan(disk, true));
    EXPECT_EQ(2u * 1024 * 128 * 8, item.getLunInfo(0)->fields().Capacity);
    EXPECT_EQ(3, item.getLunCount());
    EXPECT_EQ(item.resizeForScan(disk, false), 0);
    EXPECT_EQ(1, item.getLunCount());

    CfgPartition6706 old(nullptr);
    EXPECT_EQ(0, old.update4Scan(nullptr, false));
    EXPECT_EQ(262144u, old.getLunInfo(0)->fields().Capacity);
}

}  // namespace
