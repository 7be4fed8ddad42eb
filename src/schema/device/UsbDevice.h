// One production port with the device plugged into it: the binding to the
// device library's record, the identified flash, the run settings, every
// per-device data object, and the commands sent to the device.
#pragma once

#include <atomic>
#include <deque>
#include <string>
#include <utility>
#include <vector>

#include "platform/taval/Taval.h"
#include "schema/device/BaseDevice.h"
#include "schema/device/DiskInfo.h"
#include "schema/device/PlaneInfo.h"
#include "schema/device/VersionInfo.h"
#include "schema/event/HwEvent.h"
#include "schema/device/FileSystemFactory.h"

namespace Tessor::usb {
class AddressFactory;
class AllocatAddress;
class CfgTable;
class CfgTableIndex;
class CmdExternalCode;
class FlagPageBitmap;
class FlashInfo;
class IndexTableSet;
class PageBitmap;
class ScanBitmapFactory;
class ScanMode;
class SectorBitmap;
class SetList;
}  // namespace Tessor::usb

namespace Tessor::schema {

class BaseAddress;
class ConfigInfo;
class DpfDevice;
class Mp3Config;
class ScanConfig;

class UsbDevice : public BaseDevice {
public:
    static constexpr int ERASE_GROUP = 32;
    static constexpr int VENDOR_READ_LENGTH = 1024;
    static constexpr int VENDOR_READ_ATTEMPTS = 3;
    static constexpr int VENDOR_READ_TIMEOUT = 20;
    static constexpr int PASSWORD_MAX = 17;

    static constexpr int WRITE_LOGICAL_FAILED = -29;

    UsbDevice(BaseManager* parent, int slot, const std::string& name);
    ~UsbDevice() override;

    void destory() override {}
    void myMainLoop(void* /*arg*/) override {}
    void myProcessEvent(const Sptr<BaseEvent>& event) override;
    [[nodiscard]] int reset() override;

    bool isCurrent(const BaseEvent& event) const override;

    _USB_DEVICE_T* getDev();
    // Binds a record to the slot outside the library's plug-in road.
    void setDev(_USB_DEVICE_T* record);
    // A copy: the library frees the record when the device is closed.
    std::string getDiskDriver() const;
    // A library event for the device of `record`, on the library's thread. A
    // plug-in binds the record, unless the slot still holds an earlier
    // device: then it and every later event of that device wait until the
    // earlier one is released. Events of a device no longer held are
    // dropped.
    void receive(_USB_DEVICE_T* record, const Sptr<HwEvent>& event);
    // True the first time it is asked for the device now in the slot: its
    // removal is reported once, whether it was pulled, ejected or both.
    [[nodiscard]] bool takeRemovalReport();
    bool removalReported() const override { return m_removalReported; }

    // The records a report's reader on another thread (the window, the
    // console) looks at: each getter hands out a hold on the record as it is
    // now, safe while this slot's thread replaces it.
    Sptr<VersionInfo> getVersion() const { return shown(m_version); }
    Sptr<usb::FlashInfo> getFlashInfo() const { return shown(m_flashInfo); }
    Sptr<DiskInfo> getDiskInfo() const { return shown(m_diskInfo); }
    Sptr<PlaneInfo> getCurrentPlaneInfo() const { return m_currentPlane; }
    Sptr<PlaneInfo> getFlashPlaneInfo() const { return m_currentPlane; }
    Sptr<usb::FlagPageBitmap> getFlagBitmap() const { return m_flagBitmap; }
    Sptr<usb::CmdExternalCode> getDpfCode() const { return m_dpfCode; }
    Sptr<usb::SetList> getSetList() const { return m_setList; }
    Sptr<usb::IndexTableSet> getIndexTableSet() const { return m_indexTableSet; }
    Sptr<usb::AddressFactory> getAddress() const { return m_addressFactory; }
    Sptr<usb::CfgTable> getCfgTable() const;
    Sptr<usb::CfgTableIndex> getCfgTableIndex() const;
    Sptr<usb::CmdExternalCode> getExternalCode() const { return m_externalCode; }
    Sptr<FileSystemFactory> getFileSystemFactory() const { return m_fileSystemFactory; }
    Sptr<ConfigInfo> getConfigInfo() const { return shown(m_configInfo); }
    Sptr<usb::AllocatAddress> getAllocatAddress() const { return m_allocatAddress; }
    Sptr<BaseAddress> getPerAllocateCfgIndexPtr() const { return m_preAllocatedCfgIndex; }
    DpfDevice* getDpfDevice() const { return m_dpfDevice; }

    // These require their object.
    Sptr<usb::SectorBitmap> getSectorBitmap() const;
    Sptr<usb::PageBitmap> getPageBitmap() const;
    Sptr<usb::ScanMode> getScanMode() const;
    bool hasScanMode() const { return static_cast<bool>(m_scanMode); }
    Sptr<usb::ScanBitmapFactory> getScanBitmapFactory() const;
    Sptr<ScanConfig> getScanConfig() const;

    void setFlagBitmap(Sptr<usb::FlagPageBitmap> bitmap);
    void setDpfCode(Sptr<usb::CmdExternalCode> code) { m_dpfCode = code; }
    void setSetList(Sptr<usb::SetList> list);
    void setIndexTableSet(Sptr<usb::IndexTableSet> set) { m_indexTableSet = set; }
    void setCfgTableIndex(Sptr<usb::CfgTableIndex> index);
    void setExternalCode(Sptr<usb::CmdExternalCode> code) { m_externalCode = code; }
    // The factory of the next allocation; setAddress binds the records to one.
    void setAddressFactory(Sptr<usb::AddressFactory> factory) { m_addressFactory = factory; }
    void setFileSystemFactory(Sptr<FileSystemFactory> factory) { m_fileSystemFactory = factory; }
    void setScanMode(Sptr<usb::ScanMode> mode);
    void setScanBitmapFactory(Sptr<usb::ScanBitmapFactory> factory);
    void setPerAllocateCfgIndexPtr(Sptr<BaseAddress> address) { m_preAllocatedCfgIndex = address; }
    void setSectorBitmap(Sptr<usb::SectorBitmap> bitmap);
    void setPageBitmap(Sptr<usb::PageBitmap> bitmap);

    void setFlashInfo(Sptr<usb::FlashInfo> flashInfo);
    // The version record as the device's read-version answer leaves it.
    void setVersion(Sptr<VersionInfo> version) { replaceShown(m_version, version); }
    void setCfgTable(Sptr<usb::CfgTable> table);
    // 0, or in the user function the partition item's refusal of the
    // settings (-DeviceCode::CAPACITY_TOO_SMALL), which the caller fails the
    // device with.
    [[nodiscard]] int setConfigInfo(Sptr<ConfigInfo> configInfo);
    void setAddress(Sptr<usb::AddressFactory> factory);
    [[nodiscard]] int setCurrentPlaneInfo(Sptr<PlaneInfo> plane);
    void setMp3Config(Sptr<Mp3Config> config);
    void setProScanMode(int mode);
    int getProScanMode() const;
    void resetAllocatAddress();
    bool isAddressAllocated() const { return static_cast<bool>(m_cfgTableIndex); }

    // Device commands. Reads return the record's data buffer, which the next
    // read overwrites; int commands return 0 or their negative failure value.
    [[nodiscard]] unsigned char* readLogicalSectors(unsigned first, unsigned count);
    [[nodiscard]] int writeLogicalSectors(unsigned first, unsigned count, const unsigned char* data);
    [[nodiscard]] int eraseBlocks(int block, int count);
    [[nodiscard]] int eraseChip();
    [[nodiscard]] int eraseOneBlock(Sptr<BaseAddress> address);
    [[nodiscard]] unsigned char* readFlashSectors(int chip, int sector, int count);
    [[nodiscard]] unsigned char* readFlashSectors(Sptr<BaseAddress> address, int count);
    [[nodiscard]] int writeFlashSectors(int chip, int sector, int count, const unsigned char* data);
    [[nodiscard]] int writeFlashSectors(Sptr<BaseAddress> address, int count, const unsigned char* data);
    [[nodiscard]] int writeL1IndexTable(Sptr<BaseAddress> address, unsigned char setNo, const unsigned char* data);
    [[nodiscard]] int writeConfigTable2Ram(const unsigned char* table);
    [[nodiscard]] unsigned char* readFlashId(int chip, FLASH_TYPES kind);
    [[nodiscard]] int downloadExternalCode(unsigned char kind, const unsigned char* code, int length);
    [[nodiscard]] int partitionProtect(unsigned char unit, unsigned char setting);
    [[nodiscard]] int switchPartition(unsigned char unit);
    [[nodiscard]] unsigned char* readVersionInfo();
    [[nodiscard]] int resetDevice(unsigned char mode);
    [[nodiscard]] int ejectDisk();
    [[nodiscard]] int volumeControl(_VOLUME_OP_T operation);
    [[nodiscard]] unsigned char* readSectorsNoEcc(Sptr<BaseAddress> address, unsigned char count);
    [[nodiscard]] int writeSectorsNoEcc(int chip, int sector, unsigned char count, const unsigned char* data, int unused);
    [[nodiscard]] int writeScanSectors(unsigned char chip, unsigned int sector, unsigned char value, unsigned char command,
                         unsigned short jump, unsigned short repeat, unsigned char count, const unsigned char* data);
    [[nodiscard]] int writeScanSectors(Sptr<BaseAddress> address, unsigned char value, unsigned char command, unsigned short jump,
                         unsigned short repeat, unsigned char count, const unsigned char* data);
    [[nodiscard]] unsigned char* readScanSectors(unsigned char chip, unsigned int sector, const unsigned char* param4,
                                   unsigned char command, unsigned short jump, unsigned short repeat,
                                   unsigned char flag);
    [[nodiscard]] unsigned char* readScanSectors(Sptr<BaseAddress> address, const unsigned char* param4, unsigned char command,
                                   unsigned short jump, unsigned short repeat, unsigned char flag);
    // Vendor read: buffer must hold VENDOR_READ_LENGTH bytes.
    [[nodiscard]] bool readScanSectors(unsigned char chip, unsigned int sector, const unsigned char* param4, unsigned char command,
                         unsigned short jump, unsigned short repeat, unsigned char flag, unsigned char* buffer);
    [[nodiscard]] unsigned char* readScanSectors(Sptr<BaseAddress> address, const unsigned char* param4, unsigned char command,
                                   unsigned short jump, unsigned short repeat, unsigned char flag,
                                   unsigned char* buffer);

protected:
    void completeReport(UiEvent& report, ProgressInfo& progress) override;

private:
    // The bound record, or null after the log line every command gives.
    _USB_DEVICE_T* commandRecord() const;
    // A sector counted inside `chip` becomes one counted over the device.
    int deviceWideSector(int chip, int sector) const;
    _USB_DEVICE_T* currentRecord() const;
    // The slot is done with its device: the next one plugged, if any, is
    // bound and its waiting events are queued.
    void releaseRecord();

    // A device plugged into the port and not yet released, in plug order.
    struct PluggedDevice {
        _USB_DEVICE_T* record;
        unsigned generation;
        std::vector<Sptr<BaseEvent>> waiting;
    };

    // Guards the record and the plugged devices against the library's
    // thread. Taken before the state lock, never after it.
    mutable Threads::Mutex m_recordLock;
    _USB_DEVICE_T* m_record = nullptr;
    std::deque<PluggedDevice> m_plugged;
    unsigned m_lastGeneration = 0;
    // Read without the lock by any thread that posts to the slot.
    std::atomic<unsigned> m_generation{0};
    bool m_removalReported = false;
    template <class T>
    Sptr<T> shown(const Sptr<T>& record) const
    {
        Threads::Lock guard(m_shownLock);
        return record;
    }
    // What the record held is let go after the lock, so its destruction
    // may take any lock it likes.
    template <class T>
    void replaceShown(Sptr<T>& record, Sptr<T> value)
    {
        Threads::Lock guard(m_shownLock);
        std::swap(record, value);
    }

    // Guards the records other threads read (version, flash, disk, table,
    // settings); no other lock is taken under it.
    mutable Threads::Mutex m_shownLock;
    Sptr<VersionInfo> m_version;
    Sptr<usb::FlashInfo> m_flashInfo;
    Sptr<DiskInfo> m_diskInfo;
    Sptr<PlaneInfo> m_currentPlane;
    Sptr<PlaneInfo> m_flashPlane;
    Sptr<usb::SectorBitmap> m_sectorBitmap;
    DpfDevice* m_dpfDevice = nullptr;
    Sptr<usb::CmdExternalCode> m_dpfCode;
    Sptr<usb::SetList> m_setList;
    Sptr<usb::PageBitmap> m_pageBitmap;
    Sptr<usb::FlagPageBitmap> m_flagBitmap;
    Sptr<usb::IndexTableSet> m_indexTableSet;
    Sptr<usb::AddressFactory> m_addressFactory;
    Sptr<usb::CfgTable> m_cfgTable;
    Sptr<usb::CfgTableIndex> m_cfgTableIndex;
    Sptr<usb::CmdExternalCode> m_externalCode;
    Sptr<FileSystemFactory> m_fileSystemFactory;
    Sptr<usb::ScanMode> m_scanMode;
    Sptr<usb::ScanBitmapFactory> m_scanBitmapFactory;
    Sptr<ConfigInfo> m_configInfo;
    std::atomic<int> m_proScanMode{0};
    Sptr<usb::AllocatAddress> m_allocatAddress;
    Sptr<BaseAddress> m_preAllocatedCfgIndex;
};

}  // namespace Tessor::schema
