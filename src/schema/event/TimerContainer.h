// Delayed items ordered by due time, earliest first; items due at the same
// time keep the order in which they were added.
#pragma once

#include <iterator>
#include <map>
#include <utility>

#include "schema/event/TimerEntry.h"

namespace Tessor::TimeAndDate {

template <typename T>
class TimerContainer : public IO::Writer {
public:
    // Adds an item due `ms` milliseconds from now (0 or less: due now) and
    // returns its identity.
    int add(T item, long ms)
    {
        TimeVal due = TimeVal::now();
        if (ms > 0) {
            due.addMs(ms);
        }
        const int id = ++m_lastId;
        m_entries.emplace(Key{due, id}, TimerEntry<T>(due, id, std::move(item)));
        return id;
    }

    bool empty() const { return m_entries.empty(); }
    std::size_t size() const { return m_entries.size(); }

    // The earliest entry; only valid when not empty.
    const TimerEntry<T>& earliest() const { return m_entries.begin()->second; }

    // Removes the earliest entry and hands its item over.
    T takeEarliest()
    {
        auto node = m_entries.extract(m_entries.begin());
        return std::move(node.mapped().getItem());
    }

    std::ostream& writeTo(std::ostream& out) const override
    {
        out << "timer container (size: " << m_entries.size() << ")";
        for (const auto& [key, entry] : m_entries) {
            out << "\n  " << entry;
        }
        return out;
    }

private:
    using Key = std::pair<TimeVal, int>;
    std::map<Key, TimerEntry<T>> m_entries;
    int m_lastId = 0;
};

}  // namespace Tessor::TimeAndDate
