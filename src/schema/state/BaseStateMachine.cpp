#include "schema/state/BaseStateMachine.h"

#include "schema/base/Assert.h"
#include "schema/base/Log.h"
#include "schema/device/BaseDevice.h"

namespace Tessor::schema {

BaseStateMachine::~BaseStateMachine()
{
    CPLOG(7, "BaseStateMachine Destorying.....");
    m_states.clear();
}

void BaseStateMachine::process(Sptr<BaseEvent> event)
{
    TESSOR_ASSERT(event);
    BaseDevice* device = event->getDevice();
    TESSOR_ASSERT(device != nullptr);
    Sptr<BaseState> current = device->getState();
    TESSOR_ASSERT(current);
    CPLOG(7, "%s Current BaseState is %s\n", device->getName(), current->getName());
    Sptr<BaseState> next = current->process(event);
    if (!next) {
        Sptr<BaseState> now = device->getState();
        CPLOG(7, "'%s' continue current '%s'", device->getName(), now ? now->getName() : "");
        return;
    }
    device->setState(next);
    CPLOG(7, "'%s' Next State is '%s'\n", device->getName(), next->getName());
}

void BaseStateMachine::addState(const Sptr<BaseState>& state)
{
    TESSOR_ASSERT(state);
    m_states.push_back(state);
}

Sptr<BaseState> BaseStateMachine::findState(int type) const
{
    for (const Sptr<BaseState>& state : m_states) {
        if (state->getStateType() == type) {
            return state;
        }
    }
    return noState;
}

}  // namespace Tessor::schema
