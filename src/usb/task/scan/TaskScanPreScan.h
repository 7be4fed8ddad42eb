// Makes the device's page-pattern factory and, at scan priority 2, runs the
// pre-scan that chooses the full scan's mode.
#pragma once

#include "schema/task/BaseTask.h"

namespace Tessor::schema {

class TaskScanPreScan : public BaseTask {
public:
    TaskScanPreScan(TASK_TYPE_T type, const std::string& name);

    [[nodiscard]] int startup(UsbDevice* device, Sptr<BaseEvent> event) override;
    int init() override;
};

}  // namespace Tessor::schema
