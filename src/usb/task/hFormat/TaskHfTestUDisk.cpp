#include "usb/task/hFormat/TaskHfTestUDisk.h"

#include "schema/base/Assert.h"

namespace Tessor::schema {

TaskHfTestUDisk::TaskHfTestUDisk(TASK_TYPE_T type, const std::string& name) : BaseTask(type, name) { init(); }

int TaskHfTestUDisk::init()
{
    TESSOR_ASSERT(getType() == TASK_TEST_UDISK);
    return 0;
}

int TaskHfTestUDisk::startup(UsbDevice* /*device*/, Sptr<BaseEvent> /*event*/) { return init(); }

}  // namespace Tessor::schema
