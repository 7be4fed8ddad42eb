#include "schema/ops/DeviceOperator.h"

#include "schema/base/Assert.h"
#include "schema/base/DeviceMgr.h"
#include "schema/device/BaseDevice.h"

namespace Tessor::schema {

void DeviceOperator::sendDeviceEvent(Sptr<BaseEvent> event, DeviceSignalType signal)
{
    Sptr<DeviceEvent> next(new DeviceEvent(signal));
    next->setErrorCode(event->getErrorCode());
    next->setTarget(*event);
    event->getDevice()->reportEvent(Sptr<BaseEvent>(next));
}

void DeviceOperator::sendHwCommand(Sptr<HwEvent> command)
{
    TESSOR_ASSERT(command && command->getDevice() != nullptr);
    DeviceMgr* manager = dynamic_cast<DeviceMgr*>(command->getDevice()->getParent());
    TESSOR_ASSERT(manager != nullptr);
    Sptr<HwEvent> copy(new HwEvent(command->getType()));
    copy->setTarget(*command);
    copy->setDevIndex(command->getDevIndex());
    copy->setErrorCode(command->getErrorCode());
    manager->reportEvent(Sptr<BaseEvent>(copy));
}

Sptr<BaseState> DeviceOperator::lookupDeviceState(const Sptr<BaseEvent>& event, int type)
{
    TESSOR_ASSERT(event && event->getDevice() != nullptr);
    return event->getDevice()->findState(type);
}

Sptr<DeviceEvent> DeviceOperator::isDeviceEvent(const Sptr<BaseEvent>& event)
{
    TESSOR_ASSERT(event);
    return Sptr<DeviceEvent>(event);
}

Sptr<HwEvent> DeviceOperator::isHwEvent(const Sptr<BaseEvent>& event)
{
    TESSOR_ASSERT(event);
    return Sptr<HwEvent>(event);
}

Sptr<UiEvent> DeviceOperator::isUiEvent(const Sptr<BaseEvent>& event)
{
    TESSOR_ASSERT(event);
    return Sptr<UiEvent>(event);
}

DeviceSignalType DeviceOperator::getDeviceEventType(const Sptr<BaseEvent>& event)
{
    Sptr<DeviceEvent> device = isDeviceEvent(event);
    return device ? device->getType() : static_cast<DeviceSignalType>(0);
}

device_event_t DeviceOperator::getHwEventType(const Sptr<BaseEvent>& event)
{
    Sptr<HwEvent> hw = isHwEvent(event);
    return hw ? hw->getType() : static_cast<device_event_t>(0);
}

UiSignalType DeviceOperator::getUiEventType(const Sptr<BaseEvent>& event)
{
    Sptr<UiEvent> ui = isUiEvent(event);
    return ui ? ui->getType() : static_cast<UiSignalType>(0);
}

}  // namespace Tessor::schema
