// Simulated devices opened without a hub, RAM tables with a chosen plane
// layout, and the vendor scan command as the tool builds it.
#pragma once

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "TavalTestSupport.h"
#include "platform/taval/ConfigTableSector.h"
#include "platform/taval/VirtualDevice.h"

namespace scan_test {

using taval_test::Keys;

struct Layout {
    int maxPlanes = 0;
    int maxInterleaves = 0;
    int maxChips = 0;
    int readCycle = 0x13;
    int writeCycle = 0x13;
};

// A 6716 configuration sector whose FLASH_INFO (at 0x0C) carries the layout:
// plane byte at block offset 15, cycle bytes at 35 and 36.
inline std::vector<uint8_t> ramTable6716(const Layout& l) {
    std::vector<uint8_t> t(512, 0);
    const uint8_t sig[8] = {0x5A, 0xA5, 0x5A, 0xA5, 0x5A, 0xA5, 0x5A, 0xA5};
    std::memcpy(t.data(), sig, 8);
    t[0x0C + 15] = uint8_t(l.maxPlanes | l.maxInterleaves << 3 | l.maxChips << 5);
    t[0x0C + 35] = uint8_t(l.readCycle);
    t[0x0C + 36] = uint8_t(l.writeCycle);
    t[0x0C + 40] = 7;
    Tessor::taval::sealTable(t.data());
    return t;
}

// The command block of the tool's vendor scan read.
inline std::vector<uint8_t> scanCdb(int chip, uint32_t sector, int op, int jump, int repeat, int flag = 0,
                                    int tolerance = 0) {
    std::vector<uint8_t> c(16, 0);
    c[0] = 0xD4;
    for (int i = 0; i < 4; ++i) {
        c[size_t(1 + i)] = uint8_t(sector >> (24 - 8 * i));
    }
    c[5] = uint8_t(flag);
    c[6] = uint8_t(chip);
    c[7] = uint8_t(tolerance);
    c[8] = 0x55;
    c[9] = 0xAA;
    c[11] = uint8_t(op);
    c[12] = uint8_t(jump >> 8);
    c[13] = uint8_t(jump);
    c[14] = uint8_t(repeat >> 8);
    c[15] = uint8_t(repeat);
    return c;
}

class Device {
public:
    explicit Device(const Keys& keys, const std::string& name = "d") {
        const std::string folder = taval_test::makeDevice(m_dir.path(), name, keys);
        std::string error;
        m_device = Tessor::taval::VirtualDevice::open(folder, &error);
        EXPECT_TRUE(m_device) << error;
    }
    Tessor::taval::VirtualDevice& operator*() { return *m_device; }
    Tessor::taval::VirtualDevice* operator->() { return m_device.get(); }

    // SCSI status of the command; the result bits land in `result`.
    int vendor(const std::vector<uint8_t>& cdb) {
        result.assign(1024, 0);
        return m_device->vendorCommand(cdb.data(), result.data(), int(result.size()));
    }
    bool failedBit(int64_t bit) const { return (result[size_t(bit / 8)] >> (bit % 8) & 1) != 0; }

    std::vector<uint8_t> result;

private:
    taval_test::TempFolder m_dir;
    std::shared_ptr<Tessor::taval::VirtualDevice> m_device;
};

}  // namespace scan_test
