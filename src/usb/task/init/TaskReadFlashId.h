// Identifies the device's flash from its id through the flash-chip table.
#pragma once

#include "schema/task/BaseTask.h"

namespace Tessor::schema {

class TaskReadFlashId : public BaseTask {
public:
    TaskReadFlashId(TASK_TYPE_T type, const std::string& name);

    [[nodiscard]] int startup(UsbDevice* device, Sptr<BaseEvent> event) override;
    int init() override;
};

}  // namespace Tessor::schema
