// The full scan of the flash (or, at scan level 3, reading the saved
// bitmaps back), leaving the sector and block bitmaps on the device.
#pragma once

#include "schema/task/BaseTask.h"

namespace Tessor::schema {

class TaskScanScan : public BaseTask {
public:
    TaskScanScan(TASK_TYPE_T type, const std::string& name);

    [[nodiscard]] int startup(UsbDevice* device, Sptr<BaseEvent> event) override;
    int init() override;
};

}  // namespace Tessor::schema
