// Signals of UI events: requests from the window to a device (2 to 5) and
// reports from the devices to the UI manager (1, 3, 6 to 11).
#pragma once

namespace Tessor::schema {

enum UiSignalType {
    UI_SIG_LAYER_READY = 1,
    UI_SIG_START = 2,
    UI_SIG_CANCEL = 3,
    UI_SIG_EJECT = 4,
    UI_SIG_RELEASED = 5,
    UI_SIG_STATUS = 6,
    UI_SIG_PROGRESS = 7,
    UI_SIG_FOUND = 8,
    UI_SIG_READY = 9,
    UI_SIG_BUILD_OK = 10,
    UI_SIG_PLUGGED_OFF = 11,
};

}  // namespace Tessor::schema
