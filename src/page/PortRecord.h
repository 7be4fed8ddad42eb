// One port's record as the pages act on it: its UI state, the operator's
// requests and the engine's device of the port. The window keeps the
// records; the pages reach them only through this.
#pragma once

#include "schema/base/Sptr.h"
#include "schema/device/ConfigInfo.h"
#include "schema/event/UiEvent.h"

namespace Tessor::schema {
class UsbDevice;
}

namespace Tessor::page {

class MavikChan;

class PortRecord {
public:
    virtual ~PortRecord() = default;

    // A UiState.
    virtual int getState() const = 0;
    virtual bool isBusy() const = 0;
    virtual void setState(int state, const Sptr<schema::UiEvent>& event) = 0;
    // A UserAction.
    virtual void onUserAction(int action) = 0;
    // Posts `request` (a UI signal type) to the port's device.
    virtual void sendToDevice(int request, const Sptr<schema::UiEvent>& event) = 0;
    // Eject confirmation of a right click on the port's button.
    virtual void btnRightClick() = 0;
    // The settings of the port's next start.
    virtual void setRunSettings(const Sptr<schema::ConfigInfo>& settings) = 0;
    // Null while no device is on the port.
    virtual schema::UsbDevice* getDevice() const = 0;
    // The channel that shows the port; null until a page wires it.
    virtual MavikChan* getChannel() const = 0;
};

}  // namespace Tessor::page
