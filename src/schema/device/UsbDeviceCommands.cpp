// The device commands of UsbDevice: each is one checked call of the device
// library's operations table (or of the vendor pass-through read).
#include <algorithm>
#include <cerrno>
#include <cstring>

#include "schema/base/DeviceCode.h"
#include "schema/base/Log.h"
#include "schema/device/BaseAddress.h"
#include "schema/device/DeviceRecords.h"
#include "schema/device/UsbDevice.h"
#include "schema/device/VendorCommandBlock.h"

namespace Tessor::schema {

namespace {

// A missing table or slot counts as a failed call, never as a crash.
template <typename Fn, typename... Args>
bool callSlot(_USB_DEVICE_T* record, Fn DEV_OPERATIONS_T::*slot, Args... args)
{
    if (record->operations == nullptr || record->operations->*slot == nullptr) {
        return false;
    }
    return (record->operations->*slot)(record, args...) != 0;
}

}  // namespace

_USB_DEVICE_T* UsbDevice::commandRecord() const
{
    _USB_DEVICE_T* record = currentRecord();
    if (record == nullptr) {
        CPLOG(3, "No USB device is associated with this data");
    }
    return record;
}

int UsbDevice::deviceWideSector(int chip, int sector) const
{
    if (!m_diskInfo) {
        return sector;
    }
    int perChip = m_diskInfo->getBlocksPerChip() * m_diskInfo->getSectorsPerBlock();
    if (perChip <= 0 || sector >= perChip) {
        return sector;
    }
    return chip * perChip + sector;
}

unsigned char* UsbDevice::readLogicalSectors(unsigned first, unsigned count)
{
    _USB_DEVICE_T* record = commandRecord();
    if (record == nullptr) {
        return nullptr;
    }
    if (!callSlot(record, &DEV_OPERATIONS_T::readLogicalSectors, first, count)) {
        CPLOG(3, "READ DBR reserved sectors for disk %s failed", record->driveText);
        return nullptr;
    }
    return record->dataBuffer;
}

int UsbDevice::writeLogicalSectors(unsigned first, unsigned count, const unsigned char* data)
{
    _USB_DEVICE_T* record = commandRecord();
    if (record == nullptr) {
        return WRITE_LOGICAL_FAILED;
    }
    if (!callSlot(record, &DEV_OPERATIONS_T::writeLogicalSectors, first, count, data)) {
        CPLOG(3, "Write logical sectors for disk %s failed", record->driveText);
        return WRITE_LOGICAL_FAILED;
    }
    return 0;
}

int UsbDevice::eraseBlocks(int block, int count)
{
    _USB_DEVICE_T* record = commandRecord();
    if (record == nullptr) {
        return -DeviceCode::ERASE_FAILED;
    }
    int perChip = m_diskInfo ? m_diskInfo->getBlocksPerChip() : 0;
    int chip = perChip > 0 ? block / perChip : 0;
    int blockInChip = perChip > 0 ? block % perChip : block;
    int sectorInChip = blockInChip * (m_diskInfo ? m_diskInfo->getSectorsPerBlock() : 0);
    if (!callSlot(record, &DEV_OPERATIONS_T::eraseBlocks, chip, sectorInChip, count)) {
        CPLOG(3, "%s erase block (%d) failed", getName(), sectorInChip);
        return -DeviceCode::ERASE_FAILED;
    }
    return 0;
}

int UsbDevice::eraseChip()
{
    int total = m_diskInfo ? m_diskInfo->getTotalBlocks() : 0;
    int perChip = m_diskInfo ? m_diskInfo->getBlocksPerChip() : 0;
    int count = 0;
    for (int start = 0; start < total; start += count) {
        // A group never runs past the end of its chip.
        count = std::min({ERASE_GROUP, total - start, perChip - start % perChip});
        if (eraseBlocks(start, count) != 0) {
            CPLOG(3, "%s erase block (%d) failed", getName(), start);
            return -DeviceCode::ERASE_FAILED;
        }
    }
    return 0;
}

int UsbDevice::eraseOneBlock(Sptr<BaseAddress> address)
{
    int perChip = m_diskInfo ? m_diskInfo->getBlocksPerChip() : 0;
    int block = address->getChipNo() * perChip + address->getBlockNo();
    if (eraseBlocks(block, 1) != 0) {
        CPLOG(3, "Erase Block on %d for index table for device %s failed", block, getName());
        return -DeviceCode::ERASE_FAILED;
    }
    return 0;
}

unsigned char* UsbDevice::readFlashSectors(int chip, int sector, int count)
{
    _USB_DEVICE_T* record = commandRecord();
    if (record == nullptr) {
        return nullptr;
    }
    int wide = deviceWideSector(chip, sector);
    if (!callSlot(record, &DEV_OPERATIONS_T::readFlashSectors, chip, wide, count)) {
        CPLOG(3, "Read Data failed on device %s on phyical address : %d", getName(), wide);
        return nullptr;
    }
    return record->dataBuffer;
}

unsigned char* UsbDevice::readFlashSectors(Sptr<BaseAddress> address, int count)
{
    CPLOG(7, "%s Read Data from %s", getName(), address->logData());
    return readFlashSectors(address->getChipNo(), address->getPhyAddress(), count);
}

int UsbDevice::writeFlashSectors(int chip, int sector, int count, const unsigned char* data)
{
    _USB_DEVICE_T* record = commandRecord();
    if (record == nullptr) {
        return -1;
    }
    int wide = deviceWideSector(chip, sector);
    if (!callSlot(record, &DEV_OPERATIONS_T::writeFlashSectors, chip, wide, count, data)) {
        CPLOG(3, "%s Write on PBA %d failed", getName(), wide);
        return -1;
    }
    return 0;
}

int UsbDevice::writeFlashSectors(Sptr<BaseAddress> address, int count, const unsigned char* data)
{
    return writeFlashSectors(address->getChipNo(), address->getPhyAddress(), count, data);
}

int UsbDevice::writeL1IndexTable(Sptr<BaseAddress> address, unsigned char setNo, const unsigned char* data)
{
    _USB_DEVICE_T* record = commandRecord();
    if (record == nullptr) {
        return -1;
    }
    if (!callSlot(record, &DEV_OPERATIONS_T::writeL1IndexTable, address->getChipNo(), address->getPhyAddress(), setNo,
                  data)) {
        CPLOG(3, "%s Write L1 index Table failed", getName());
        return -1;
    }
    return 0;
}

int UsbDevice::writeConfigTable2Ram(const unsigned char* table)
{
    _USB_DEVICE_T* record = commandRecord();
    if (record == nullptr) {
        return -1;
    }
    if (!callSlot(record, &DEV_OPERATIONS_T::writeConfigTable2Ram, table, 0)) {
        CPLOG(3, "Config Table of device %s write to RAM failed", getName());
        return -1;
    }
    return 0;
}

unsigned char* UsbDevice::readFlashId(int chip, FLASH_TYPES kind)
{
    _USB_DEVICE_T* record = commandRecord();
    if (record == nullptr) {
        return nullptr;
    }
    CPLOG(7, "chipNo of FlashId : %d", chip);
    if (!callSlot(record, &DEV_OPERATIONS_T::readFlashId, chip, static_cast<int>(kind))) {
        CPLOG(3, "Read Flash ID Command failed on disk %s", record->driveText);
        return nullptr;
    }
    return record->dataBuffer;
}

int UsbDevice::downloadExternalCode(unsigned char kind, const unsigned char* code, int length)
{
    _USB_DEVICE_T* record = commandRecord();
    if (record == nullptr) {
        return -1;
    }
    if (!callSlot(record, &DEV_OPERATIONS_T::downloadExternalCode, kind, code, length)) {
        CPLOG(3, "Download external code to device %s failed", getName());
        return -1;
    }
    return 0;
}

int UsbDevice::partitionProtect(unsigned char unit, unsigned char setting)
{
    _USB_DEVICE_T* record = commandRecord();
    if (record == nullptr) {
        return -DeviceCode::PARTITION_SWITCH_FAILED;
    }
    if (!callSlot(record, &DEV_OPERATIONS_T::partitionProtect, unit, setting)) {
        CPLOG(3, "Disable Parttition Read/WritePortected No. %d partition on %s failed", unit, getName());
        return -DeviceCode::PARTITION_SWITCH_FAILED;
    }
    return 0;
}

int UsbDevice::switchPartition(unsigned char unit)
{
    _USB_DEVICE_T* record = commandRecord();
    if (record == nullptr) {
        return -DeviceCode::PARTITION_SWITCH_FAILED;
    }
    if (!callSlot(record, &DEV_OPERATIONS_T::switchPartition, 0, unit)) {
        CPLOG(3, "swap No. %d partition on %s failed", unit, getName());
        return -DeviceCode::PARTITION_SWITCH_FAILED;
    }
    return 0;
}

unsigned char* UsbDevice::readVersionInfo()
{
    _USB_DEVICE_T* record = commandRecord();
    if (record == nullptr) {
        return nullptr;
    }
    CPLOG(7, "read Version Info on device '%s' index is %d", record->driveText, record->slotIndex);
    if (record->operations == nullptr || record->operations->readVersionInfo == nullptr) {
        CPLOG(3, "Internal Error : Read Version Info Command failed on disk '%s'", record->driveText);
        return nullptr;
    }
    if (!callSlot(record, &DEV_OPERATIONS_T::readVersionInfo)) {
        CPLOG(3, "Read Version Info Command failed on disk '%s'", record->driveText);
        return nullptr;
    }
    setVersion(Sptr<VersionInfo>(new VersionInfo(record->dataBuffer)));
    DeviceRecords::installed().logSector(record->dataBuffer, record->dataLength, "Read out Version Info");
    return record->dataBuffer;
}

int UsbDevice::resetDevice(unsigned char mode)
{
    _USB_DEVICE_T* record = commandRecord();
    if (record == nullptr) {
        return -1;
    }
    if (!callSlot(record, &DEV_OPERATIONS_T::resetDevice, mode)) {
        CPLOG(3, "reset USB disk failed with the device %s", getName());
        return -1;
    }
    return 0;
}

int UsbDevice::ejectDisk()
{
    _USB_DEVICE_T* record = commandRecord();
    if (record == nullptr) {
        return -DeviceCode::EJECT_FAILED;
    }
    if (!callSlot(record, &DEV_OPERATIONS_T::ejectDisk)) {
        CPLOG(3, "Eject USB disk failed with the device %s", getName());
        return -DeviceCode::EJECT_FAILED;
    }
    return 0;
}

int UsbDevice::volumeControl(_VOLUME_OP_T operation)
{
    _USB_DEVICE_T* record = commandRecord();
    if (record == nullptr) {
        return -DeviceCode::VOLUME_CONTROL_FAILED;
    }
    bool done = false;
    switch (operation) {
    case VOLUME_LOCK:
        done = callSlot(record, &DEV_OPERATIONS_T::volumeLock);
        break;
    case VOLUME_UNLOCK:
        done = callSlot(record, &DEV_OPERATIONS_T::volumeUnlock);
        break;
    case VOLUME_LOCK_AGAIN:
        done = callSlot(record, &DEV_OPERATIONS_T::volumeLockAgain);
        break;
    case VOLUME_RUN_START:
    case VOLUME_AFTER_FLASH_ID:
        done = record->operations != nullptr && record->operations->volumeControl != nullptr &&
               record->volume != nullptr && record->operations->volumeControl(record->volume, operation) != 0;
        break;
    }
    if (!done) {
        CPLOG(3, "%s volume control %d failed", getName(), static_cast<int>(operation));
        return -DeviceCode::VOLUME_CONTROL_FAILED;
    }
    return 0;
}

unsigned char* UsbDevice::readSectorsNoEcc(Sptr<BaseAddress> address, unsigned char count)
{
    _USB_DEVICE_T* record = commandRecord();
    if (record == nullptr) {
        return nullptr;
    }
    if (!callSlot(record, &DEV_OPERATIONS_T::readSectorsNoEcc, address->getChipNo(), address->getPhyAddress(),
                  count)) {
        CPLOG(3, "read scan sector without ECC of device %s failed", getName());
        return nullptr;
    }
    return record->dataBuffer;
}

int UsbDevice::writeSectorsNoEcc(int chip, int sector, unsigned char count, const unsigned char* data, int /*unused*/)
{
    _USB_DEVICE_T* record = commandRecord();
    if (record == nullptr) {
        return -1;
    }
    if (!callSlot(record, &DEV_OPERATIONS_T::writeSectorsNoEcc, chip, deviceWideSector(chip, sector), count, data)) {
        CPLOG(3, "write scan sector without ECC of device %s failed", getName());
        return -1;
    }
    return 0;
}

int UsbDevice::writeScanSectors(unsigned char chip, unsigned int sector, unsigned char value, unsigned char command,
                                unsigned short jump, unsigned short repeat, unsigned char count,
                                const unsigned char* data)
{
    _USB_DEVICE_T* record = commandRecord();
    if (record == nullptr) {
        return -1;
    }
    if (!callSlot(record, &DEV_OPERATIONS_T::writeScanSectors, chip, sector, value, command, jump, repeat, count,
                  data)) {
        CPLOG(3, "Write scan sector of device %s failed", getName());
        return -1;
    }
    return 0;
}

int UsbDevice::writeScanSectors(Sptr<BaseAddress> address, unsigned char value, unsigned char command,
                                unsigned short jump, unsigned short repeat, unsigned char count,
                                const unsigned char* data)
{
    return writeScanSectors(static_cast<unsigned char>(address->getChipNo()),
                            static_cast<unsigned int>(address->getPhyAddress()), value, command, jump, repeat, count,
                            data);
}

unsigned char* UsbDevice::readScanSectors(unsigned char chip, unsigned int sector, const unsigned char* param4,
                                          unsigned char command, unsigned short jump, unsigned short repeat,
                                          unsigned char flag)
{
    _USB_DEVICE_T* record = commandRecord();
    if (record == nullptr) {
        return nullptr;
    }
    if (!callSlot(record, &DEV_OPERATIONS_T::readScanSectors, chip, sector, param4, command, jump, repeat, flag)) {
        CPLOG(3, "read scan sector with command of read status of device %s failed", getName());
        return nullptr;
    }
    return record->dataBuffer;
}

unsigned char* UsbDevice::readScanSectors(Sptr<BaseAddress> address, const unsigned char* param4,
                                          unsigned char command, unsigned short jump, unsigned short repeat,
                                          unsigned char flag)
{
    return readScanSectors(static_cast<unsigned char>(address->getChipNo()),
                           static_cast<unsigned int>(address->getPhyAddress()), param4, command, jump, repeat, flag);
}

bool UsbDevice::readScanSectors(unsigned char chip, unsigned int sector, const unsigned char* param4,
                                unsigned char command, unsigned short jump, unsigned short repeat, unsigned char flag,
                                unsigned char* buffer)
{
    _USB_DEVICE_T* record = commandRecord();
    if (record == nullptr) {
        return false;
    }
    VendorCommandBlock block(chip, sector, param4, command, jump, repeat, flag);
    int lastError = 0;
    for (int attempt = 0; attempt < VENDOR_READ_ATTEMPTS; ++attempt) {
        int scsiStatus = -1;
        errno = 0;
        int delivered = scsiPassThroughIn(record->diskHandle, block.bytes(), buffer, VENDOR_READ_LENGTH,
                                          VENDOR_READ_TIMEOUT, &scsiStatus);
        if (delivered != 0 && scsiStatus == 0) {
            return true;
        }
        lastError = errno;
    }
    CPLOG(3, "code err %d", lastError);
    return false;
}

unsigned char* UsbDevice::readScanSectors(Sptr<BaseAddress> address, const unsigned char* param4,
                                          unsigned char command, unsigned short jump, unsigned short repeat,
                                          unsigned char flag, unsigned char* buffer)
{
    if (!readScanSectors(static_cast<unsigned char>(address->getChipNo()),
                         static_cast<unsigned int>(address->getPhyAddress()), param4, command, jump, repeat, flag,
                         buffer)) {
        CPLOG(3, "read scan sector with command of read status of device %s failed", getName());
        return nullptr;
    }
    return buffer;
}

}  // namespace Tessor::schema
