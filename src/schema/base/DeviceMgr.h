// Base of the managers that own devices.
#pragma once

#include "schema/base/BaseManager.h"
#include "schema/event/HwEvent.h"

namespace Tessor::schema {

class DeviceMgr : public BaseManager {
public:
    DeviceMgr(BaseManager* parent, const std::string& name) : BaseManager(parent, name) {}

    // Devices start their own threads: the children are not started here.
    [[nodiscard]] int startup() override { return 0; }

    virtual int init() = 0;
    virtual void activate() {}
    virtual void myProcessHwEvent(const Sptr<HwEvent>& event) = 0;
    // Sets every device's cancel value, so running passes stop at their next
    // test of it; called before the process shuts the devices down.
    virtual void cancelDevices() {}
};

}  // namespace Tessor::schema
