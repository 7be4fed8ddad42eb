#include "schema/device/UsbDevice.h"

#include <cstring>

#include "schema/base/Assert.h"
#include "schema/base/DeviceCode.h"
#include "schema/base/Log.h"
#include "schema/base/UsbConfiguration.h"
#include "schema/device/BaseAddress.h"
#include "schema/device/ConfigInfo.h"
#include "schema/device/DeviceRecords.h"
#include "schema/device/Mp3Config.h"
#include "schema/dpf/DpfDevice.h"
#include "schema/event/DeviceEvent.h"
#include "schema/event/HwEvent.h"
#include "schema/event/ProgressInfo.h"
#include "schema/event/UiEvent.h"
#include "schema/state/BaseState.h"
#include "schema/state/BaseStateMachine.h"
#include "schema/state/DeviceStateType.h"

namespace Tessor::schema {

namespace {

// The operator's stop that the library passes on reaches the device as the
// window's request does.
Sptr<BaseEvent> asDeviceInput(const Sptr<HwEvent>& event)
{
    if (event->getType() != HW_EVT_CANCEL) {
        return Sptr<BaseEvent>(event);
    }
    const bool eject = event->getErrorCode() == DeviceCode::EJECT_FAILED;
    Sptr<UiEvent> request(new UiEvent(eject ? UI_SIG_EJECT : UI_SIG_CANCEL));
    request->setTarget(*event);
    return Sptr<BaseEvent>(request);
}

}  // namespace

UsbDevice::UsbDevice(BaseManager* parent, int slot, const std::string& name) : BaseDevice(parent, slot, name)
{
    int r = reset();
    TESSOR_ASSERT(r == 0);
}

UsbDevice::~UsbDevice() { delete m_dpfDevice; }

void UsbDevice::myProcessEvent(const Sptr<BaseEvent>& event)
{
    if (!isCurrent(*event)) {
        CPLOG(4, "%s: '%s' for a device no longer in the slot: dropped", getName(), event->name());
        return;
    }
    getBaseStateMachine()->process(event);
}

bool UsbDevice::isCurrent(const BaseEvent& event) const
{
    const unsigned generation = event.getGeneration();
    return generation == 0 || generation == m_generation.load();
}

void UsbDevice::receive(_USB_DEVICE_T* record, const Sptr<HwEvent>& event)
{
    Threads::Lock guard(m_recordLock);
    if (event->getType() == HW_EVT_PLUG_IN) {
        PluggedDevice device{record, ++m_lastGeneration, {}};
        event->setGeneration(device.generation);
        Sptr<DeviceEvent> readVersion(new DeviceEvent(DEV_SIG_READ_VERSION));
        readVersion->setTarget(*event);
        device.waiting = {Sptr<BaseEvent>(event), Sptr<BaseEvent>(readVersion)};
        m_plugged.push_back(device);
        if (m_plugged.size() > 1) {
            CPLOG(5, "%s: device plugged while the previous one is held: it waits", getName());
            return;
        }
        m_record = record;
        m_generation = device.generation;
        for (const Sptr<BaseEvent>& waiting : device.waiting) {
            reportEvent(waiting);
        }
        m_plugged.front().waiting.clear();
        return;
    }
    // The library's events come in order: one for a record concerns the
    // device last plugged with it.
    for (auto it = m_plugged.rbegin(); it != m_plugged.rend(); ++it) {
        if (it->record == record) {
            event->setGeneration(it->generation);
            if (it->generation == m_generation.load()) {
                reportEvent(asDeviceInput(event));
            } else {
                it->waiting.push_back(asDeviceInput(event));
            }
            return;
        }
    }
    CPLOG(4, "%s: '%s' of a device no longer held: dropped", getName(), usbDeviceFindEventName(event->getType()));
}

void UsbDevice::releaseRecord()
{
    Threads::Lock guard(m_recordLock);
    if (!m_plugged.empty() && m_plugged.front().generation == m_generation.load()) {
        m_plugged.pop_front();
    }
    m_record = nullptr;
    m_generation = 0;
    if (m_plugged.empty()) {
        return;
    }
    PluggedDevice& next = m_plugged.front();
    m_record = next.record;
    m_generation = next.generation;
    for (const Sptr<BaseEvent>& waiting : next.waiting) {
        reportEvent(waiting);
    }
    next.waiting.clear();
}

void UsbDevice::setDev(_USB_DEVICE_T* record)
{
    Threads::Lock guard(m_recordLock);
    m_record = record;
}

_USB_DEVICE_T* UsbDevice::currentRecord() const
{
    Threads::Lock guard(m_recordLock);
    return m_record;
}

bool UsbDevice::takeRemovalReport()
{
    const bool first = !m_removalReported;
    m_removalReported = true;
    return first;
}

int UsbDevice::reset()
{
    UsbConfiguration* config = UsbConfiguration::instance();
    DeviceRecords::installed().renew(*this);
    m_fileSystemFactory = Sptr<FileSystemFactory>(new FileSystemFactory(this));
    m_sectorBitmap = Sptr<usb::SectorBitmap>();
    setState(findState(STATE_UNPLUG));
    replaceShown(m_flashInfo, Sptr<usb::FlashInfo>());
    replaceShown(m_diskInfo, Sptr<DiskInfo>());
    m_currentPlane = Sptr<PlaneInfo>(new PlaneInfo(1, 1, 1));
    m_flashPlane = Sptr<PlaneInfo>(new PlaneInfo(1, 1, 1));
    replaceShown(m_version, Sptr<VersionInfo>());
    m_proScanMode = 0;
    replaceShown(m_configInfo, Sptr<ConfigInfo>());
    if (config->isDpfSupport() && m_dpfDevice == nullptr) {
        m_dpfDevice = new DpfDevice(this, "DpfDevice");
        m_dpfDevice->init();
    }
    resetAllocatAddress();
    m_preAllocatedCfgIndex = Sptr<BaseAddress>();
    // Nothing of the previous device may leak into the next one.
    m_setList = Sptr<usb::SetList>();
    m_pageBitmap = Sptr<usb::PageBitmap>();
    m_flagBitmap = Sptr<usb::FlagPageBitmap>();
    m_indexTableSet = Sptr<usb::IndexTableSet>();
    m_cfgTableIndex = Sptr<usb::CfgTableIndex>();
    m_scanMode = Sptr<usb::ScanMode>();
    m_scanBitmapFactory = Sptr<usb::ScanBitmapFactory>();
    resetCancel();
    m_removalReported = false;
    releaseRecord();
    CPLOG(7, "program run at %d line of %s() at %s", __LINE__, __func__, __FILE__);
    return 0;
}

_USB_DEVICE_T* UsbDevice::getDev()
{
    _USB_DEVICE_T* record = currentRecord();
    if (record == nullptr) {
        CPLOG(3, "No device layer device is associated with %s", getName());
    }
    return record;
}

std::string UsbDevice::getDiskDriver() const
{
    Threads::Lock guard(m_recordLock);
    if (m_record == nullptr) {
        return "NULL";
    }
    return std::string(m_record->driveText, strnlen(m_record->driveText, sizeof(m_record->driveText)));
}

Sptr<usb::SectorBitmap> UsbDevice::getSectorBitmap() const
{
    TESSOR_ASSERT(m_sectorBitmap);
    return m_sectorBitmap;
}

Sptr<usb::PageBitmap> UsbDevice::getPageBitmap() const
{
    TESSOR_ASSERT(m_pageBitmap);
    return m_pageBitmap;
}

Sptr<usb::ScanMode> UsbDevice::getScanMode() const
{
    TESSOR_ASSERT(m_scanMode);
    return m_scanMode;
}

Sptr<usb::ScanBitmapFactory> UsbDevice::getScanBitmapFactory() const
{
    TESSOR_ASSERT(m_scanBitmapFactory);
    return m_scanBitmapFactory;
}

Sptr<ScanConfig> UsbDevice::getScanConfig() const
{
    TESSOR_ASSERT(m_configInfo);
    return m_configInfo->getScanConfig();
}

void UsbDevice::setFlagBitmap(Sptr<usb::FlagPageBitmap> bitmap) { m_flagBitmap = bitmap; }

void UsbDevice::setSetList(Sptr<usb::SetList> list) { m_setList = list; }

void UsbDevice::setScanMode(Sptr<usb::ScanMode> mode) { m_scanMode = mode; }

void UsbDevice::setScanBitmapFactory(Sptr<usb::ScanBitmapFactory> factory) { m_scanBitmapFactory = factory; }

void UsbDevice::setSectorBitmap(Sptr<usb::SectorBitmap> bitmap)
{
    m_sectorBitmap = bitmap;
    TESSOR_ASSERT(m_sectorBitmap);
}

void UsbDevice::setPageBitmap(Sptr<usb::PageBitmap> bitmap)
{
    m_pageBitmap = bitmap;
    TESSOR_ASSERT(m_pageBitmap);
}

void UsbDevice::setFlashInfo(Sptr<usb::FlashInfo> flashInfo)
{
    const DeviceRecords::FlashShape shape = DeviceRecords::installed().shapeOf(*flashInfo);
    replaceShown(m_flashInfo, flashInfo);
    replaceShown(m_diskInfo, shape.disk);
    // In place: whoever holds the plane record sees the new flash.
    m_flashPlane->setChipCounts(m_diskInfo ? m_diskInfo->getChipsPerDisk() : 0);
    m_flashPlane->setInterleavePerChip(shape.interleavePerChip);
    m_flashPlane->setPlanePerChip(shape.planesPerChip);
}

Sptr<usb::CfgTable> UsbDevice::getCfgTable() const { return shown(m_cfgTable); }

Sptr<usb::CfgTableIndex> UsbDevice::getCfgTableIndex() const { return m_cfgTableIndex; }

void UsbDevice::setCfgTableIndex(Sptr<usb::CfgTableIndex> index) { m_cfgTableIndex = index; }

void UsbDevice::setCfgTable(Sptr<usb::CfgTable> table)
{
    replaceShown(m_cfgTable, table);
    Sptr<DiskInfo> disk;
    if (UsbConfiguration::instance()->getCurrentFunction() != FUNCTION_FACTORY &&
        DeviceRecords::installed().tableDisk(*table, disk)) {
        replaceShown(m_diskInfo, disk);
    }
}

int UsbDevice::setConfigInfo(Sptr<ConfigInfo> configInfo)
{
    UsbConfiguration* config = UsbConfiguration::instance();
    int result = 0;
    replaceShown(m_configInfo, configInfo);
    m_currentPlane = m_flashPlane;
    bool highFormat = m_state && m_state->getStateType() == STATE_HIGH_FORMAT;
    if (highFormat || config->getCurrentFunction() != FUNCTION_FACTORY) {
        result = DeviceRecords::installed().takeSettings(*this, *configInfo);
    }
    if (config->isDpfSupport() && m_dpfDevice != nullptr) {
        m_dpfDevice->setDpfConfig(configInfo->getDpfConfig());
    }
    if (config->getChipSet() == CHIPSET_6605) {
        setMp3Config(configInfo->getMp3Config());
    }
    configInfo->debug();
    return result;
}

void UsbDevice::setMp3Config(Sptr<Mp3Config> config) { DeviceRecords::installed().takeMp3(*m_cfgTable, config); }

void UsbDevice::setAddress(Sptr<usb::AddressFactory> factory)
{
    TESSOR_ASSERT(m_pageBitmap && factory);
    DeviceRecords::installed().bindAddresses(*this, *factory);
}

int UsbDevice::setCurrentPlaneInfo(Sptr<PlaneInfo> plane)
{
    if (!plane) {
        return -1;
    }
    m_currentPlane->setChipCounts(plane->getChipCounts());
    m_currentPlane->setInterleavePerChip(plane->getInterleavePerChip());
    m_currentPlane->setPlanePerChip(plane->getPlanePerChip());
    return 0;
}

void UsbDevice::setProScanMode(int mode)
{
    CPLOG(7, "setProScanMode %d", mode);
    m_proScanMode = mode;
}

int UsbDevice::getProScanMode() const
{
    const int mode = m_proScanMode;
    CPLOG(7, "getProScanMode %d", mode);
    return mode;
}

void UsbDevice::resetAllocatAddress() { m_allocatAddress = DeviceRecords::installed().newAllocation(); }

void UsbDevice::completeReport(UiEvent& report, ProgressInfo& progress)
{
    report.setPrivate(currentRecord());
    report.setGeneration(m_generation.load());
    report.setDriveText(getDiskDriver());
    progress.setCurScanMode(getProScanMode());
}

}  // namespace Tessor::schema
