// A small stand-in for the device library's operations table: every slot a
// test fills records its arguments, and a chosen call can be made to fail.
#pragma once

#include <array>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "platform/taval/Taval.h"

namespace fake {

struct Call {
    int slot;
    std::array<long long, 3> args;
};

struct Recorder {
    std::vector<Call> calls;
    int failAt = -1;  // index into calls of the call that fails
    bool record(int slot, long long a0 = 0, long long a1 = 0, long long a2 = 0)
    {
        calls.push_back({slot, {a0, a1, a2}});
        return static_cast<int>(calls.size()) - 1 != failAt;
    }
};

inline Recorder& recorder()
{
    static Recorder r;
    return r;
}

// A record bound to a table where every slot is filled.
class Device {
public:
    Device()
    {
        recorder() = Recorder();
        std::memset(record.get(), 0, sizeof(_USB_DEVICE_T));
        std::strcpy(record->driveText, "FAKE");
        record->operations = &ops;
        record->volume = &volume;
        ops.readLogicalSectors = [](_USB_DEVICE_T*, unsigned f, unsigned c) {
            return int(recorder().record(DEV_OP_READ_LOGICAL, f, c));
        };
        ops.writeLogicalSectors = [](_USB_DEVICE_T*, unsigned f, unsigned c, const unsigned char*) {
            return int(recorder().record(DEV_OP_WRITE_LOGICAL, f, c));
        };
        ops.eraseBlocks = [](_USB_DEVICE_T*, int chip, int sector, int count) {
            return int(recorder().record(DEV_OP_ERASE_BLOCKS, chip, sector, count));
        };
        ops.readFlashSectors = [](_USB_DEVICE_T*, int chip, int sector, int count) {
            return int(recorder().record(DEV_OP_READ_FLASH, chip, sector, count));
        };
        ops.writeFlashSectors = [](_USB_DEVICE_T*, int chip, int sector, int count, const unsigned char*) {
            return int(recorder().record(DEV_OP_WRITE_FLASH, chip, sector, count));
        };
        ops.writeL1IndexTable = [](_USB_DEVICE_T*, int chip, int sector, unsigned char setNo, const unsigned char*) {
            return int(recorder().record(DEV_OP_WRITE_L1_INDEX, chip, sector, setNo));
        };
        ops.writeConfigTable2Ram = [](_USB_DEVICE_T*, const unsigned char*, int length) {
            return int(recorder().record(DEV_OP_CONFIG_TABLE_TO_RAM, length));
        };
        ops.readFlashId = [](_USB_DEVICE_T*, int chip, int kind) {
            return int(recorder().record(DEV_OP_READ_FLASH_ID, chip, kind));
        };
        ops.downloadExternalCode = [](_USB_DEVICE_T*, unsigned char mode, const unsigned char*, int length) {
            return int(recorder().record(DEV_OP_DOWNLOAD_CODE, mode, length));
        };
        ops.partitionProtect = [](_USB_DEVICE_T*, unsigned char unit, unsigned char setting) {
            return int(recorder().record(DEV_OP_PARTITION_PROTECT, unit, setting));
        };
        ops.switchPartition = [](_USB_DEVICE_T*, int reserved, unsigned char unit) {
            return int(recorder().record(DEV_OP_SWITCH_PARTITION, reserved, unit));
        };
        ops.readVersionInfo = [](_USB_DEVICE_T* dev) {
            std::memcpy(dev->dataBuffer, "\xFF\xFF\xFF\xFF" "3.00", 8);
            dev->dataLength = 512;
            return int(recorder().record(DEV_OP_READ_VERSION));
        };
        ops.resetDevice = [](_USB_DEVICE_T*, unsigned char mode) {
            return int(recorder().record(DEV_OP_RESET, mode));
        };
        ops.ejectDisk = [](_USB_DEVICE_T*) { return int(recorder().record(DEV_OP_EJECT)); };
        ops.volumeUnlock = [](_USB_DEVICE_T*) { return int(recorder().record(DEV_OP_VOLUME_UNLOCK)); };
        ops.volumeLock = [](_USB_DEVICE_T*) { return int(recorder().record(DEV_OP_VOLUME_LOCK)); };
        ops.volumeLockAgain = [](_USB_DEVICE_T*) { return int(recorder().record(DEV_OP_VOLUME_LOCK_AGAIN)); };
        ops.readSectorsNoEcc = [](_USB_DEVICE_T*, int chip, int sector, unsigned char count) {
            return int(recorder().record(DEV_OP_READ_NO_ECC, chip, sector, count));
        };
        ops.writeSectorsNoEcc = [](_USB_DEVICE_T*, int chip, int sector, unsigned char count, const unsigned char*) {
            return int(recorder().record(DEV_OP_WRITE_NO_ECC, chip, sector, count));
        };
        ops.writeScanSectors = [](_USB_DEVICE_T*, unsigned char chip, unsigned int sector, unsigned char,
                                  unsigned char command, unsigned short, unsigned short, unsigned char,
                                  const unsigned char*) {
            return int(recorder().record(DEV_OP_WRITE_SCAN, chip, sector, command));
        };
        ops.readScanSectors = [](_USB_DEVICE_T*, unsigned char chip, unsigned int sector, const unsigned char*,
                                 unsigned char command, unsigned short, unsigned short, unsigned char) {
            return int(recorder().record(DEV_OP_READ_SCAN, chip, sector, command));
        };
        ops.volumeControl = [](VOLUME_DEVICE_T*, int op) { return int(recorder().record(DEV_OP_VOLUME_CONTROL, op)); };
    }

    std::unique_ptr<_USB_DEVICE_T> record{new _USB_DEVICE_T};
    DEV_OPERATIONS_T ops{};
    VOLUME_DEVICE_T volume{};
};

}  // namespace fake
