// What writing and verifying the system area share: the address sets of the
// device, handing one set's addresses to the objects written there, the
// configuration-table index of a set, and the failure a task records.
#pragma once

#include "schema/base/Sptr.h"
#include "schema/event/BaseEvent.h"
#include "usb/cfg/CodeTypes.h"

namespace Tessor::usb {
class AllocatAddress;
class CfgTableIndex;
class ScanObject;
}  // namespace Tessor::usb

namespace Tessor::schema {

class UsbDevice;

class SystemAreaPass {
public:
    // The device's address sets in order; a child of another class ends the process.
    static int setCount(UsbDevice* device);
    static Sptr<usb::AllocatAddress> set(UsbDevice* device, int i);
    // Table, external code, flag and page bitmaps (single-plane layout only)
    // and build information take their addresses from the set; a flag table
    // that cannot repeat the page bitmap's blocks fails the task.
    [[nodiscard]] static int assignAddresses(UsbDevice* device, const Sptr<usb::AllocatAddress>& set,
                                             const Sptr<BaseEvent>& event);
    // Loads the table and `firmware` into the controller's RAM: what the
    // pass writes and reads goes through them, so a refusal fails the task.
    [[nodiscard]] static int reloadFirmware(usb::ScanObject& reload, CMD_COMMON_T firmware,
                                            const Sptr<BaseEvent>& event);
    // A fresh index at the set's index pages, kept by the device; empty
    // unless the firmware finds its table through an index.
    static Sptr<usb::CfgTableIndex> indexOfSet(UsbDevice* device, const Sptr<usb::AllocatAddress>& set);
    static bool isIndexPointerFirmware(UsbDevice* device);
    // Fills the device's configuration table from its run settings; when it
    // cannot be filled, fails the task with the code of the cause.
    [[nodiscard]] static int finishTable(UsbDevice* device, const Sptr<BaseEvent>& event);
    // Records `code` in the event and gives the task's result.
    [[nodiscard]] static int fail(const Sptr<BaseEvent>& event, int code);
    // Logs the time since `started` (a system tick) after the task's name.
    static void logElapsed(const char* task, uint32_t started);
};

}  // namespace Tessor::schema
