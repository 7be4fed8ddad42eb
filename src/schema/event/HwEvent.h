// Event from the device library, or command to it.
#pragma once

#include "schema/event/BaseEvent.h"
#include "platform/taval/Taval.h"

namespace Tessor::schema {

class HwEvent : public BaseEvent {
public:
    HwEvent() = default;
    explicit HwEvent(device_event_t type) : m_type(type) {}

    const char* name() const override { return "HW-EVENT"; }

    void setType(device_event_t type) { m_type = type; }
    device_event_t getType() const { return m_type; }
    void setDevIndex(int index) { m_devIndex = index; }
    int getDevIndex() const { return m_devIndex; }

    // Queues `event` on this event's own queue `ms` milliseconds from now and
    // keeps the timer's identity.
    void startTimer(const Sptr<BaseEvent>& event, long ms);

private:
    device_event_t m_type = HW_EVT_NONE;
    int m_devIndex = 0;
};

}  // namespace Tessor::schema
