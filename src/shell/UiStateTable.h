// What an operator's action on a port does: the next UI state and the
// request the port's device is sent.
#pragma once

#include <optional>

namespace Tessor::shell {

struct UiTransition {
    int next;
    int request;  // UI signal type of the request
    bool operator==(const UiTransition&) const = default;
};

// None for a pair the table does not list: the action does nothing.
std::optional<UiTransition> uiTransition(int state, int action);

}  // namespace Tessor::shell
