// One simulated USB flash device, kept in a folder: its description, flash
// array, logical disk and controller. Every operation takes the device's own
// lock, so a removal waits for the operation in flight and every operation
// after it fails cleanly.
#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "platform/taval/BootLoader.h"
#include "platform/taval/ControllerRam.h"
#include "platform/taval/DeviceDescription.h"
#include "platform/taval/FlashStore.h"
#include "platform/taval/LogicalDisk.h"
#include "platform/taval/OpLog.h"
#include "platform/taval/TimingModel.h"
#include "schema/base/Log.h"

namespace Tessor::taval {

class VirtualDevice {
public:
    // Opens the device of a folder and boots it; null with `error` naming
    // file, key and value when the folder does not describe a device.
    static std::shared_ptr<VirtualDevice> open(const std::string& folder, std::string* error);

    const DeviceDescription& description() const { return m_description; }

    // Operations of the device library; true on success. Reads fill `out`
    // (at most `capacity` bytes) and set `*length`.
    bool readLogical(int64_t first, int64_t count, uint8_t* out, int capacity, int* length);
    bool writeLogical(int64_t first, int64_t count, const uint8_t* data);
    bool eraseBlocks(int chip, int64_t sectorInChip, int count);
    bool readFlash(int chip, int64_t sector, int count, uint8_t* out, int capacity, int* length);
    bool writeFlash(int chip, int64_t sector, int count, const uint8_t* data);
    bool writeIndexTable(int chip, int64_t sector, int setNo, const uint8_t* table);
    bool readRaw(int chip, int64_t sector, int count, uint8_t* out, int capacity, int* length);
    bool writeRaw(int chip, int64_t sector, int count, const uint8_t* data);
    bool writeTableToRam(const uint8_t* table);
    bool readFlashId(int chip, int kind, uint8_t* out, int* length);
    bool downloadCode(uint8_t mode, const uint8_t* code, int length);
    bool protect(int unit, int setting);
    bool switchPartition(int unit);
    bool readVersion(uint8_t* out, int* length);
    bool reset(int mode);
    // Command accepted; `*ejected` tells the outcome the host hears later.
    bool eject(bool* ejected);
    bool volume(int operation);
    bool writeScan();
    bool readScan();
    // Vendor SCSI command; returns the SCSI status (0 good, 2 check condition).
    int vendorCommand(const uint8_t* cdb, uint8_t* buffer, int length);

    // Host side.
    void close();   // the tool let go of the device: controller RAM is lost
    void detach();  // pulled out
    bool takeRemovalRequest();
    // Library error code to report, or -1.
    int takeErrorRequest();

    // Diagnostics for tests.
    uint64_t addressDisagreements() const { return m_disagreements.load(); }
    std::vector<OpRecord> opLog() const;
    int64_t bootSector() const { return m_boot.sector; }
    std::vector<uint8_t> ramTable() const;
    std::vector<CodePiece> ramCode() const;
    int lockCount() const;

    // Copies for outside tools; the device should not be plugged meanwhile.
    bool exportLogical(const std::string& path, std::string* error);
    bool exportFlash(const std::string& path, std::string* error);

private:
    explicit VirtualDevice(DeviceDescription description) : m_description(std::move(description)), m_timing(m_description.timing) {}

    template <class Body>
    bool perform(OpKind kind, int64_t a0, int64_t a1, int64_t a2, Body&& body);
    // Device-wide sector of the range, -1 when any of it lies outside.
    int64_t flashRange(int chip, int64_t sector, int64_t count);
    bool readSectors(int64_t first, int count, bool correct, uint8_t* out);
    bool programSectors(int64_t first, int count, const uint8_t* data);

    DeviceDescription m_description;
    TimingModel m_timing;
    FlashStore m_flash;
    LogicalDisk m_logical;
    ControllerRam m_ram;
    OpLog m_log;
    BootResult m_boot;

    mutable std::mutex m_mutex;
    bool m_present = true;
    bool m_ejected = false;
    uint64_t m_ops = 0;
    bool m_removalRequested = false;
    bool m_errorRequested = false;
    int m_activeUnit = 0;
    int m_protect[4] = {};
    int m_locks = 0;
    std::vector<uint8_t> m_records;
    std::atomic<uint64_t> m_disagreements{0};
};

// Runs one operation under the device lock: fails it when the device is gone
// or a fault rule says so, logs it and counts it for the removal and error
// rules.
template <class Body>
bool VirtualDevice::perform(OpKind kind, int64_t a0, int64_t a1, int64_t a2, Body&& body) {
    std::lock_guard<std::mutex> lock(m_mutex);
    if (!m_present || m_ejected) {
        CPLOG(3, "%s on %s: the device is %s", opKindName(kind), m_description.driveText.c_str(),
              m_present ? "ejected" : "gone");
        return false;
    }
    const bool injected = m_description.faults.failsCall(kind);
    if (injected) {
        CPLOG(3, "%s on %s fails by its fault rule", opKindName(kind), m_description.driveText.c_str());
    }
    const bool ok = !injected && body();
    m_log.add(kind, a0, a1, a2, ok);
    ++m_ops;
    const FaultRules& f = m_description.faults;
    m_removalRequested = m_removalRequested || (f.removeAfter() != 0 && m_ops == uint64_t(f.removeAfter()));
    m_errorRequested = m_errorRequested || (f.errorAfter() != 0 && m_ops == uint64_t(f.errorAfter()));
    return ok;
}

}  // namespace Tessor::taval
