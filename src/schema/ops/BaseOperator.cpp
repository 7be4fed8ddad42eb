#include "schema/ops/BaseOperator.h"

#include <algorithm>

#include "schema/base/Assert.h"
#include "schema/base/DeviceMgr.h"
#include "schema/base/Log.h"
#include "schema/base/RunAgent.h"
#include "schema/device/ConfigInfo.h"
#include "schema/device/UsbDevice.h"
#include "schema/event/HwEvent.h"
#include "schema/event/UiEvent.h"
#include "schema/task/BaseTask.h"

namespace Tessor::schema {

BaseOperator::BaseOperator(const std::string& name, int weight) : m_name(name), m_weight(weight) {}

BaseOperator::~BaseOperator() = default;

void BaseOperator::doCpLog(Sptr<BaseEvent> event)
{
    BaseDevice* device = event->getDevice();
    CPLOG(7, "Operator: %s on Event %s device %s", getName(), event->name(), device ? device->getName() : "");
    updateProgressInfo(event, 10);
}

void BaseOperator::sendUiEvent(Sptr<BaseEvent> event, UiSignalType signal)
{
    BaseDevice* reporting = event->getDevice();
    if (signal != UI_SIG_PLUGGED_OFF && reporting != nullptr && reporting->removalReported()) {
        CPLOG(7, "%s is gone: signal %d not reported", reporting->getName(), signal);
        return;
    }
    Sptr<UiEvent> report(new UiEvent(signal));
    report->setErrorCode(event->getErrorCode());
    report->setErrorCause(event->getErrorCause());
    report->setTarget(*event);
    UsbDevice* device = dynamic_cast<UsbDevice*>(reporting);
    if (device != nullptr) {
        report->setConfigInfo(device->getConfigInfo());
        report->setDriveText(device->getDiskDriver());
    }
    RunAgent::reportToUi(Sptr<BaseEvent>(report));
}

void BaseOperator::updateProgressInfo(Sptr<BaseEvent> event, int percent)
{
    TESSOR_ASSERT(event && event->getDevice() != nullptr);
    event->getDevice()->updateProgressInfo(percent);
}

void BaseOperator::updateToTotalProcess(Sptr<BaseEvent> event)
{
    const int reported = getCurrentPrecent();
    if (reported >= 0 && reported < 100) {
        updateProgressInfo(event, 100 - reported);
    }
}

void BaseOperator::updateToStateTotal(Sptr<BaseEvent> event)
{
    BaseDevice* device = event->getDevice();
    TESSOR_ASSERT(device != nullptr && device->getState());
    const int left = std::clamp(100 - getCurrentPrecent(), 0, 100);
    device->updateProgressNumber(device->getState()->getProgressNumber() - m_weight * left / 100);
    updateProgressInfo(event, left);
}

void BaseOperator::addTasks(const Sptr<BaseTask>& task)
{
    TESSOR_ASSERT(task);
    m_tasks.push_back(task);
    task->setOperator(this);
}

int BaseOperator::addTasksParams(const Sptr<BaseData>& params)
{
    for (const Sptr<BaseTask>& task : m_tasks) {
        CPLOG(7, "TASK : %s is running.....", task->getName());
        if (task->addParams(params) != 0) {
            CPLOG(7, "\t\t : \t%s add params", task->getName());
            return 1;
        }
    }
    return 0;
}

void BaseOperator::runTasks(Sptr<BaseEvent> event)
{
    UsbDevice* device = hasUsbDevice(event);
    for (const Sptr<BaseTask>& task : m_tasks) {
        CPLOG(7, "TASK : %s is running.....", task->getName());
        const int result = task->startup(device, event);
        if (result > 0) {
            CPLOG(3, "\t\t : \t%s ended!", task->getName());
            return;
        }
        if (result < 0) {
            CPLOG(3, "\t\t : \t%s failed", task->getName());
            return;
        }
    }
}

UsbDevice* BaseOperator::hasUsbDevice(const Sptr<BaseEvent>& event)
{
    TESSOR_ASSERT(event && event->getDevice() != nullptr);
    UsbDevice* device = dynamic_cast<UsbDevice*>(event->getDevice());
    TESSOR_ASSERT(device != nullptr);
    return device;
}

void BaseOperator::sendMgrEvent(Sptr<BaseEvent> event)
{
    // The root's first child is the UI manager; the device manager follows.
    RunAgent* agent = RunAgent::instance();
    DeviceMgr* devices = nullptr;
    for (int i = 0; devices == nullptr && i < agent->getManager()->getManagerCount(); ++i) {
        devices = agent->findDeviceMgr(i);
    }
    TESSOR_ASSERT(devices != nullptr);
    devices->reportEvent(event);
}

void BaseOperator::shutdownDevice(Sptr<BaseEvent> event)
{
    UsbDevice* device = hasUsbDevice(event);
    DeviceMgr* manager = dynamic_cast<DeviceMgr*>(device->getParent());
    TESSOR_ASSERT(manager != nullptr);
    // A release the window builds carries no library record: the device
    // still holds it until the reset below.
    void* record = event->getPrivate();
    if (record == nullptr) {
        record = device->getDev();
    }
    if (record != nullptr) {
        Sptr<HwEvent> close(new HwEvent(HW_CMD_CLOSE_DEVICE));
        close->setDevice(device);
        close->setDevIndex(device->getIndex());
        close->setPrivate(record);
        manager->reportEvent(Sptr<BaseEvent>(close));
    } else {
        CPLOG(4, "%s has no device record to close", device->getName());
    }
    const int reset = device->reset();
    TESSOR_ASSERT(reset == 0);
}

}  // namespace Tessor::schema
