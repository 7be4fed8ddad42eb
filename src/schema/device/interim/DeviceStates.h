#pragma once

#include "schema/device/interim/BaseStateMachine.h"

namespace Tessor::interim {

// The ten device states in type order, without their operators.
inline void addDeviceStates(BaseStateMachine& machine)
{
    struct Row {
        const char* name;
        bool progress;
    };
    static const Row rows[] = {
        {"StateUnplug", false},    {"StateInit", false},     {"StateWait", false}, {"StateScan", true},
        {"StateLowFormat", true},  {"StateHighFormat", true}, {"StateBuildDpf", true}, {"StateBuildOk", false},
        {"StateEject", false},     {"StateError", false},
    };
    int type = 0;
    for (const Row& row : rows) {
        machine.addState(Sptr<BaseState>(new BaseState(row.name, type++, row.progress)));
    }
}

}  // namespace Tessor::interim
