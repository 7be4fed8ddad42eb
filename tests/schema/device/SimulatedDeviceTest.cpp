#include <gtest/gtest.h>

#include <array>
#include <vector>

#include "SimulatedDevice.h"
#include "schema/base/RunAgent.h"
#include "schema/device/BaseAddress.h"
#include "schema/event/UiEvent.h"
#include "schema/ops/BaseOperator.h"

using namespace Tessor::schema;
using Tessor::taval::OpKind;
using Tessor::taval::OpRecord;

namespace {

std::vector<unsigned char> pattern(int sectors, unsigned char seed)
{
    std::vector<unsigned char> data(sectors * 512);
    for (size_t i = 0; i < data.size(); ++i) {
        data[i] = static_cast<unsigned char>(seed + i * 7);
    }
    return data;
}

// Keeps the reports sent to the UI.
class ReportSink : public BaseManager {
public:
    ReportSink() : BaseManager(nullptr, "UiMgr") {}
    void reportEvent(const Sptr<BaseEvent>& event) override { reports.push_back(Sptr<UiEvent>(event)); }
    std::vector<Sptr<UiEvent>> reports;
};

class Reporter : public BaseOperator {
public:
    Reporter() : BaseOperator("Reporter", 0) {}
    Sptr<BaseState> process(Sptr<BaseEvent>) override { return Sptr<BaseState>(); }
};

}  // namespace

using SimulatedDeviceTest = SimulatedDevice;

// The library frees a device's record once it is closed, which the device
// thread does while the UI may still be reading the device's last reports.
TEST_F(SimulatedDeviceTest, ReportsKeepTheDriveTextOfADeviceTheLibraryHasClosed)
{
    ReportSink sink;
    RunAgent::attachUi(&sink);
    Sptr<UiEvent> cause(new UiEvent());
    cause->setDevice(device);
    Reporter().sendUiEvent(Sptr<BaseEvent>(cause), UI_SIG_FOUND);
    RunAgent::detachUi();
    ASSERT_EQ(hub->command(plugged().load(), HW_CMD_CLOSE_DEVICE), 1);
    ASSERT_EQ(sink.reports.size(), 1u);
    EXPECT_EQ(sink.reports[0]->getDriveText(), "SIMD");
}

TEST_F(SimulatedDeviceTest, CommandsReachTheirSlotsWithTheirArguments)
{
    unsigned char data[512] = {};
    std::vector<unsigned char> table(512, 0xFF);
    Sptr<BaseAddress> address(new BaseAddress(device, BLOCKS + 5, 2, 1));
    const int wide = ((BLOCKS + 5) * PAGES + 2) * SECTORS + 1;
    struct Case {
        const char* command;
        bool result;   // the command's own result was the expected one
        int accepted;  // whether the simulated device carried it out
        OpKind kind;
        std::array<int64_t, 3> args;
    };
    // An unsigned table is refused: the call must still arrive, and fail.
    // What the scan firmware makes of its commands is its own business here.
    enum { REFUSED, DONE, ANY };
    const Case cases[] = {
        {"eraseBlocks", device->eraseBlocks(BLOCKS + 3, 2) == 0, DONE, OpKind::Erase, {1, 3 * PAGES * SECTORS, 2}},
        {"eraseOneBlock", device->eraseOneBlock(address) == 0, DONE, OpKind::Erase, {1, 5 * PAGES * SECTORS, 1}},
        {"writeFlash", device->writeFlashSectors(address, 1, data) == 0, DONE, OpKind::Program, {1, wide, 1}},
        {"readFlash", device->readFlashSectors(address, 1) != nullptr, DONE, OpKind::Read, {1, wide, 1}},
        {"readFlashInChip", device->readFlashSectors(1, 9, 2) != nullptr, DONE, OpKind::Read, {1, PER_CHIP + 9, 2}},
        {"writeL1", device->writeL1IndexTable(address, 3, data) == 0, DONE, OpKind::IndexTable, {1, wide, 3}},
        {"readNoEcc", device->readSectorsNoEcc(address, 1) != nullptr, DONE, OpKind::RawRead, {1, wide, 1}},
        {"writeNoEcc", device->writeSectorsNoEcc(1, 4, 1, data, 9) == 0, DONE, OpKind::RawWrite,
         {1, PER_CHIP + 4, 1}},
        {"writeLogical", device->writeLogicalSectors(10, 1, data) == 0, DONE, OpKind::LogicalWrite, {10, 1, 0}},
        {"readLogical", device->readLogicalSectors(10, 1) != nullptr, DONE, OpKind::LogicalRead, {10, 1, 0}},
        {"readFlashId", device->readFlashId(1, FLASH_TYPE_INTERLEAVED) != nullptr, DONE, OpKind::FlashId, {1, 0, 0}},
        {"download", device->downloadExternalCode(1, data, 512) == 0, DONE, OpKind::CodeDownload, {1, 512, 0}},
        {"tableToRam", device->writeConfigTable2Ram(table.data()) == -1, REFUSED, OpKind::TableToRam, {0, 0, 0}},
        {"protect", device->partitionProtect(0, 0) == 0, DONE, OpKind::Protect, {0, 0, 0}},
        {"switch", device->switchPartition(0) == 0, DONE, OpKind::Switch, {0, 0, 0}},
        {"reset", device->resetDevice(2) == 0, DONE, OpKind::Reset, {2, 0, 0}},
        {"lock", device->volumeControl(VOLUME_LOCK) == 0, DONE, OpKind::Volume, {0, 0, 0}},
        {"unlock", device->volumeControl(VOLUME_UNLOCK) == 0, DONE, OpKind::Volume, {1, 0, 0}},
        {"runStart", device->volumeControl(VOLUME_RUN_START) == 0, DONE, OpKind::Volume, {3, 0, 0}},
        {"scanWrite", ((void)device->writeScanSectors(address, 2, 3, 4, 1, 1, data), true), ANY, OpKind::ScanWrite,
         {3 | 2 << 8, wide, 4 << 16 | 1}},
        {"scanRead", ((void)device->readScanSectors(address, data, 2, 4, 1, 1), true), ANY, OpKind::ScanRead,
         {2 | 1 << 8, wide, 4 << 16 | 1}},
        {"version", device->readVersionInfo() != nullptr, DONE, OpKind::ReadVersion, {0, 0, 0}},
        {"eject", device->ejectDisk() == 0, DONE, OpKind::EjectCommand, {0, 0, 0}},
    };
    std::vector<OpRecord> log = opLog();
    const size_t count = sizeof(cases) / sizeof(cases[0]);
    ASSERT_GE(log.size(), count);
    for (size_t i = 0; i < count; ++i) {
        SCOPED_TRACE(cases[i].command);
        EXPECT_TRUE(cases[i].result);
        if (cases[i].accepted != ANY) {
            EXPECT_EQ(log[i].ok, cases[i].accepted == DONE);
        }
        EXPECT_EQ(log[i].kind, cases[i].kind);
        EXPECT_EQ(log[i].args[0], cases[i].args[0]);
        EXPECT_EQ(log[i].args[1], cases[i].args[1]);
        EXPECT_EQ(log[i].args[2], cases[i].args[2]);
    }
    ASSERT_TRUE(device->getVersion());
    EXPECT_EQ(device->getVersion()->getVersionNumber(), 300);
}

TEST_F(SimulatedDeviceTest, FlashDataReadsBackEqualOnEveryChipWithoutAddressDisagreements)
{
    ASSERT_EQ(device->eraseChip(), 0);
    struct Case {
        int chip, sectorInChip, count;
    };
    for (Case c : {Case{0, 0, 4}, Case{0, PER_CHIP - 8, 8}, Case{1, 0, 4}, Case{1, 300, 300}}) {
        SCOPED_TRACE(testing::Message() << c.chip << ":" << c.sectorInChip);
        std::vector<unsigned char> data = pattern(c.count, static_cast<unsigned char>(c.chip * 31 + c.count));
        ASSERT_EQ(device->writeFlashSectors(c.chip, c.sectorInChip, c.count, data.data()), 0);
        // Read back through the other form: an address made from the linear number.
        Sptr<DiskInfo> geometry(new DiskInfo(CHIPS, BLOCKS, PAGES, SECTORS));
        Sptr<BaseAddress> address(new BaseAddress(geometry, c.chip * PER_CHIP + c.sectorInChip));
        const unsigned char* read = device->readFlashSectors(address, c.count);
        ASSERT_NE(read, nullptr);
        EXPECT_TRUE(std::equal(data.begin(), data.end(), read));
    }
    EXPECT_EQ(hub->device(0)->addressDisagreements(), 0u);
}

TEST_F(SimulatedDeviceTest, LogicalDataReadsBackEqual)
{
    std::vector<unsigned char> data = pattern(16, 5);
    ASSERT_EQ(device->writeLogicalSectors(100, 16, data.data()), 0);
    const unsigned char* read = device->readLogicalSectors(100, 16);
    ASSERT_NE(read, nullptr);
    EXPECT_TRUE(std::equal(data.begin(), data.end(), read));
}

TEST_F(SimulatedDeviceTest, VendorReadIsTriedThreeTimesUntilItSucceeds)
{
    const unsigned char param4[4] = {2, 0x55, 0xAA, 1};
    std::array<unsigned char, UsbDevice::VENDOR_READ_LENGTH> buffer{};
    struct Case {
        unsigned int sector;  // beyond the flash the device answers with a check condition
        bool ok;
        size_t attempts;
    };
    for (Case c : {Case{0x12345, false, 3}, Case{16, true, 1}}) {
        SCOPED_TRACE(c.sector);
        size_t before = opLog().size();
        EXPECT_EQ(device->readScanSectors(0, c.sector, param4, 2, 0x0102, 1, 1, buffer.data()), c.ok);
        std::vector<OpRecord> log = opLog();
        ASSERT_EQ(log.size() - before, c.attempts);
        for (size_t i = before; i < log.size(); ++i) {
            EXPECT_EQ(log[i].kind, OpKind::Vendor);
            EXPECT_EQ(log[i].args[0], 2 | 1 << 8);
            EXPECT_EQ(log[i].args[1], c.sector);
            EXPECT_EQ(log[i].args[2], 0x0102 << 16 | 1);
            EXPECT_EQ(log[i].ok, c.ok);
        }
    }
}

TEST_F(SimulatedDeviceTest, CommandsOnARemovedDeviceFailCleanly)
{
    ASSERT_EQ(hub->unplug(0), 0);
    hub->waitEventsDelivered();
    std::vector<unsigned char> data = pattern(1, 1);
    Sptr<BaseAddress> address(new BaseAddress(device, 0, 0, 0));
    EXPECT_EQ(device->writeFlashSectors(address, 1, data.data()), -1);
    EXPECT_EQ(device->readFlashSectors(address, 1), nullptr);
    EXPECT_EQ(device->eraseChip(), -0x802A);
    EXPECT_EQ(device->ejectDisk(), -0x8027);
    EXPECT_EQ(device->readVersionInfo(), nullptr);
    EXPECT_FALSE(device->readScanSectors(0, 0, data.data(), 2, 4, 1, 1, data.data()));
    EXPECT_EQ(device->writeLogicalSectors(0, 1, data.data()), -29);
}
