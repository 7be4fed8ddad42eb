// Internal event of one device; operators chain by rewriting its signal.
#pragma once

#include "schema/event/BaseEvent.h"
#include "schema/event/DeviceSignalType.h"

namespace Tessor::schema {

class DeviceEvent : public BaseEvent {
public:
    DeviceEvent() = default;
    explicit DeviceEvent(DeviceSignalType type) : m_type(type) {}

    const char* name() const override { return "DEVICE-EVENT"; }

    void setType(DeviceSignalType type) { m_type = type; }
    DeviceSignalType getType() const { return m_type; }

private:
    DeviceSignalType m_type = static_cast<DeviceSignalType>(0);
};

}  // namespace Tessor::schema
