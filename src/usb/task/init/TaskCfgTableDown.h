// Downloads a configuration table into the controller's RAM: the default
// one at initialisation (kind 7), the device's own later (kind 9).
#pragma once

#include "schema/task/BaseTask.h"

namespace Tessor::schema {

class TaskCfgTableDown : public BaseTask {
public:
    TaskCfgTableDown(TASK_TYPE_T type, const std::string& name);

    [[nodiscard]] int startup(UsbDevice* device, Sptr<BaseEvent> event) override;
    int init() override { return 0; }
};

}  // namespace Tessor::schema
