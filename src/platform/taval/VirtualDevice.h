// One simulated USB flash device, kept in a folder: its description, flash
// array, logical disk and controller. Operations take the device's own lock
// one at a time. A removal never waits for them: the operation in flight
// fails (its remaining time is cut short) and every later one fails too.
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
#include "platform/taval/GroupedAddressing.h"
#include "platform/taval/LogicalDisk.h"
#include "platform/taval/OpLog.h"
#include "platform/taval/PageStates.h"
#include "platform/taval/RamFlashInfo.h"
#include "platform/taval/ScanUnits.h"
#include "platform/taval/TimingModel.h"
#include "platform/orrin/PlatformLog.h"

namespace Tessor::taval {

class VirtualDevice {
public:
    // Opens the device of a folder and boots it; null with `error` naming
    // file, key and value when the folder does not describe a device, or
    // both sizes when a file does not match the description. A missing file
    // is made; an existing one never changes size.
    [[nodiscard]] static std::shared_ptr<VirtualDevice> open(const std::string& folder, std::string* error);
    // Opens the flash and logical disk only, to read them for an export:
    // nothing in the folder is made or written.
    [[nodiscard]] static std::shared_ptr<VirtualDevice> openForExport(const std::string& folder, std::string* error);

    const DeviceDescription& description() const { return m_description; }

    // Operations of the device library; true on success. Reads fill `out`
    // (at most `capacity` bytes) and set `*length`.
    [[nodiscard]] bool readLogical(int64_t first, int64_t count, uint8_t* out, int capacity, int* length);
    [[nodiscard]] bool writeLogical(int64_t first, int64_t count, const uint8_t* data);
    [[nodiscard]] bool eraseBlocks(int chip, int64_t sectorInChip, int count);
    [[nodiscard]] bool readFlash(int chip, int64_t sector, int count, uint8_t* out, int capacity, int* length);
    [[nodiscard]] bool writeFlash(int chip, int64_t sector, int count, const uint8_t* data);
    [[nodiscard]] bool writeIndexTable(int chip, int64_t sector, int setNo, const uint8_t* table);
    [[nodiscard]] bool readRaw(int chip, int64_t sector, int count, uint8_t* out, int capacity, int* length);
    [[nodiscard]] bool writeRaw(int chip, int64_t sector, int count, const uint8_t* data);
    [[nodiscard]] bool writeTableToRam(const uint8_t* table);
    [[nodiscard]] bool readFlashId(int chip, int kind, uint8_t* out, int* length);
    [[nodiscard]] bool downloadCode(uint8_t mode, const uint8_t* code, int length);
    [[nodiscard]] bool protect(int unit, int setting);
    [[nodiscard]] bool switchPartition(int unit);
    [[nodiscard]] bool readVersion(uint8_t* out, int* length);
    [[nodiscard]] bool reset(int mode);
    // Command accepted; `*ejected` tells the outcome the host hears later.
    [[nodiscard]] bool eject(bool* ejected);
    [[nodiscard]] bool volume(int operation);
    // Copies a host folder's entries (or one file) into the root of the FAT
    // volume of the unit the host sees now, through the outside tools. A copy
    // that no attempt can make (a name the volume cannot store, files larger
    // than it, a source that is not files) says why in `refusal`; another
    // failure leaves it empty.
    [[nodiscard]] bool copyIn(const std::string& source, std::string* refusal);
    // Scan firmware through the library (slots 20, 21): command 3 prepares,
    // command 1 writes `count` sectors of host data at every unit.
    [[nodiscard]] bool writeScan(int chip, int64_t sector, int value, int command, int jump, int repeat, int count,
                   const uint8_t* data);
    // Command 2 leaves the result bits in `out`; command 1 with flag 1 is
    // the status read after host-data writes, any other command 1 writes
    // the controller's pattern.
    [[nodiscard]] bool readScan(const ScanCommand& command, uint8_t* out, int capacity, int* length);
    // Vendor SCSI command 0xD4 (the same firmware); returns the SCSI status
    // (0 good, 2 check condition). `length` must hold the 1024 result bytes.
    [[nodiscard]] int vendorCommand(const uint8_t* cdb, uint8_t* buffer, int length);

    // Host side.
    void close();   // the tool let go of the device: controller RAM is lost
    // Plugged into a station: false when another station holds the device.
    [[nodiscard]] bool claim();
    // True while a station holds the device (this object's claim or another's).
    bool claimed() const { return m_flash.held(); }
    void detach();  // pulled out, the claim given up; never waits for an operation
    bool present() const { return m_present; }
    [[nodiscard]] bool takeRemovalRequest();
    // Library error code to report, or -1.
    [[nodiscard]] int takeErrorRequest();
    // Cancel code the operator is to set, or -1.
    [[nodiscard]] int takeCancelRequest();

    // Diagnostics for tests.
    uint64_t addressDisagreements() const { return m_disagreements.load(); }
    std::vector<OpRecord> opLog() const;
    // What the real device would have taken for the work so far.
    int64_t modelledMicros() const { return m_timing.modelledMicros(); }
    int64_t bootSector() const { return m_boot.sector; }
    PageState pageState(int64_t page) const;
    int pagePrograms(int64_t page) const;
    std::vector<uint8_t> ramTable() const;
    RamLunTable ramUnits() const;
    std::vector<CodePiece> ramCode() const;
    std::vector<int> firmwareModes() const;
    int lockCount() const;

    // Copies for outside tools; the device should not be plugged meanwhile.
    [[nodiscard]] bool exportLogical(const std::string& path, std::string* error);
    [[nodiscard]] bool exportFlash(const std::string& path, std::string* error);
    // How much of a unit a copy takes as the device reads it. UpToLastWritten
    // keeps the copy of a large disk small when its unwritten sectors do not
    // read zero: it stops after the unit's last written sector, rounded up to
    // a MiB, and leaves the rest a hole of zeros, not of the fill. A reader of
    // such a copy has to show that it needs nothing past the exact part.
    enum class ExportExtent { Whole, UpToLastWritten };
    // A unit's copy: the device's bytes for its first `exact` sectors, a hole
    // of zeros for the rest (none with a zero fill, where that is the truth).
    struct UnitCopy {
        std::string path;
        int64_t sectors;
        int64_t exact;
    };
    // Each unit of the table on the flash as FOLDER/lun<slot>.img, added to
    // `copies` (none for a device without a table).
    [[nodiscard]] bool exportUnits(const std::string& folder, std::vector<UnitCopy>* copies, std::string* error,
                     ExportExtent extent = ExportExtent::Whole);

private:
    explicit VirtualDevice(DeviceDescription description)
        : m_description(std::move(description)),
          m_timing(m_description.timing),
          m_bootAddressing(m_description.geometry),
          m_flatAddressing(m_description.geometry) {}

    // The description and the flash and logical-disk files.
    [[nodiscard]] static std::shared_ptr<VirtualDevice> openFiles(const std::string& folder, bool writable, std::string* error);
    template <class Body>
    [[nodiscard]] bool perform(OpKind kind, int64_t a0, int64_t a1, int64_t a2, Body&& body);
    // Device-wide sector of the range, -1 when any of it lies outside.
    int64_t flashRange(int chip, int64_t sector, int64_t count);
    // How the firmware running now reads raw flash addresses.
    const GroupedAddressing& addressing() const;
    // Raw sectors, as the firmware running now places them.
    [[nodiscard]] bool readSectors(int64_t raw, int count, bool correct, uint8_t* out);
    [[nodiscard]] bool programAddressed(int64_t raw, int count, const uint8_t* data);
    [[nodiscard]] bool readStored(int64_t first, int count, bool correct, uint8_t* out);
    // What the controller's pattern and the media faults make of read data.
    void applyMedia(int64_t first, int count, uint8_t* out);
    [[nodiscard]] bool programSectors(int64_t first, int count, const uint8_t* data, bool scanWrite = false);
    // Scan commands over their units: op 1 programs the pattern, op 2 fills
    // `result` (SCAN_RESULT_BYTES) with one bit per sector, 1 = failed.
    [[nodiscard]] bool runScan(const ScanCommand& command, uint8_t* result);
    void programPattern(int64_t start, const ScanCommand& c);
    void readResult(int64_t start, const ScanCommand& c, uint8_t* result);
    // Vendor rule: false when this command is to fail.
    [[nodiscard]] bool vendorAnswers();
    bool cycleTooFast(int cycle) const;
    // Sectors [first, first + count) as FILE, the first `exact` of them as
    // read and the rest left a hole.
    [[nodiscard]] bool exportRange(const std::string& path, int64_t first, int64_t count, int64_t exact, std::string* error);
    // The units the controller serves: from the table in its RAM, else from
    // the table it booted from, else one unit of the whole logical disk.
    RamLunTable servedUnits() const;
    // False, logged, while the RAM runs a downloaded image in mode 0: the
    // scan and flash-writing firmware serve no logical disk.
    bool servesDisk(OpKind kind) const;
    DeviceDescription m_description;
    TimingModel m_timing;
    FlashStore m_flash;
    LogicalDisk m_logical;
    ControllerRam m_ram;
    OpLog m_log;
    BootResult m_boot;
    GroupedAddressing m_bootAddressing;
    GroupedAddressing m_flatAddressing;
    PageStates m_pages;
    RamFlashInfo m_ramInfo;
    uint64_t m_tests = 0;  // readings so far, for drawn weak failures
    int64_t m_vendorGood = 0;
    int m_vendorFailedAttempts = 0;
    bool m_cancelRequested = false;

    std::atomic<bool> m_present{true};
    mutable std::mutex m_mutex;
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
// before or during it, a fault rule says so or the page states it changed
// cannot be saved, logs it and counts it for the removal and error rules.
template <class Body>
bool VirtualDevice::perform(OpKind kind, int64_t a0, int64_t a1, int64_t a2, Body&& body) {
    std::lock_guard<std::mutex> lock(m_mutex);
    if (!m_present || m_ejected) {
        PLATFORM_LOG(3, "%s on %s: the device is %s", opKindName(kind), m_description.driveText.c_str(),
              m_present ? "ejected" : "gone");
        return false;
    }
    const bool injected = m_description.faults.failsCall(kind);
    if (injected) {
        PLATFORM_LOG(3, "%s on %s fails by its fault rule", opKindName(kind), m_description.driveText.c_str());
    }
    bool ok = !injected && body();
    // Saved even after a failure: the flash array may have changed.
    ok = m_pages.save() && ok;
    if (ok && !m_present) {
        PLATFORM_LOG(3, "%s on %s: the device was pulled out meanwhile", opKindName(kind), m_description.driveText.c_str());
        ok = false;
    }
    m_log.add(kind, a0, a1, a2, ok);
    ++m_ops;
    const FaultRules& f = m_description.faults;
    m_removalRequested = m_removalRequested || (f.removeAfter() != 0 && m_ops == uint64_t(f.removeAfter()));
    m_errorRequested = m_errorRequested || (f.errorAfter() != 0 && m_ops == uint64_t(f.errorAfter()));
    m_cancelRequested = m_cancelRequested || (f.cancelAfter() != 0 && m_ops == uint64_t(f.cancelAfter()));
    return ok;
}

}  // namespace Tessor::taval
