// The event queue every manager thread blocks on.
#pragma once

#include "schema/base/Condition.h"
#include "schema/event/FifoBase.h"

namespace Tessor {

template <typename T>
class Fifo : public FifoBase<T> {
protected:
    void signalWaiter() override { m_condition.signal(); }

    int waitFor(long ms) override
    {
        const long long usec = ms > 0 ? static_cast<long long>(ms) * 1000 : ms;
        if (m_condition.wait(this->getMutex(), usec) != 0) {
            return 0;
        }
        return this->getReadyCountLocked();
    }

private:
    Threads::Condition m_condition;
};

}  // namespace Tessor
