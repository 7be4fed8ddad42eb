// Reads the device's version block and checks it against the configured
// controller variant; outside the factory function it takes over the
// configuration table the device already carries.
#pragma once

#include "schema/task/BaseTask.h"

namespace Tessor::schema {

class TaskReadVersion : public BaseTask {
public:
    TaskReadVersion(TASK_TYPE_T type, const std::string& name);

    [[nodiscard]] int startup(UsbDevice* device, Sptr<BaseEvent> event) override;
    int init() override;

private:
    // Fails the task with `code`.
    [[nodiscard]] int fail(const Sptr<BaseEvent>& event, int code);
};

}  // namespace Tessor::schema
