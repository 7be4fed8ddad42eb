#include <atomic>
#include <mutex>
#include <utility>

#include "ScanTestSupport.h"

using scan_test::Keys;
using scan_test::scanCdb;
using taval_test::Engine;
using taval_test::makeDevice;
using taval_test::TempFolder;

namespace {

struct PluggedScan {
    TempFolder dir;
    Engine engine{1};
    _USB_DEVICE_T* r = nullptr;
    DEV_OPERATIONS_T* ops = nullptr;

    explicit PluggedScan(const Keys& keys) {
        std::string error;
        EXPECT_EQ(engine.hub().plug(0, makeDevice(dir.path(), "d0", keys), &error), 0) << error;
        r = engine.record(0);
        ops = r->operations;
    }
    bool failed(const uint8_t* bits, int bit) const { return (bits[bit / 8] >> (bit % 8) & 1) != 0; }
};

// Small-page firmware: the host sends the sample with slot 20 and asks for
// the status with slot 21, then reads the result through the vendor command
// in its address form (one page a unit, 2048 units).
TEST(ScanSlots, HostDataWritesAreCheckedLikeThePattern) {
    PluggedScan p(Keys{{"Device.Variant", "6706"},
                       {"Device.Chips", "1"},
                       {"Device.BlocksPerChip", "64"},
                       {"Device.PagesPerBlock", "32"},
                       {"Device.SectorsPerPage", "1"},
                       {"Faults.BadBlocks", "2"}});
    const int spb = 32;
    ASSERT_NE(p.ops->eraseBlocks(p.r, 0, 0, 8), 0);
    const unsigned char prepare[2] = {0xFF, 0xFF};
    ASSERT_NE(p.ops->writeScanSectors(p.r, 0, 0, 0, 3, 0, 0, 1, prepare), 0);
    std::vector<unsigned char> sample(512);
    for (int page = 0; page < spb; ++page) {
        for (size_t i = 0; i < sample.size(); ++i) {
            sample[i] = uint8_t(i + page);
        }
        ASSERT_NE(p.ops->writeScanSectors(p.r, 0, page, 2, 1, spb, 4, 1, sample.data()), 0);  // blocks 0..3
    }
    const unsigned char param[4] = {2, 0x55, 0xAA, 1};
    ASSERT_NE(p.ops->readScanSectors(p.r, 0, 0, param, 1, spb, 4, 1), 0);  // status read
    ASSERT_EQ(p.r->dataLength, 1024);

    unsigned char result[1024];
    int status = -1;
    const std::vector<uint8_t> cdb = scanCdb(0, 0, 2, 1, 2048, 1, 2);
    ASSERT_NE(scsiPassThroughIn(p.r->diskHandle, cdb.data(), result, sizeof result, 20, &status), 0);
    ASSERT_EQ(status, 0);
    for (int bit = 0; bit < 2048; ++bit) {
        ASSERT_EQ(p.failed(result, bit), bit >= 4 * spb || bit / spb == 2) << bit;
    }
    // Slot 21's result read answers the same bits in the record's buffer.
    ASSERT_NE(p.ops->readScanSectors(p.r, 0, 0, param, 2, 1, 2048, 1), 0);
    EXPECT_EQ(std::vector<uint8_t>(p.r->dataBuffer, p.r->dataBuffer + 1024), std::vector<uint8_t>(result, result + 1024));

    // The host data really is on the flash.
    ASSERT_NE(p.ops->readFlashSectors(p.r, 0, 3 * spb + 7, 1), 0);
    EXPECT_EQ(p.r->dataBuffer[0], 7);
    EXPECT_EQ(p.r->dataBuffer[511], uint8_t(511 + 7));
}

// The operator's cancel arrives through the hub's hook after the n-th
// operation of the device, once.
TEST(ScanSlots, CancelRuleSetsTheCancelCodeAfterNCommands) {
    PluggedScan p(Keys{{"Faults.CancelAfter", "3"}, {"Faults.CancelCode", "0x8027"}});
    std::mutex mutex;
    std::vector<std::pair<int, int>> cancels;
    p.engine.hub().setCancelHook([&](int port, int code) {
        std::lock_guard<std::mutex> lock(mutex);
        cancels.emplace_back(port, code);
    });
    const std::vector<uint8_t> cdb = scanCdb(0, 0, 1, 4, 1);
    unsigned char result[1024];
    int status = -1;
    std::vector<size_t> seen;
    for (int i = 0; i < 5; ++i) {
        ASSERT_NE(scsiPassThroughIn(p.r->diskHandle, cdb.data(), result, sizeof result, 20, &status), 0);
        std::lock_guard<std::mutex> lock(mutex);
        seen.push_back(cancels.size());
    }
    EXPECT_EQ(seen, (std::vector<size_t>{0, 0, 1, 1, 1}));
    EXPECT_EQ(cancels[0], std::make_pair(0, 0x8027));
    p.engine.hub().setCancelHook(nullptr);
}

// Pulled out in the middle of a scan: the next command finds no device.
TEST(ScanSlots, RemovalAfterNCommandsEndsTheScanCleanly) {
    PluggedScan p(Keys{{"Faults.RemoveAfter", "2"}});
    const std::vector<uint8_t> cdb = scanCdb(0, 0, 1, 4, 1);
    unsigned char result[1024];
    int status = -1;
    EXPECT_NE(scsiPassThroughIn(p.r->diskHandle, cdb.data(), result, sizeof result, 20, &status), 0);
    EXPECT_NE(scsiPassThroughIn(p.r->diskHandle, cdb.data(), result, sizeof result, 20, &status), 0);
    EXPECT_EQ(scsiPassThroughIn(p.r->diskHandle, cdb.data(), result, sizeof result, 20, &status), 0);
    const unsigned char param[4] = {0, 0x55, 0xAA, 0};
    EXPECT_EQ(p.ops->readScanSectors(p.r, 0, 0, param, 2, 4, 1, 0), 0);
    const std::vector<int> kinds = p.engine.kinds();
    EXPECT_EQ(kinds.back(), HW_EVT_REMOVED);
}

}  // namespace
