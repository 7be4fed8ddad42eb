// Everything that moves between threads: held by Sptr<BaseEvent> and pushed
// into a manager's queue.
#pragma once

#include <string>

#include "schema/base/Sptr.h"
#include "schema/event/Fifo.h"

namespace Tessor::schema {

class BaseDevice;
class BaseEvent;

// Device error values have the form 0x80xx; 0 is none.
using error_code_t = int;

using EventQueue = Tessor::Fifo<Sptr<BaseEvent>>;

class BaseEvent {
public:
    BaseEvent() = default;
    explicit BaseEvent(const Sptr<EventQueue>& queue) : m_queue(queue) {}
    virtual ~BaseEvent() = default;

    // Pushes `event` into `queue`; both must be set.
    virtual void postEvent(const Sptr<BaseEvent>& event, const Sptr<EventQueue>& queue);
    // Pushes `event` into this event's own queue, which must be set.
    virtual void postEvent(const Sptr<BaseEvent>& event);
    virtual const char* name() const = 0;

    void setQueue(const Sptr<EventQueue>& queue) { m_queue = queue; }
    Sptr<EventQueue> getQueue() const { return m_queue; }
    Sptr<EventQueue> getFifo() const { return m_queue; }
    void setTimerId(int id) { m_timerId = id; }
    int getTimerId() const { return m_timerId; }
    void setDevice(BaseDevice* device) { m_device = device; }
    BaseDevice* getDevice() const { return m_device; }
    void setErrorCode(error_code_t code) { m_errorCode = code; }
    error_code_t getErrorCode() const { return m_errorCode; }
    // What made the error, in words for the operator; empty when the code
    // says it all.
    void setErrorCause(const std::string& cause) { m_errorCause = cause; }
    const std::string& getErrorCause() const { return m_errorCause; }
    void setPrivate(void* data) { m_private = data; }
    void* getPrivate() const { return m_private; }
    // Which device of its slot the event concerns: the slot numbers the
    // devices plugged into it from 1; 0 names none in particular.
    void setGeneration(unsigned generation) { m_generation = generation; }
    unsigned getGeneration() const { return m_generation; }
    // Addresses this event to the device `other` concerns: the slot, the
    // library's record and the generation.
    void setTarget(const BaseEvent& other)
    {
        m_device = other.m_device;
        m_private = other.m_private;
        m_generation = other.m_generation;
    }

private:
    Sptr<EventQueue> m_queue;
    int m_timerId = 0;
    BaseDevice* m_device = nullptr;
    error_code_t m_errorCode = 0;
    std::string m_errorCause;
    void* m_private = nullptr;
    unsigned m_generation = 0;
};

}  // namespace Tessor::schema
