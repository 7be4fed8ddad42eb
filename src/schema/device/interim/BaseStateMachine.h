#pragma once

#include <list>

#include "schema/base/Sptr.h"
#include "schema/device/interim/BaseState.h"

namespace Tessor::schema {
class BaseDevice;
}

namespace Tessor::interim {

// The device's states, looked up by type number.
class BaseStateMachine {
public:
    explicit BaseStateMachine(schema::BaseDevice* device) : m_device(device) {}
    virtual ~BaseStateMachine() = default;

    void addState(Sptr<BaseState> state) { m_states.push_back(state); }
    Sptr<BaseState> findState(int type) const
    {
        for (const Sptr<BaseState>& state : m_states) {
            if (state->getStateType() == type) {
                return state;
            }
        }
        return Sptr<BaseState>();
    }
    schema::BaseDevice* getDevice() const { return m_device; }
    // Hands the event to the device's current state and moves to the state
    // it names.
    void process(const Sptr<schema::BaseEvent>& event);

private:
    std::list<Sptr<BaseState>> m_states;
    schema::BaseDevice* m_device;
};

}  // namespace Tessor::interim
