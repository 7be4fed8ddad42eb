// The manager "UsbMgr": one device slot per production port, the device
// library's event callback, and the commands the operators send back to the
// library.
#pragma once

#include <string>
#include <vector>

#include "platform/taval/Taval.h"
#include "schema/base/Condition.h"
#include "schema/base/DeviceMgr.h"
#include "schema/base/Mutex.h"

namespace Tessor::schema {

class UsbDevice;

class UsbDeviceMgr : public DeviceMgr {
public:
    UsbDeviceMgr(BaseManager* parent, const std::string& name);
    ~UsbDeviceMgr() override;

    // What the production side readies before any slot is made: 0, or the
    // failure with its cause for the operator.
    using StartStep = int (*)(std::string* cause);
    // Set at start by the production side; init runs them in order.
    static void setStartSteps(const std::vector<StartStep>& steps);

    // Runs the start steps, creates and starts the slots, then starts the
    // device library.
    int init() override;
    // Why init failed, for the operator.
    const std::string& getStartFailure() const { return m_startFailure; }
    // Stops every slot, then the device library.
    void destory() override;
    void myProcessEvent(const Sptr<BaseEvent>& event) override;
    void myProcessHwEvent(const Sptr<HwEvent>& event) override;
    void cancelDevices() override;

    DEVICE_MGR_T* getDeviceMgr() { return &m_deviceMgr; }
    DEVICE_INIT_T* getDeviceInit() { return &m_deviceInit; }

    // The library's callback, on a thread of the library. Always 0.
    static int _callerReceiveEvent(DEVICE_INIT_T* init, DEVICE_EVENT_T* event);

private:
    void fillDeviceInit();
    void receiveEvent(const DEVICE_EVENT_T& record);
    UsbDevice* findSlot(int index);

    DEVICE_MGR_T m_deviceMgr{};
    DEVICE_INIT_T m_deviceInit{};
    // Guards the flags below, so nothing reaches a slot or the library once
    // the tear-down has begun. Never held while the library runs a command:
    // the library calls back under locks of its own.
    Threads::Mutex m_libraryLock;
    Threads::Condition m_commandsDone;
    bool m_libraryRunning = false;
    bool m_closing = false;
    int m_commandsRunning = 0;
    std::string m_startFailure;
};

}  // namespace Tessor::schema
