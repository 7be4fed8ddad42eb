// Type numbers of the device states.
#pragma once

namespace Tessor::schema {

enum DEVICE_STATE_T {
    STATE_UNPLUG = 0,
    STATE_INIT = 1,
    STATE_WAIT = 2,
    STATE_SCAN = 3,
    STATE_LOW_FORMAT = 4,
    STATE_HIGH_FORMAT = 5,
    STATE_BUILD_DPF = 6,
    STATE_BUILD_OK = 7,
    STATE_EJECT = 8,
    STATE_ERROR = 9,
};

}  // namespace Tessor::schema
