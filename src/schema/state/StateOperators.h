// The operators of each device state, by state type. The production side
// fills the table once at start, before the first device is made; every
// state builds its own operators from it, so none is shared.
#pragma once

#include <vector>

#include "schema/base/Sptr.h"

namespace Tessor::schema {

class BaseOperator;

class StateOperators {
public:
    // When a state offers an event to the operator: on entering, or in its passes.
    enum Stage { ENTRY, PASS };
    using Maker = Sptr<BaseOperator> (*)();

    // The operators of one stage of a state, in the order they see events.
    static void set(int stateType, Stage stage, const std::vector<Maker>& makers);
    // New operators for that stage; none where the table names none.
    static std::vector<Sptr<BaseOperator>> make(int stateType, Stage stage);
    // False until the production side has set a row.
    static bool isFilled();
};

}  // namespace Tessor::schema
