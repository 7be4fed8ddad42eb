// The tool's own scan commands (the UsbDevice vendor read and slot 21)
// against the simulated scan firmware: every chip and sector form the scans
// send must land on the sectors the host means, and the result bits must
// come back where the host reads them.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ScanTestSupport.h"
#include "schema/device/BaseAddress.h"
#include "schema/device/SimulatedDevice.h"

using namespace Tessor::schema;

namespace {

constexpr unsigned char PATTERN_BLOCK[4] = {0, 0x55, 0xAA, 1};

bool failed(const unsigned char* result, int bit) { return (result[bit / 8] >> (bit % 8) & 1) != 0; }

class DeviceScanCommandTest : public SimulatedDevice {
public:
    static constexpr int SPB = PAGES * SECTORS;
    static constexpr int TOTAL = CHIPS * PER_CHIP;

    // One way the scans name the first unit of a command: op 1 through the
    // vendor read (true on success), op 2 giving the result bits or null.
    struct Form {
        const char* name;
        bool (DeviceScanCommandTest::*write)(int block, int page, int jump, int repeat);
        const unsigned char* (DeviceScanCommandTest::*read)(int block, int page, int jump, int repeat);
    };

    void giveRamLayout(int maxChips) {
        scan_test::Layout layout;
        layout.maxChips = maxChips;
        ASSERT_EQ(device->writeConfigTable2Ram(scan_test::ramTable6716(layout).data()), 0);
    }
    uint64_t disagreements() { return hub->device(0)->addressDisagreements(); }

    // Chip = sector / G, sector mod G with G the sectors of a chip group
    // (one chip without ganging): the full scan. The pre-scan's chip =
    // block / blocks per chip with the sector inside that chip is the same pair.
    static unsigned char chipOf(int block, int page) {
        return static_cast<unsigned char>(sectorOf(block, page) / PER_CHIP);
    }
    static unsigned inChip(int block, int page) { return static_cast<unsigned>(sectorOf(block, page) % PER_CHIP); }
    static int sectorOf(int block, int page) { return block * SPB + page * SECTORS; }

    bool chipWrite(int block, int page, int jump, int repeat) {
        return device->readScanSectors(chipOf(block, page), inChip(block, page), PATTERN_BLOCK, 1, jump, repeat, 0,
                                       result.data());
    }
    const unsigned char* chipRead(int block, int page, int jump, int repeat) {
        return device->readScanSectors(chipOf(block, page), inChip(block, page), PATTERN_BLOCK, 2, jump, repeat, 0,
                                       result.data())
                   ? result.data()
                   : nullptr;
    }
    const unsigned char* slotChipRead(int block, int page, int jump, int repeat) {
        return device->readScanSectors(chipOf(block, page), inChip(block, page), PATTERN_BLOCK, 2, jump, repeat, 1);
    }
    // The address forms: the address's chip with its device-wide sector.
    bool addressWrite(int block, int page, int jump, int repeat) {
        Sptr<BaseAddress> a(new BaseAddress(device, block, page, 0));
        return device->readScanSectors(a, PATTERN_BLOCK, 1, jump, repeat, 0, result.data()) != nullptr;
    }
    const unsigned char* addressRead(int block, int page, int jump, int repeat) {
        Sptr<BaseAddress> a(new BaseAddress(device, block, page, 0));
        return device->readScanSectors(a, PATTERN_BLOCK, 2, jump, repeat, 1, result.data());
    }
    const unsigned char* slotAddressRead(int block, int page, int jump, int repeat) {
        Sptr<BaseAddress> a(new BaseAddress(device, block, page, 0));
        return device->readScanSectors(a, PATTERN_BLOCK, 2, jump, repeat, 1);
    }

    std::vector<unsigned char> result = std::vector<unsigned char>(UsbDevice::VENDOR_READ_LENGTH);
};

}  // namespace

TEST_F(DeviceScanCommandTest, EveryAddressFormScansTheSectorsTheHostMeans) {
    giveRamLayout(0);
    const Form forms[] = {
        {"chip and sector in chip", &DeviceScanCommandTest::chipWrite, &DeviceScanCommandTest::chipRead},
        {"address, vendor read", &DeviceScanCommandTest::addressWrite, &DeviceScanCommandTest::addressRead},
        {"address, slot 21", &DeviceScanCommandTest::addressWrite, &DeviceScanCommandTest::slotAddressRead},
        {"chip and sector in chip, slot 21", &DeviceScanCommandTest::chipWrite, &DeviceScanCommandTest::slotChipRead},
    };
    // Block 3 of chip 1, page 2; four units one block apart are written, five read.
    const int block = BLOCKS + 3;
    const int page = 2;
    for (const Form& writer : forms) {
        for (const Form& reader : forms) {
            SCOPED_TRACE(std::string(writer.name) + " / " + reader.name);
            ASSERT_EQ(device->eraseChip(), 0);
            ASSERT_TRUE((this->*writer.write)(block, page, SPB, 4));
            const unsigned char* bits = (this->*reader.read)(block, page, SPB, 5);
            ASSERT_NE(bits, nullptr);
            for (int bit = 0; bit < 24; ++bit) {
                EXPECT_EQ(failed(bits, bit), bit >= 4 * SECTORS) << bit;
            }
            // The pattern lies on chip 1, where the host put it, and nowhere on chip 0.
            const unsigned char* onChip1 = device->readFlashSectors(1, 4 * SPB + page * SECTORS, 1);
            ASSERT_NE(onChip1, nullptr);
            EXPECT_EQ(onChip1[0], 0x55);
            EXPECT_EQ(onChip1[1], 0xAA);
            const unsigned char* onChip0 = device->readFlashSectors(0, 4 * SPB + page * SECTORS, 1);
            ASSERT_NE(onChip0, nullptr);
            EXPECT_EQ(onChip0[0], 0xFF);
        }
    }
    EXPECT_EQ(disagreements(), 0u);
}

// Two ganged chips (W = 2): one command covers a unit on each chip, and the
// result bits of unit (t, k) lie at (t x W + k) x sectors per page, as the
// full scan's read-back spreads them.
TEST_F(DeviceScanCommandTest, GangedChipsTakeTheFullScanChipGroupForm) {
    giveRamLayout(1);
    constexpr int W = 2;
    ASSERT_EQ(device->eraseChip(), 0);
    // The full scan's listed sector of block 3, page 2, and its command.
    const unsigned s = 3 * SPB + 2 * SECTORS * W;
    const int groupSectors = W * PER_CHIP;
    const int jump = SPB * W;
    ASSERT_TRUE(device->readScanSectors(static_cast<unsigned char>(s / groupSectors), s % groupSectors,
                                        PATTERN_BLOCK, 1, jump, 3, 0, result.data()));
    ASSERT_TRUE(device->readScanSectors(static_cast<unsigned char>(s / groupSectors), s % groupSectors,
                                        PATTERN_BLOCK, 2, jump, 4, 0, result.data()));
    // The host's mapping of the read-back, written out for one plane.
    const int r = s % (SPB * W);
    const int base = (s - r) / W + r / W;
    for (int t = 0; t < 4; ++t) {
        for (int k = 0; k < W; ++k) {
            const int sector = base + t * jump / W + k * (TOTAL / W);
            SCOPED_TRACE(testing::Message() << "t " << t << " k " << k << " sector " << sector);
            const int bit = (t * W + k) * SECTORS;
            for (int i = 0; i < SECTORS; ++i) {
                EXPECT_EQ(failed(result.data(), bit + i), t == 3) << i;
            }
            const unsigned char* data = device->readFlashSectors(sector / PER_CHIP, sector % PER_CHIP, 1);
            ASSERT_NE(data, nullptr);
            EXPECT_EQ(data[0], t == 3 ? 0xFF : 0x55);
        }
    }
    EXPECT_EQ(disagreements(), 0u);
}
