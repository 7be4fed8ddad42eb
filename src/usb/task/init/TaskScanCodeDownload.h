// Downloads the firmware code the next stage needs: the scan code at
// initialisation, the flash-writing code (kind 3) or the high-format code
// (kind 4).
#pragma once

#include "schema/task/BaseTask.h"

namespace Tessor::schema {

class TaskScanCodeDownload : public BaseTask {
public:
    TaskScanCodeDownload(TASK_TYPE_T type, const std::string& name);

    [[nodiscard]] int startup(UsbDevice* device, Sptr<BaseEvent> event) override;
    int init() override { return 0; }
};

}  // namespace Tessor::schema
