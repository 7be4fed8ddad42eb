// Firmware images taken through the simulated controller: RAM downloads in
// the mode of the device's state, a photo-frame image of two pieces written
// to its page slots and read back, and the dumps of a mismatch.
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>

#include "schema/device/BaseAddress.h"
#include "schema/device/SimulatedDevice.h"
#include "schema/state/DeviceStateType.h"
#include "support/StationFolder.h"
#include "usb/cfg/AllocatAddress.h"
#include "usb/cfg/CfgTable.h"
#include "usb/cfg/CmdExternalCode.h"
#include "usb/cfg/CodeData.h"
#include "usb/cfg/CodeFactory.h"
#include "usb/cfg/ExternalCodeIndex.h"

using Tessor::schema::BaseAddress;
using Tessor::schema::BaseData;
using Tessor::schema::UsbConfiguration;
using Tessor::taval::OpKind;
using Tessor::usb::CmdExternalCode;
using Tessor::usb::CodeData;
using Tessor::usb::CodeFactory;
namespace fs = std::filesystem;

namespace {

// Where a failed read-back leaves what was written and what was read.
std::string dump(const std::string& name) { return UsbConfiguration::instance()->getOutputPath(name); }

class CodeOnDevice : public SimulatedDevice {
protected:
    void SetUp() override
    {
        SimulatedDevice::SetUp();
        station.emplace(folder);
        UsbConfiguration* c = UsbConfiguration::instance();
        c->setChipSet("6716");
        c->setDpfSupport(true);
        ASSERT_EQ(CodeFactory::init(), 0);
        device->setCfgTable(Sptr<Tessor::usb::CfgTable>(
            new Tessor::usb::CfgTable(device, "ConfigTable", Tessor::usb::CFG_TABLE_DEVICE)));
        ASSERT_NE(device->readVersionInfo(), nullptr);
        device->getCfgTable()->getCodeCtrl()->record().bSetSectorsPerPage[0] = SECTORS;
    }
    void TearDown() override
    {
        station.reset();
        SimulatedDevice::TearDown();
    }

    // Page slots 0.. at pages of `block`.
    Sptr<BaseAddress> slots(int block, int count)
    {
        Sptr<BaseAddress> all(new BaseAddress(device, block, 0, 0));
        for (int i = 0; i < count; ++i) {
            all->addData(Sptr<BaseData>(new BaseAddress(device, block, i, 0)));
        }
        return all;
    }

    std::vector<Tessor::taval::OpRecord> ops(OpKind kind)
    {
        std::vector<Tessor::taval::OpRecord> out;
        for (const Tessor::taval::OpRecord& r : opLog()) {
            if (r.kind == kind) {
                out.push_back(r);
            }
        }
        return out;
    }

    std::optional<code_test::StationFolder> station;
};

TEST_F(CodeOnDevice, RamDownloadsTakeTheModeOfTheState)
{
    Sptr<CmdExternalCode> code = CodeFactory::instance()->getCommand(CMD_EXTERNAL_4_HIGH_FORMAT);
    ASSERT_EQ(code->writeFlash(device), 0);
    device->setState(device->findState(Tessor::schema::STATE_HIGH_FORMAT));
    ASSERT_EQ(code->writeFlash(device), 0);
    const auto downloads = ops(OpKind::CodeDownload);
    ASSERT_EQ(downloads.size(), 2u);
    EXPECT_EQ(downloads[0].args[0], 0);
    EXPECT_EQ(downloads[1].args[0], 1);
    EXPECT_EQ(downloads[0].args[1], 8 * 512);
    EXPECT_EQ(code->validateFlash(device), 0);

    // The controller took both sealed pieces with their modes; a piece not
    // made by the factory is refused.
    std::vector<unsigned char> raw(4096, 0x5A);
    raw[0] = 0;
    EXPECT_NE(device->downloadExternalCode(0, raw.data(), 4096), 0);
    const std::vector<Tessor::taval::CodePiece> ram = hub->device(0)->ramCode();
    ASSERT_EQ(ram.size(), 2u);
    EXPECT_EQ(ram[0].mode, 0);
    EXPECT_EQ(ram[1].mode, 1);
    EXPECT_EQ(hub->device(0)->firmwareModes(), (std::vector<int>{0, 1}));
}

// With photo-frame support the external code has two pieces of 8 sectors;
// on pages of 4 each piece has two slots of its own, the second piece
// starting at slot 2.
TEST_F(CodeOnDevice, EveryPieceOfAFlashImageIsWrittenAndValidated)
{
    CmdExternalCode code("ExternalCode", CODE_TYPE_FLASH);
    EXPECT_EQ(code.writeFlash(device), -1);  // no address yet
    EXPECT_EQ(code.validateFlash(device), -1);

    ASSERT_EQ(code.getPagesPerPiece(SECTORS), 2);
    // A set using three sectors of each page: the piece's last page is partly filled.
    EXPECT_EQ(code.getPagesPerPiece(3), 3);
    code.setAddress(slots(7, 4));
    ASSERT_EQ(code.writeFlash(device), 0);
    EXPECT_EQ(ops(OpKind::Program).size(), 4u);
    ASSERT_EQ(code.validateFlash(device), 0);

    // Slot 2 holds the start of the file's second 4 KB step, sealed
    // pieces aside.
    const dpf_test::Bytes file = code_test::contentOf(code_test::images().front());
    const unsigned char* page = device->readFlashSectors(Sptr<BaseAddress>(new BaseAddress(device, 7, 2, 0)), SECTORS);
    ASSERT_NE(page, nullptr);
    EXPECT_EQ(0, std::memcmp(page, file.data() + 4096, SECTORS * 512));

    // A slot that reads back other bytes fails and leaves both dumps.
    Sptr<BaseAddress> moved = slots(7, 4);
    moved->clearData();
    for (int i : {0, 1, 2}) {
        moved->addData(Sptr<BaseData>(new BaseAddress(device, 7, i, 0)));
    }
    moved->addData(Sptr<BaseData>(new BaseAddress(device, 8, 0, 0)));
    code.setAddress(moved);
    EXPECT_EQ(code.validateFlash(device), -1);
    EXPECT_EQ(fs::file_size(dump("Read")), SECTORS * 512u);
    EXPECT_EQ(fs::file_size(dump("Write")), SECTORS * 512u);

    // Too few slots for the second piece.
    code.setAddress(slots(9, 3));
    EXPECT_EQ(code.writeFlash(device), -1);
}

dpf_test::Bytes fileBytes(const char* name)
{
    std::ifstream in(name, std::ios::binary);
    return dpf_test::Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// Triple-level-cell flash of 94 real pages, where page 124 (block 7, page
// 12) reads back with a bit flipped in each sector.
class TlcCodeOnDevice : public CodeOnDevice {
protected:
    void SetUp() override
    {
        extraKeys = {{"Faults.ChangedPages", "124"}};
        CodeOnDevice::SetUp();
        device->getFlashInfo()->getChipInfo()->TLC = 1;
        device->getFlashInfo()->getChipInfo()->RealPagePerBlock = 94;
    }
};

// Each code page and the code index go to their free partner first; a
// partner holding a system page is left alone. The flipped bit fails the
// read-back and leaves the expected and the read bytes as dumps.
TEST_F(TlcCodeOnDevice, PartnersFirstAndTheFlippedBitDumped)
{
    Sptr<Tessor::usb::AllocatAddress> set(new Tessor::usb::AllocatAddress());
    set->setBuildInfoAddress(Sptr<BaseAddress>(new BaseAddress(device, 7, 5, 0)));
    device->getAllocatAddress()->addData(Sptr<BaseData>(set));

    CmdExternalCode code("ExternalCode", CODE_TYPE_FLASH);
    Sptr<BaseAddress> slots(new BaseAddress(device, 7, 0, 0));
    for (int page : {6, 9, 12, 13}) {
        slots->addData(Sptr<BaseData>(new BaseAddress(device, 7, page, 0)));
    }
    code.setAddress(slots);
    size_t before = opLog().size();
    ASSERT_EQ(code.writeFlash(device), 0);
    EXPECT_EQ(programmedSince(before), (std::vector<std::string>{"7:2", "7:6", "7:9", "7:8", "7:12", "7:13"}));

    Tessor::usb::ExternalCodeIndex index;
    before = opLog().size();
    ASSERT_EQ(index.writeFlash(device, Sptr<BaseAddress>(new BaseAddress(device, 8, 6, 0))), 0);
    EXPECT_EQ(programmedSince(before), (std::vector<std::string>{"8:2", "8:6"}));

    fs::remove(dump("Read"));
    fs::remove(dump("Write"));
    EXPECT_EQ(code.validateFlash(device), -1);
    const dpf_test::Bytes expected = fileBytes(dump("Read").c_str());
    const dpf_test::Bytes read = fileBytes(dump("Write").c_str());
    ASSERT_EQ(expected.size(), SECTORS * 512u);
    ASSERT_EQ(read.size(), expected.size());
    // The page reads back with one bit flipped in each of its sectors.
    for (int sector = 0; sector < SECTORS; ++sector) {
        int flipped = 0;
        for (size_t i = sector * 512u; i < (sector + 1) * 512u; ++i) {
            flipped += __builtin_popcount(static_cast<unsigned>(read[i] ^ expected[i]));
        }
        EXPECT_EQ(flipped, 1) << sector;
    }
}

}  // namespace
