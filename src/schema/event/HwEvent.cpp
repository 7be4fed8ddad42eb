#include "schema/event/HwEvent.h"

#include "schema/base/Assert.h"

namespace Tessor::schema {

void HwEvent::startTimer(const Sptr<BaseEvent>& event, long ms)
{
    TESSOR_ASSERT(event);
    Sptr<EventQueue> queue = getQueue();
    TESSOR_ASSERT(queue);
    setTimerId(queue->addDelayMs(event, ms));
}

}  // namespace Tessor::schema
