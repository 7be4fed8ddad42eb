// Operator with the event-kind tests, state look-up and the posts to the
// device's own queue and to its device manager.
#pragma once

#include "schema/event/DeviceEvent.h"
#include "schema/event/HwEvent.h"
#include "schema/event/UiEvent.h"
#include "schema/ops/BaseOperator.h"

namespace Tessor::schema {

class DeviceOperator : public BaseOperator {
public:
    DeviceOperator(const std::string& name, int weight) : BaseOperator(name, weight) {}

protected:
    // A new device event with `signal`, behind what the device has queued.
    virtual void sendDeviceEvent(Sptr<BaseEvent> event, DeviceSignalType signal);
    // A copy of `command` to the device's manager, which hands it to the
    // device library.
    virtual void sendHwCommand(Sptr<HwEvent> command);

    Sptr<BaseState> lookupDeviceState(const Sptr<BaseEvent>& event, int type);
    Sptr<DeviceEvent> isDeviceEvent(const Sptr<BaseEvent>& event);
    Sptr<HwEvent> isHwEvent(const Sptr<BaseEvent>& event);
    Sptr<UiEvent> isUiEvent(const Sptr<BaseEvent>& event);
    // The signal or kind, 0 for an event of another class.
    DeviceSignalType getDeviceEventType(const Sptr<BaseEvent>& event);
    device_event_t getHwEventType(const Sptr<BaseEvent>& event);
    UiSignalType getUiEventType(const Sptr<BaseEvent>& event);
};

}  // namespace Tessor::schema
