#include "schema/state/StateOperators.h"

#include <map>
#include <utility>

#include "schema/base/Mutex.h"

namespace Tessor::schema {

namespace {

struct Table {
    Threads::Mutex lock;
    std::map<std::pair<int, StateOperators::Stage>, std::vector<StateOperators::Maker>> rows;
};

// Never destroyed: a device may still be made while the process exits.
Table& table()
{
    static Table* const made = new Table();
    return *made;
}

}  // namespace

void StateOperators::set(int stateType, Stage stage, const std::vector<Maker>& makers)
{
    Table& t = table();
    Threads::Lock guard(t.lock);
    t.rows[{stateType, stage}] = makers;
}

std::vector<Sptr<BaseOperator>> StateOperators::make(int stateType, Stage stage)
{
    std::vector<Maker> makers;
    {
        Table& t = table();
        Threads::Lock guard(t.lock);
        const auto row = t.rows.find({stateType, stage});
        if (row != t.rows.end()) {
            makers = row->second;
        }
    }
    std::vector<Sptr<BaseOperator>> made;
    for (const Maker maker : makers) {
        made.push_back(maker());
    }
    return made;
}

bool StateOperators::isFilled()
{
    Table& t = table();
    Threads::Lock guard(t.lock);
    return !t.rows.empty();
}

}  // namespace Tessor::schema
