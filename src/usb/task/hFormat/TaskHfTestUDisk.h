// The disk test of the high-format state: the downloads before it have done
// the work, so it has nothing left to do on the device.
#pragma once

#include "schema/task/BaseTask.h"

namespace Tessor::schema {

class TaskHfTestUDisk : public BaseTask {
public:
    TaskHfTestUDisk(TASK_TYPE_T type, const std::string& name);

    [[nodiscard]] int startup(UsbDevice* device, Sptr<BaseEvent> event) override;
    int init() override;
};

}  // namespace Tessor::schema
