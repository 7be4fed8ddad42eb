// The 23 operations of a device record: each runs on the device the record
// was made for. Non-zero = success; a record whose device is gone fails
// with 0.
#include "platform/taval/Operations.h"

#include <cstring>

#include "platform/taval/Hub.h"
#include "platform/orrin/PlatformLog.h"

namespace Tessor::taval {

namespace {

template <class Body>
int onDevice(_USB_DEVICE_T* record, const char* what, Body&& body) {
    DeviceRecord* r = DeviceRecord::of(record);
    if (r == nullptr) {
        PLATFORM_LOG(3, "%s without a device record", what);
        return 0;
    }
    const bool ok = body(*r->device());
    r->port().hub().afterOperation(*r);
    return ok ? 1 : 0;
}

int readLogicalSectors(_USB_DEVICE_T* r, unsigned first, unsigned count) {
    return onDevice(r, "read logical sectors", [&](VirtualDevice& d) {
        return d.readLogical(first, count, r->dataBuffer, USB_DEVICE_BUFFER_SIZE, &r->dataLength);
    });
}

int writeLogicalSectors(_USB_DEVICE_T* r, unsigned first, unsigned count, const unsigned char* data) {
    return onDevice(r, "write logical sectors", [&](VirtualDevice& d) { return d.writeLogical(first, count, data); });
}

int eraseBlocks(_USB_DEVICE_T* r, int chip, int sectorInChip, int count) {
    return onDevice(r, "erase blocks", [&](VirtualDevice& d) { return d.eraseBlocks(chip, sectorInChip, count); });
}

int readFlashSectors(_USB_DEVICE_T* r, int chip, int sector, int count) {
    return onDevice(r, "read flash sectors", [&](VirtualDevice& d) {
        return d.readFlash(chip, sector, count, r->dataBuffer, USB_DEVICE_BUFFER_SIZE, &r->dataLength);
    });
}

int writeFlashSectors(_USB_DEVICE_T* r, int chip, int sector, int count, const unsigned char* data) {
    return onDevice(r, "write flash sectors", [&](VirtualDevice& d) { return d.writeFlash(chip, sector, count, data); });
}

int writeL1IndexTable(_USB_DEVICE_T* r, int chip, int sector, unsigned char setNo, const unsigned char* table) {
    return onDevice(r, "write L1 index table",
                    [&](VirtualDevice& d) { return d.writeIndexTable(chip, sector, setNo, table); });
}

int writeConfigTable2Ram(_USB_DEVICE_T* r, const unsigned char* table, int /*length: the variant's*/) {
    return onDevice(r, "config table to RAM",
                    [&](VirtualDevice& d) { return table != nullptr && d.writeTableToRam(table); });
}

int readFlashId(_USB_DEVICE_T* r, int chip, int kind) {
    return onDevice(r, "read flash id",
                    [&](VirtualDevice& d) { return d.readFlashId(chip, kind, r->dataBuffer, &r->dataLength); });
}

int downloadExternalCode(_USB_DEVICE_T* r, unsigned char mode, const unsigned char* code, int length) {
    return onDevice(r, "download external code", [&](VirtualDevice& d) { return d.downloadCode(mode, code, length); });
}

int partitionProtect(_USB_DEVICE_T* r, unsigned char unit, unsigned char setting) {
    return onDevice(r, "partition protect", [&](VirtualDevice& d) { return d.protect(unit, setting); });
}

int switchPartition(_USB_DEVICE_T* r, int /*reserved*/, unsigned char unit) {
    return onDevice(r, "switch partition", [&](VirtualDevice& d) { return d.switchPartition(unit); });
}

int readVersionInfo(_USB_DEVICE_T* r) {
    return onDevice(r, "read version", [&](VirtualDevice& d) { return d.readVersion(r->dataBuffer, &r->dataLength); });
}

int resetDevice(_USB_DEVICE_T* r, unsigned char mode) {
    return onDevice(r, "reset", [&](VirtualDevice& d) { return d.reset(mode); });
}

int ejectDisk(_USB_DEVICE_T* r) {
    return onDevice(r, "eject", [&](VirtualDevice& d) {
        bool ejected = false;
        if (!d.eject(&ejected)) {
            return false;
        }
        DeviceRecord* record = DeviceRecord::of(r);
        record->port().hub().reportEject(*record, ejected);
        return true;
    });
}

int volumeOperation(_USB_DEVICE_T* r, int operation) {
    return onDevice(r, "volume control", [&](VirtualDevice& d) { return d.volume(operation); });
}

int volumeUnlock(_USB_DEVICE_T* r) { return volumeOperation(r, VOLUME_UNLOCK); }
int volumeLock(_USB_DEVICE_T* r) { return volumeOperation(r, VOLUME_LOCK); }
int volumeLockAgain(_USB_DEVICE_T* r) { return volumeOperation(r, VOLUME_LOCK_AGAIN); }

int volumeControl(VOLUME_DEVICE_T* volume, int operation) {
    return volume == nullptr ? 0 : volumeOperation(volume->device, operation);
}

int readSectorsNoEcc(_USB_DEVICE_T* r, int chip, int sector, unsigned char count) {
    return onDevice(r, "read sectors without ECC", [&](VirtualDevice& d) {
        return d.readRaw(chip, sector, count, r->dataBuffer, USB_DEVICE_BUFFER_SIZE, &r->dataLength);
    });
}

int writeSectorsNoEcc(_USB_DEVICE_T* r, int chip, int sector, unsigned char count, const unsigned char* data) {
    return onDevice(r, "write sectors without ECC", [&](VirtualDevice& d) { return d.writeRaw(chip, sector, count, data); });
}

int writeScanSectors(_USB_DEVICE_T* r, unsigned char chip, unsigned int sector, unsigned char value,
                     unsigned char command, unsigned short jump, unsigned short repeat, unsigned char count,
                     const unsigned char* data) {
    return onDevice(r, "write scan sectors", [&](VirtualDevice& d) {
        return d.writeScan(chip, sector, value, command, jump, repeat, count, data);
    });
}

int readScanSectors(_USB_DEVICE_T* r, unsigned char chip, unsigned int sector, const unsigned char* param4,
                    unsigned char command, unsigned short jump, unsigned short repeat, unsigned char flag) {
    return onDevice(r, "read scan sectors", [&](VirtualDevice& d) {
        ScanCommand c;
        c.op = command;
        c.flag = flag;
        c.chip = chip;
        c.sector = sector;
        c.jump = jump;
        c.repeat = repeat;
        if (param4 != nullptr) {
            std::memcpy(c.pattern, param4, sizeof c.pattern);
        }
        return d.readScan(c, r->dataBuffer, USB_DEVICE_BUFFER_SIZE, &r->dataLength);
    });
}

}  // namespace

DEV_OPERATIONS_T& deviceOperations() {
    static DEV_OPERATIONS_T table = {
        nullptr,           readLogicalSectors, writeLogicalSectors, eraseBlocks,       readFlashSectors,
        writeFlashSectors, writeL1IndexTable,  writeConfigTable2Ram, readFlashId,       downloadExternalCode,
        partitionProtect,  switchPartition,    readVersionInfo,      resetDevice,       ejectDisk,
        volumeUnlock,      volumeLock,         volumeLockAgain,      readSectorsNoEcc,  writeSectorsNoEcc,
        writeScanSectors,  readScanSectors,    volumeControl,
    };
    return table;
}

}  // namespace Tessor::taval
