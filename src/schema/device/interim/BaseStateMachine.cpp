#include "schema/device/interim/BaseStateMachine.h"

#include "schema/device/BaseDevice.h"

namespace Tessor::interim {

void BaseStateMachine::process(const Sptr<schema::BaseEvent>& event)
{
    Sptr<BaseState> current = m_device->getState();
    if (!current) {
        return;
    }
    Sptr<BaseState> next = current->process(event);
    if (next) {
        m_device->setState(next);
    }
}

}  // namespace Tessor::interim
