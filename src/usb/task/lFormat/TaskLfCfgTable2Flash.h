// Writes the system area to the flash: per address set the configuration
// table (and its index), the external code, the photo-frame code and data,
// the flag table, the build information and the page bitmap; then, in the
// factory function, the index tables.
#pragma once

#include "schema/task/BaseTask.h"

namespace Tessor::usb {
class AllocatAddress;
class ScanObject;
}  // namespace Tessor::usb

namespace Tessor::schema {

class TaskLfCfgTable2Flash : public BaseTask {
public:
    TaskLfCfgTable2Flash(TASK_TYPE_T type, const std::string& name);

    [[nodiscard]] int startup(UsbDevice* device, Sptr<BaseEvent> event) override;
    int init() override;

private:
    // Erases every block that holds a system page of an address set.
    [[nodiscard]] int eraseSystemBlocks(UsbDevice* device, const Sptr<BaseEvent>& event);
    // Rewrites table, code, flag table and build information where they are.
    [[nodiscard]] int writeInPlace(UsbDevice* device, const Sptr<BaseEvent>& event);
    [[nodiscard]] int writePass(UsbDevice* device, const Sptr<BaseEvent>& event, usb::ScanObject& reload, int i);
};

}  // namespace Tessor::schema
