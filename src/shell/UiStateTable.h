// The operator's actions on a port: the next UI state and the request the
// port's device is sent.
#pragma once

#include <optional>

namespace Tessor::shell {

enum UserAction { ACTION_CLICK = 0, ACTION_START = 2, ACTION_STOP = 3, ACTION_EJECT = 4 };

struct UiTransition {
    int next;
    int request;  // UI signal type of the request
    bool operator==(const UiTransition&) const = default;
};

// None for a pair the table does not list: the action does nothing.
std::optional<UiTransition> uiTransition(int state, int action);

}  // namespace Tessor::shell
