// What a device object asks of the production side about the production
// records it holds (firmware images, configuration table, address
// allocation, identified flash): their making for each new device, their
// binding to the system area and what they tell of the flash. The
// production side installs its answers at start.
#pragma once

#include "schema/base/Sptr.h"

namespace Tessor::usb {
class AddressFactory;
class AllocatAddress;
class CfgTable;
class FlashInfo;
}  // namespace Tessor::usb

namespace Tessor::schema {

class ConfigInfo;
class DiskInfo;
class Mp3Config;
class UsbDevice;

class DeviceRecords {
public:
    // Geometry of an identified flash.
    struct FlashShape {
        Sptr<DiskInfo> disk;
        int interleavePerChip = 0;
        int planesPerChip = 0;
    };

    static void install(const DeviceRecords* records);
    // The installed answers; without them the process stops.
    static const DeviceRecords& installed();

    virtual ~DeviceRecords() = default;

    // Fresh firmware images, configuration table and address factory for
    // the device now in the slot.
    virtual void renew(UsbDevice& device) const = 0;
    virtual Sptr<usb::AllocatAddress> newAllocation() const = 0;
    virtual FlashShape shapeOf(const usb::FlashInfo& flash) const = 0;
    // The disk the table's flash record describes; false when it has none.
    virtual bool tableDisk(const usb::CfgTable& table, Sptr<DiskInfo>& disk) const = 0;
    // Run settings into the device's configuration table: 0, or in the user
    // function the partition item's refusal.
    virtual int takeSettings(UsbDevice& device, const ConfigInfo& settings) const = 0;
    virtual void takeMp3(usb::CfgTable& table, const Sptr<Mp3Config>& config) const = 0;
    // Each record of the system area takes the address the factory gave it.
    virtual void bindAddresses(UsbDevice& device, usb::AddressFactory& factory) const = 0;
    // Logs a sector that may hold a configuration table, its password blanked.
    virtual void logSector(const void* sector, int length, const char* title) const = 0;
};

}  // namespace Tessor::schema
