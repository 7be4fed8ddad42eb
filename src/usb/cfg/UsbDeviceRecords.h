// The production records of a device as the configuration table, the
// firmware images and the address allocation make them.
#pragma once

#include "schema/device/DeviceRecords.h"

namespace Tessor::usb {

class UsbDeviceRecords : public schema::DeviceRecords {
public:
    void renew(schema::UsbDevice& device) const override;
    Sptr<AllocatAddress> newAllocation() const override;
    FlashShape shapeOf(const FlashInfo& flash) const override;
    bool tableDisk(const CfgTable& table, Sptr<schema::DiskInfo>& disk) const override;
    int takeSettings(schema::UsbDevice& device, const schema::ConfigInfo& settings) const override;
    void takeMp3(CfgTable& table, const Sptr<schema::Mp3Config>& config) const override;
    void bindAddresses(schema::UsbDevice& device, AddressFactory& factory) const override;
    void logSector(const void* sector, int length, const char* title) const override;
};

}  // namespace Tessor::usb
