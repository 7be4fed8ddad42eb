// Places the photo-frame areas of a device on its flash, before the block
// sets are cut from what is left.
#pragma once

#include "schema/task/BaseTask.h"

namespace Tessor::schema {

class TaskLfAllocateAddr4Dpf : public BaseTask {
public:
    TaskLfAllocateAddr4Dpf(TASK_TYPE_T type, const std::string& name);

    [[nodiscard]] int startup(UsbDevice* device, Sptr<BaseEvent> event) override;
    int init() override;
};

}  // namespace Tessor::schema
