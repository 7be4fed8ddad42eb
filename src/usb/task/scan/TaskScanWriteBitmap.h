// Saves the sector bitmap on the flash and settles the plane layout and
// block mode the low-level format builds its block sets with.
#pragma once

#include "schema/task/BaseTask.h"

namespace Tessor::schema {

class TaskScanWriteBitmap : public BaseTask {
public:
    TaskScanWriteBitmap(TASK_TYPE_T type, const std::string& name);

    [[nodiscard]] int startup(UsbDevice* device, Sptr<BaseEvent> event) override;
    int init() override;
    // Whether enough multi-plane block groups are good for block mode.
    static bool mostGroupsGood(int goodGroups, int planesPerGroup, int blocks);
};

}  // namespace Tessor::schema
