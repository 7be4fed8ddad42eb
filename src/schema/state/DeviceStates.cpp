#include "schema/state/DeviceStates.h"

#include "schema/state/UsbStateBuildDpf.h"
#include "schema/state/UsbStateBuildOk.h"
#include "schema/state/UsbStateEject.h"
#include "schema/state/UsbStateError.h"
#include "schema/state/UsbStateHighFormat.h"
#include "schema/state/UsbStateInit.h"
#include "schema/state/UsbStateLowFormat.h"
#include "schema/state/UsbStateScan.h"
#include "schema/state/UsbStateUnplug.h"
#include "schema/state/UsbStateWait.h"

namespace Tessor::schema {

void addDeviceStates(BaseStateMachine& machine)
{
    machine.addState(Sptr<BaseState>(new UsbStateUnplug()));
    machine.addState(Sptr<BaseState>(new UsbStateInit()));
    machine.addState(Sptr<BaseState>(new UsbStateWait()));
    machine.addState(Sptr<BaseState>(new UsbStateScan()));
    machine.addState(Sptr<BaseState>(new UsbStateLowFormat()));
    machine.addState(Sptr<BaseState>(new UsbStateHighFormat()));
    machine.addState(Sptr<BaseState>(new UsbStateBuildDpf()));
    machine.addState(Sptr<BaseState>(new UsbStateBuildOk()));
    machine.addState(Sptr<BaseState>(new UsbStateEject()));
    machine.addState(Sptr<BaseState>(new UsbStateError()));
}

}  // namespace Tessor::schema
