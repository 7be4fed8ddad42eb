// Waits for a manager to be idle: a mark queued behind everything asked of it
// signals when the manager drops it.
#pragma once

#include <chrono>
#include <future>

#include "schema/base/BaseManager.h"
#include "schema/event/BaseEvent.h"

namespace test_support {

// Addressed to no device, so a slot drops it unprocessed.
class DrainMark : public Tessor::schema::BaseEvent {
public:
    DrainMark() { setGeneration(~0u); }
    ~DrainMark() override { m_dropped.set_value(); }
    const char* name() const override { return "DRAIN-MARK"; }
    std::future<void> dropped() { return m_dropped.get_future(); }

private:
    std::promise<void> m_dropped;
};

// Waits until `manager` has processed every event queued to it so far; false
// when `limit` passes first.
inline bool waitDrained(Tessor::schema::BaseManager& manager, std::chrono::seconds limit)
{
    auto* mark = new DrainMark();
    std::future<void> dropped = mark->dropped();
    manager.reportEvent(Sptr<Tessor::schema::BaseEvent>(mark));
    return dropped.wait_for(limit) == std::future_status::ready;
}

}  // namespace test_support
