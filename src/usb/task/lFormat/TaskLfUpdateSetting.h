// Refits the run settings' partitions to the sectors the device's block
// sets offer, before the low-level format writes its tables.
#pragma once

#include "schema/task/BaseTask.h"

namespace Tessor::schema {

class TaskLfUpdateSetting : public BaseTask {
public:
    TaskLfUpdateSetting(TASK_TYPE_T type, const std::string& name);

    [[nodiscard]] int startup(UsbDevice* device, Sptr<BaseEvent> event) override;
    int init() override;
};

}  // namespace Tessor::schema
