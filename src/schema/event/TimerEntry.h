// One delayed item with its due time.
#pragma once

#include "schema/event/TimeVal.h"

namespace Tessor::TimeAndDate {

template <typename T>
class TimerEntry : public IO::Writer {
public:
    TimerEntry(const TimeVal& due, int id, T item) : m_due(due), m_id(id), m_item(std::move(item)) {}

    const TimeVal& getDue() const { return m_due; }
    int getId() const { return m_id; }
    T& getItem() { return m_item; }

    std::ostream& writeTo(std::ostream& out) const override
    {
        return out << m_due << ", relative time of expiration = " << m_due.msUntil(TimeVal::now());
    }

private:
    TimeVal m_due;
    int m_id;
    T m_item;
};

}  // namespace Tessor::TimeAndDate
