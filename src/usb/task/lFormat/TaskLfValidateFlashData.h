// Reads back what the system-area writer put on the flash, address set by
// address set in the same order, and fails on the first difference.
#pragma once

#include "schema/task/BaseTask.h"

namespace Tessor::usb {
class ScanObject;
}

namespace Tessor::schema {

class TaskLfValidateFlashData : public BaseTask {
public:
    TaskLfValidateFlashData(TASK_TYPE_T type, const std::string& name);

    [[nodiscard]] int startup(UsbDevice* device, Sptr<BaseEvent> event) override;
    int init() override;

private:
    [[nodiscard]] int checkPass(UsbDevice* device, const Sptr<BaseEvent>& event, usb::ScanObject& reload, int i);
};

}  // namespace Tessor::schema
