// A device's configuration table built from the run settings and taken
// through the simulated controller: into its RAM, onto its flash, read back
// by the controller's own parser, and rebuilt from a device that has one.
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "platform/taval/ConfigTableSector.h"
#include "support/LogCapture.h"
#include "schema/base/UsbConfiguration.h"
#include "schema/device/BaseAddress.h"
#include "schema/device/ConfigInfo.h"
#include "schema/device/SimulatedDevice.h"
#include "schema/device/VersionInfo.h"
#include "HexBytes.h"
#include "usb/cfg/CfgTable.h"
#include "usb/cfg/CfgTableIndex.h"
#include "usb/cfg/CmdExternalCode.h"
#include "usb/cmd/FlagPageBitmap.h"
#include "usb/task/init/CfgTableAccess.h"

using namespace Tessor::usb;
using Tessor::schema::BaseAddress;
using Tessor::schema::ConfigInfo;
using Tessor::schema::PartInfo;
using Tessor::schema::ScanConfig;
using Tessor::schema::UsbConfiguration;
using Tessor::taval::OpKind;

namespace {

constexpr uint32_t kPart0 = 3000;
constexpr uint32_t kPart1 = 1000;

std::string hexAddress(const Sptr<BaseAddress>& a)
{
    if (!a) {
        return "none";
    }
    return std::to_string(a->getChipNo()) + ":" + std::to_string(a->getBlockNo()) + ":" +
           std::to_string(a->getPageNo()) + ":" + std::to_string(a->getSectorNo());
}

class TableDevice : public SimulatedDevice, public ::testing::WithParamInterface<const char*> {
protected:
    explicit TableDevice(const char* chipSet = nullptr) { variant = chipSet ? chipSet : GetParam(); }

    void SetUp() override
    {
        SimulatedDevice::SetUp();
        // Every table written is also saved beside the run's log.
        UsbConfiguration::instance()->setLogFilename((folder / "station.log").string());
        UsbConfiguration::instance()->setChipSet(variant);
        Sptr<ConfigInfo> run(new ConfigInfo());
        run->setScanConfig(Sptr<ScanConfig>(new ScanConfig(nullptr, "ScanConfig")));
        run->setVendorCode(0x1A2B3C);
        run->setProductCode(0x4D5E);
        run->setVendorString("Vendor12");
        run->setProductString("Product Name");
        run->setSnMode(Tessor::schema::SN_MODE_FIXED);
        run->setSerialNoLabel("LBL");
        run->setSerialNoStart(0x01020304);
        run->setPassword("secret");
        run->setRealCapacity(CHIPS * BLOCKS * PAGES * SECTORS);
        run->setConfigCapacity(kPart0 + kPart1);
        for (uint32_t capacity : {kPart0, kPart1}) {
            run->addPartInfo(Sptr<PartInfo>(new PartInfo(static_cast<int>(capacity))));
        }
        EXPECT_EQ(device->setConfigInfo(run), 0);
    }

    Sptr<CfgTable> newTable(CFG_TABLE_TYPE_T type)
    {
        Sptr<CfgTable> table(new CfgTable(device, "ConfigTable", type));
        device->setCfgTable(table);
        return table;
    }

    std::vector<uint8_t> image(CfgTable& table)
    {
        std::vector<uint8_t> bytes(CfgTable::kImageRoom, 0);
        bytes.resize(table.serialize(bytes.data()));
        table.checkSum(bytes.data());
        return bytes;
    }

    int programs()
    {
        int n = 0;
        for (const Tessor::taval::OpRecord& r : opLog()) {
            n += r.kind == OpKind::Program ? 1 : 0;
        }
        return n;
    }

    Sptr<BaseAddress> at(int block, int page) { return Sptr<BaseAddress>(new BaseAddress(device, block, page, 0)); }
};

using RamDownload = TableDevice;

TEST_P(RamDownload, TablesOfTypes0And1ReachTheControllerRamAndNotTheFlash)
{
    for (CFG_TABLE_TYPE_T type : {CFG_TABLE_DEFAULT, CFG_TABLE_DOWNLOADING}) {
        Sptr<CfgTable> table = newTable(type);
        ASSERT_EQ(0, table->finish(device));
        ASSERT_EQ(0, table->writeFlash(device));
        const std::vector<uint8_t> ram = hub->device(0)->ramTable();
        EXPECT_TRUE(Tessor::taval::isValidTable(ram.data()));
        EXPECT_EQ(image(*table), ram);
    }
    EXPECT_EQ(0, programs());
    EXPECT_EQ(512, static_cast<int>(std::filesystem::file_size(folder / "0_ConfigTable")));
    EXPECT_FALSE(std::filesystem::exists("0_ConfigTable")) << "left in the working folder";

    // The controller serves the LUNs the run settings asked for.
    const Tessor::taval::RamLunTable units = hub->device(0)->ramUnits();
    EXPECT_EQ(units.slot[0].capacity, kPart0);
    EXPECT_EQ(units.slot[1].capacity, kPart1);
    EXPECT_EQ(units.slot[1].start, units.slot[0].start + kPart0);
    EXPECT_EQ(units.slot[2].capacity, 0u);
    EXPECT_EQ(units.lastLun, 1);
}

TEST_P(RamDownload, CorruptedChecksumIsRefusedAndTheRamKeepsItsTable)
{
    Sptr<CfgTable> table = newTable(CFG_TABLE_DOWNLOADING);
    ASSERT_EQ(0, table->writeFlash(device));
    const std::vector<uint8_t> before = hub->device(0)->ramTable();
    std::vector<uint8_t> bad = image(*table);
    bad[200] ^= 0x10;
    EXPECT_EQ(-1, device->writeConfigTable2Ram(bad.data()));
    EXPECT_EQ(before, hub->device(0)->ramTable());
}

TEST_P(RamDownload, ScanAndHighFormatTablesShowTheControllerOneUnit)
{
    if (variant == "6706") {
        GTEST_SKIP() << "6706 keeps its LUNs around a scan and for the high format";
    }
    Sptr<CfgTable> table = newTable(CFG_TABLE_DOWNLOADING);
    ASSERT_EQ(0, table->finish(device));
    ASSERT_EQ(0, table->update4HighFormat(device));
    ASSERT_EQ(0, table->writeFlash(device));
    Tessor::taval::RamLunTable units = hub->device(0)->ramUnits();
    EXPECT_EQ(0, units.lastLun);
    EXPECT_EQ(kPart0 + kPart1, units.slot[0].capacity);
    EXPECT_EQ(0x80, units.slot[0].diskType);

    ASSERT_EQ(0, table->update4Scan(device, false));
    ASSERT_EQ(0, table->writeFlash(device));
    units = hub->device(0)->ramUnits();
    EXPECT_EQ(static_cast<uint32_t>(CHIPS * BLOCKS * PAGES * SECTORS), units.slot[0].capacity);
}

INSTANTIATE_TEST_SUITE_P(Variants, RamDownload,
                         ::testing::Values("6706", "6716", "6716V31", "6716V32", "6726", "6605"));

using FlashTable = TableDevice;

// A device table on block 5, page 3; the flag table on page 2 and two code
// pages on pages 4 and 5 of block 6, the build information on page 9 of block 5.
void placeSystemPages(CfgTable& table)
{
    CodeCtrl& code = table.getCodeCtrl()->record();
    code.wCfgTblBlkAddr = 5;
    code.bCfgTblPage = 3;
    code.bFlagTblPage = 16 + 2;
    std::fill(code.wExtCodePage, code.wExtCodePage + CodeCtrl::kExtCodePages, 0xFFFF);
    code.wExtCodePage[0] = 16 + 4;
    code.wExtCodePage[1] = 16 + 5;
    code.bCeCount = 2;
    FlashCtrl& flash = table.getFlashCtrl()->record();
    flash.bBlockPerChipExp = 6;
    flash.wPagesPerBlock = 16;
    flash.bSectorsPerPage = 4;
    flash.Chip1Sel2 = 1;
}

TEST_P(FlashTable, DeviceTableIsWrittenReadBackByTheControllerAndRebuiltInUserMode)
{
    Sptr<CfgTable> table = newTable(CFG_TABLE_DEVICE);
    ASSERT_EQ(0, table->finish(device));
    placeSystemPages(*table);
    table->setAddress(at(5, 3));
    table->getBuildInfo()->setAddress(at(5, 9));
    ASSERT_EQ(0, table->getBuildInfo()->writeFlash(device));
    const std::vector<uint8_t> flags(512, 0);
    ASSERT_EQ(0, device->writeFlashSectors(at(6, 2), 1, flags.data()));
    ASSERT_EQ(0, table->writeFlash(device));
    EXPECT_EQ(6, table->getPageOffset4Build());
    ASSERT_EQ(0, table->validateFlash(device));
    EXPECT_TRUE(hub->device(0)->ramTable().empty());
    const std::vector<uint8_t> written = image(*table);

    replug();
    EXPECT_EQ(hub->device(0)->bootSector(), (5 * PAGES + 3) * SECTORS);
    const unsigned char* block = device->readVersionInfo();
    ASSERT_NE(block, nullptr);
    EXPECT_TRUE(std::equal(written.begin() + 8, written.begin() + 512, block + 8));

    UsbConfiguration::instance()->setCurrentFunction(Tessor::schema::FUNCTION_USER);
    ASSERT_TRUE(adoptCfgTable(device, block));
    Sptr<CfgTable> read = device->getCfgTable();
    EXPECT_EQ(CFG_TABLE_DEVICE, read->getType());
    EXPECT_EQ(hexAddress(at(5, 3)), hexAddress(read->getAddress()));
    // 6605 finds its code through an index of its own.
    if (variant != "6605") {
        Sptr<BaseAddress> code = device->getExternalCode()->getAddress();
        ASSERT_TRUE(code);
        ASSERT_EQ(2, code->getCount());
        EXPECT_EQ(hexAddress(at(6, 4)), hexAddress(Sptr<BaseAddress>(code->getData(0))));
        EXPECT_EQ(hexAddress(at(6, 5)), hexAddress(Sptr<BaseAddress>(code->getData(1))));
    }
    EXPECT_EQ(hexAddress(at(6, 2)), hexAddress(device->getFlagBitmap()->getAddress()));
    EXPECT_EQ(hexAddress(at(5, 9)), hexAddress(read->getBuildInfo()->getAddress()));
    EXPECT_EQ(2 * BLOCKS * PAGES * SECTORS, device->getDiskInfo()->getTotalSectors());

    Sptr<ConfigInfo> run = device->getConfigInfo();
    EXPECT_EQ(0x2B3C, run->getVendorCode());  // its low 16 bits
    EXPECT_EQ(0x4D5E, run->getProductCode());
    EXPECT_EQ("Vendor12", run->getVendorString());
    EXPECT_EQ("Product Name", run->getProductString());
    EXPECT_EQ(std::string("LBL") + "04030201", run->getSerialNoLabel());
    EXPECT_EQ("secret", run->getPassword());
    ASSERT_EQ(2, run->getPartCount());
    EXPECT_EQ(kPart0, run->getPartInfo(0)->getCapacity());
    EXPECT_EQ(kPart1, run->getPartInfo(1)->getCapacity());
}

// A table whose flash record describes no flash is not taken: its pages
// would be looked for, and its units laid out, by a geometry of no device.
TEST_P(FlashTable, TableOfNoFlashIsNotAdopted)
{
    struct Case {
        const char* name;
        std::function<void(CfgTable&)> spoil;
    };
    const std::vector<Case> cases = {
        {"no pages", [](CfgTable& t) { t.getFlashCtrl()->record().wPagesPerBlock = 0; }},
        {"no sectors", [](CfgTable& t) { t.getFlashCtrl()->record().bSectorsPerPage = 0; }},
        {"no chips", [](CfgTable& t) { t.getCodeCtrl()->record().bCeCount = 0; }},
        {"2^40 blocks", [](CfgTable& t) { t.getFlashCtrl()->record().bBlockPerChipExp = 40; }},
        {"more sectors than an int numbers",
         [](CfgTable& t) {
             t.getFlashCtrl()->record().bBlockPerChipExp = 16;
             t.getFlashCtrl()->record().wPagesPerBlock = 1024;
             t.getFlashCtrl()->record().bSectorsPerPage = 64;
         }},
        // 65536 blocks fit, the 66046 its fields can name do not.
        {"blocks it can name past an int",
         [](CfgTable& t) {
             t.getFlashCtrl()->record().bBlockPerChipExp = 16;
             t.getFlashCtrl()->record().wPagesPerBlock = 1023;
             t.getFlashCtrl()->record().bSectorsPerPage = 32;
             t.getCodeCtrl()->record().wCfgTblBlkAddr = 0xFFFF;
         }},
    };
    UsbConfiguration::instance()->setCurrentFunction(Tessor::schema::FUNCTION_USER);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        // The controller boots no such table: the version block carries it.
        Sptr<CfgTable> table = newTable(CFG_TABLE_DEVICE);
        ASSERT_EQ(0, table->finish(device));
        placeSystemPages(*table);
        c.spoil(*table);
        const std::vector<uint8_t> block = image(*table);
        ASSERT_TRUE(Tessor::schema::VersionInfo(block.data()).checkCfgTable());
        EXPECT_FALSE(adoptCfgTable(device, block.data()));
        EXPECT_EQ(table, device->getCfgTable());
    }
}

INSTANTIATE_TEST_SUITE_P(Variants, FlashTable, ::testing::Values("6716", "6716V31", "6726", "6605"));

// A 6716V31 on triple-level-cell flash: 256 pages a block, 192 of them real.
class TlcFlash : public TableDevice {
protected:
    static constexpr int kPages = 256;

    TlcFlash() : TableDevice("6716V31")
    {
        extraKeys = {{"Device.PagesPerBlock", "256"}, {"Device.RealPagesPerBlock", "192"}};
    }

    void SetUp() override
    {
        TableDevice::SetUp();
        giveGeometry(CHIPS, BLOCKS, kPages, SECTORS);
        device->getFlashInfo()->getChipInfo()->TLC = 1;
        device->getFlashInfo()->getChipInfo()->RealPagePerBlock = 192;
    }
};

// Every system-area writer here writes a free partner page before its own
// page; a partner that holds a system page of the device is left alone.
TEST_F(TlcFlash, PartnerPageIsWrittenFirstUnlessASystemPageSitsThere)
{
    Sptr<CfgTable> table = newTable(CFG_TABLE_DEVICE);
    ASSERT_EQ(0, table->finish(device));
    Sptr<Tessor::usb::AllocatAddress> set(new Tessor::usb::AllocatAddress());
    set->setFlagTableAddress(at(7, 6));
    device->getAllocatAddress()->addData(Sptr<Tessor::schema::BaseData>(set));
    struct Case {
        const char* writer;
        int block, page;
        std::vector<std::string> pages;
    };
    const Case cases[] = {
        {"table", 5, 10, {"5:6", "5:10"}},
        {"table", 7, 10, {"7:10"}},  // the flag table sits on its partner
        {"table", 6, 9, {"6:9"}},     // a page without partner
        {"table", 6, 191, {"6:189", "6:191"}},
        {"index", 8, 10, {"8:6", "8:10"}},
        {"build", 9, 4, {"9:1", "9:4"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.writer) + " at " + std::to_string(c.block) + ":" + std::to_string(c.page));
        const size_t before = opLog().size();
        if (std::string(c.writer) == "table") {
            table->setAddress(at(c.block, c.page));
            ASSERT_EQ(0, table->writeFlash(device));
            EXPECT_EQ(0, table->validateFlash(device));
        } else if (std::string(c.writer) == "index") {
            CfgTableIndex index(device);
            Sptr<BaseAddress> copies(new BaseAddress(device, 0, 0, 0));
            copies->addData(Sptr<Tessor::schema::BaseData>(at(c.block, c.page)));
            index.setAddress(copies);
            ASSERT_EQ(0, index.writeFlash(device));
            EXPECT_EQ(0, index.validateFlash(device));
        } else {
            table->getBuildInfo()->setAddress(at(c.block, c.page));
            ASSERT_EQ(0, table->getBuildInfo()->writeFlash(device));
        }
        EXPECT_EQ(c.pages, programmedSince(before, kPages));
    }
    // Both copies of the table hold the same sector.
    const unsigned char* read = device->readFlashSectors(at(5, 6), 1);
    ASSERT_NE(read, nullptr);
    const std::vector<uint8_t> partner(read, read + 512);
    read = device->readFlashSectors(at(5, 10), 1);
    ASSERT_NE(read, nullptr);
    EXPECT_TRUE(std::equal(partner.begin(), partner.end(), read));
    EXPECT_TRUE(Tessor::taval::isValidTable(partner.data()));
}

// A 6716 whose flash changes a bit in what it returns of the table's page
// (block 5, page 3) and of block 7's page 0, and fails to program block 8's page 0.
class FaultyFlash : public TableDevice {
protected:
    FaultyFlash() : TableDevice("6716")
    {
        extraKeys = {{"Faults.ChangedPages", std::to_string(5 * PAGES + 3) + "," + std::to_string(7 * PAGES)},
                     {"Faults.ProgramFailPages", std::to_string(8 * PAGES)}};
    }

    Sptr<BaseAddress> pages(std::initializer_list<int> blocks)
    {
        Sptr<BaseAddress> container(new BaseAddress(device, 0, 0, 0));
        for (int b : blocks) {
            container->addData(Sptr<Tessor::schema::BaseData>(at(b, 0)));
        }
        return container;
    }
};

TEST_F(FaultyFlash, TableReadBackIsComparedWithWhatWasWrittenThere)
{
    Sptr<CfgTable> table = newTable(CFG_TABLE_DEVICE);
    ASSERT_EQ(0, table->finish(device));
    table->setAddress(at(4, 1));
    ASSERT_EQ(0, table->writeFlash(device));
    // Finished again for the next address set: the page still holds what was written.
    device->getConfigInfo()->setProductString("Another");
    ASSERT_EQ(0, table->finish(device));
    EXPECT_EQ(0, table->validateFlash(device));

    table->setAddress(at(5, 3));
    ASSERT_EQ(0, table->writeFlash(device));
    EXPECT_EQ(-1, table->validateFlash(device));
    table->setAddress(at(9, 0));
    EXPECT_EQ(-1, table->validateFlash(device)) << "nothing written there";
}

TEST_F(FaultyFlash, IndexRecordCopiesAreWrittenAndEveryOneChecked)
{
    Sptr<CfgTable> table = newTable(CFG_TABLE_DEVICE);
    table->setAddress(at(5, 3));
    CfgTableIndex index(device);
    index.setAddress(pages({6, 10}));
    const int before = programs();
    ASSERT_EQ(0, index.writeFlash(device));
    EXPECT_EQ(2, programs() - before);
    const std::vector<Tessor::taval::OpRecord> log = opLog();
    EXPECT_EQ(CfgTableIndex::kSectors, log.back().args[2]);
    EXPECT_EQ(0, index.validateFlash(device));

    index.setAddress(pages({6, 7}));
    ASSERT_EQ(0, index.writeFlash(device));
    EXPECT_EQ(-1, index.validateFlash(device));
    index.setAddress(pages({8, 11}));
    EXPECT_EQ(-1, index.writeFlash(device));
}

TEST_F(FaultyFlash, NoPasswordReachesTheLogOrASavedImageName)
{
    test_support::LogCapture log(Tessor::schema::LOG_DHB);
    Sptr<PartInfo> hidden(new PartInfo(500));
    hidden->setIsEncrypted(true);
    device->getConfigInfo()->addPartInfo(hidden);
    Sptr<CfgTable> table = newTable(CFG_TABLE_DEVICE);
    ASSERT_EQ(0, table->finish(device));
    ASSERT_EQ("secret", std::string(table->getCfgTblInfo()->password));
    placeSystemPages(*table);
    table->setAddress(at(5, 3));
    table->getBuildInfo()->setAddress(at(5, 9));
    ASSERT_EQ(0, table->getBuildInfo()->writeFlash(device));
    ASSERT_EQ(0, table->writeFlash(device));
    EXPECT_EQ(-1, table->validateFlash(device));  // dumps what it read back
    replug();
    UsbConfiguration::instance()->setCurrentFunction(Tessor::schema::FUNCTION_USER);
    ASSERT_TRUE(adoptCfgTable(device, device->readVersionInfo()));
    ASSERT_EQ("secret", device->getConfigInfo()->getPassword());

    const std::string text = log.text();
    EXPECT_NE(std::string::npos, text.find("Build Info"));
    EXPECT_EQ(std::string::npos, text.find("secret"));
    EXPECT_EQ(std::string::npos, text.find("73 65 63 72 65 74"));
    for (const auto& file : std::filesystem::directory_iterator(folder)) {
        EXPECT_EQ(std::string::npos, file.path().filename().string().find("secret"));
    }
}

// The index record on a geometry of 64 pages per block: the table on block 3,
// page 5 is page 197.
class IndexRecord : public DeviceFixture {};

TEST_F(IndexRecord, GoldenBytesInFourCopies)
{
    UsbConfiguration::instance()->setChipSet("6716");
    struct Case {
        int busWord;
        int sectors;
        const char* record;
    };
    for (const Case& c : {Case{0, 4, "A5 33 31 F0 00 00 00 C5 42 D0 E5 48"},
                          Case{1, 8, "A5 33 31 C3 00 00 00 C5 42 E3 E5 62"}}) {
        giveGeometry(1, 1024, 64, c.sectors);
        device->getFlashInfo()->getChipInfo()->BusWord = c.busWord;
        Sptr<CfgTable> table(new CfgTable(device, "ConfigTable", CFG_TABLE_DEVICE));
        device->setCfgTable(table);
        table->setAddress(Sptr<BaseAddress>(new BaseAddress(device, 3, 5, 0)));
        table->getCodeCtrl()->record().bSysStart0 = 0x42;
        CfgTableIndex index(device);
        ASSERT_EQ(0, index.update(device));
        const std::vector<uint8_t> image(index.image(), index.image() + CfgTableIndex::kImageSize);
        int sum = 0;
        for (int i = 0; i < 12; i += 2) {
            sum += image[i] << 8 | image[i + 1];
        }
        EXPECT_EQ(0, sum & 0xFFFF);
        for (int copy = 0; copy < 4; ++copy) {
            std::vector<uint8_t> expected = hexBytes(c.record);
            expected.resize(512, 0xCC);
            EXPECT_EQ(hexText(expected), hexText(std::vector<uint8_t>(image.begin() + 512 * copy,
                                                                      image.begin() + 512 * (copy + 1))));
        }
    }
}

}  // namespace
