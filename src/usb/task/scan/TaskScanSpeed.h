// The access-speed probe: replaces the run's speed choice by its speed code,
// and for the automatic choice tries the codes on the first good sector.
#pragma once

#include "schema/task/BaseTask.h"

namespace Tessor::usb {

class ScanObjectSpeed;

class TaskScanSpeed : public schema::BaseTask {
public:
    static constexpr int AUTOMATIC = 0xFFFF;
    static constexpr int SLOWEST = 0x1313;
    static constexpr int NO_PROBE = 0x1111;

    TaskScanSpeed(schema::TASK_TYPE_T type, const std::string& name);

    // The speed code of a run's speed choice (0 automatic, 1 fastest to 4
    // slowest); any other value is taken as a code already.
    static int speedCode(int choice);

    [[nodiscard]] int startup(schema::UsbDevice* device, Sptr<schema::BaseEvent> event) override;
    int init() override;

private:
    [[nodiscard]] int trySpeed(schema::UsbDevice* device, const Sptr<ScanObjectSpeed>& engine, int speed);
};

}  // namespace Tessor::usb
