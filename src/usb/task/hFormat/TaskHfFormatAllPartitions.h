// Formats every partition of the device, then fills partitions with their
// content from the PC: the configured boot files into the first, or each
// partition's own copy folder, switching the device to each later unit.
#pragma once

#include <string>

#include "schema/task/BaseTask.h"

namespace Tessor::schema {

class PartInfo;

class TaskHfFormatAllPartitions : public BaseTask {
public:
    static constexpr int COPY_ATTEMPTS = 100;
    static constexpr int COPY_RETRY_MS = 30;
    static constexpr int SETTLE_MS = 500;

    TaskHfFormatAllPartitions(TASK_TYPE_T type, const std::string& name);

    [[nodiscard]] int startup(UsbDevice* device, Sptr<BaseEvent> event) override;
    int init() override;

private:
    // Up to COPY_ATTEMPTS copies of `source` onto `target`; true once one
    // succeeds. A copy the library refuses for good is not tried again: why
    // is in `refusal`.
    [[nodiscard]] static bool copy(const std::string& source, const std::string& target, std::string* refusal);
    static void volume(UsbDevice* device, int operation);
};

}  // namespace Tessor::schema
