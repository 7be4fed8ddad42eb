// The UI states of a port and the operator's actions on it: the pages, the
// port records and the texts a port shows all go by them.
#pragma once

namespace Tessor::page {

enum UiState {
    UI_NO_DISK = 0,
    UI_FOUND = 1,
    UI_READY = 2,
    UI_PRODUCING = 3,
    UI_STOPPED = 4,
    UI_EJECTING = 5,
    UI_UNPLUGGED = 6,
    UI_FAILED = 7,
    UI_BUILT = 8,
};

enum UserAction { ACTION_CLICK = 0, ACTION_START = 2, ACTION_STOP = 3, ACTION_EJECT = 4 };

}  // namespace Tessor::page
