#include "schema/event/BaseEvent.h"

#include "schema/base/Assert.h"
#include "schema/base/Log.h"

namespace Tessor::schema {

void BaseEvent::postEvent(const Sptr<BaseEvent>& event, const Sptr<EventQueue>& queue)
{
    TESSOR_ASSERT(event);
    TESSOR_ASSERT(queue);
    queue->push(event);
}

void BaseEvent::postEvent(const Sptr<BaseEvent>& event)
{
    TESSOR_ASSERT(event);
    CPLOG(7, "FIFO");
    TESSOR_ASSERT(m_queue);
    m_queue->push(event);
}

}  // namespace Tessor::schema
