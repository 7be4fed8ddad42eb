// Cuts a scanned device's good blocks into its block sets and places the
// copies of the system area in the first; on index-pointer firmware the
// pages of the configuration-table index are chosen before.
#pragma once

#include "schema/task/BaseTask.h"

namespace Tessor::schema {

class TaskLfCreateSetList : public BaseTask {
public:
    TaskLfCreateSetList(TASK_TYPE_T type, const std::string& name);

    [[nodiscard]] int startup(UsbDevice* device, Sptr<BaseEvent> event) override;
    int init() override;
};

}  // namespace Tessor::schema
