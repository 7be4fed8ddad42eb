#include "schema/device/UsbDeviceMgr.h"

#include <cstdio>
#include <string>

#include "platform/orrin/Orrin.h"
#include "schema/base/Assert.h"
#include "schema/base/DeviceCode.h"
#include "schema/base/Log.h"
#include "schema/base/RunAgent.h"
#include "schema/base/UsbConfiguration.h"
#include "schema/device/UsbDevice.h"
#include "schema/event/DeviceEvent.h"
#include "schema/event/UiEvent.h"
#include "schema/state/StateOperators.h"

namespace Tessor::schema {

namespace {

struct StartSteps {
    Threads::Mutex lock;
    std::vector<UsbDeviceMgr::StartStep> steps;
};

// Never destroyed, as the managers that read it need not be.
StartSteps& startSteps()
{
    static StartSteps* const made = new StartSteps();
    return *made;
}

}  // namespace

void UsbDeviceMgr::setStartSteps(const std::vector<StartStep>& steps)
{
    StartSteps& start = startSteps();
    Threads::Lock guard(start.lock);
    start.steps = steps;
}

UsbDeviceMgr::UsbDeviceMgr(BaseManager* parent, const std::string& /*name*/) : DeviceMgr(parent, "UsbMgr") {}

UsbDeviceMgr::~UsbDeviceMgr() { CPLOG(7, "Destorying UsbDeviceMgr....."); }

void UsbDeviceMgr::fillDeviceInit()
{
    UsbConfiguration* config = UsbConfiguration::instance();
    std::snprintf(m_deviceInit.displayName, sizeof(m_deviceInit.displayName), "%s", config->getDisplayName().c_str());
    std::snprintf(m_deviceInit.logFileName, sizeof(m_deviceInit.logFileName), "%s.log",
                  config->getLogFilename().c_str());
    m_deviceInit.logLevel = config->getLogLevel();
    m_deviceInit.logSizeLimit = config->getLogSize() * 1024;
    m_deviceInit.deviceCount = config->getCurrentFunction() == FUNCTION_FACTORY ? config->getDeviceCount() : 1;
    m_deviceInit.callback = &UsbDeviceMgr::_callerReceiveEvent;
    m_deviceInit.context = this;
    m_deviceInit.bigBuffer = config->scanIsBigBuffer() ? 1 : 0;
}

int UsbDeviceMgr::init()
{
    fillDeviceInit();
    if (!StateOperators::isFilled()) {
        m_startFailure = "the production side is not installed: the device states have no operators";
        CPLOG(3, "%s", m_startFailure.c_str());
        return -1;
    }
    // A station whose production side cannot start produces no device: no
    // slot is served and the library is not started.
    std::vector<StartStep> steps;
    {
        StartSteps& start = startSteps();
        Threads::Lock guard(start.lock);
        steps = start.steps;
    }
    for (const StartStep step : steps) {
        const int result = step(&m_startFailure);
        if (result != 0) {
            return result;
        }
    }
    CPLOG(7, "Logic Layer DEVICE_MGR_T %d bytes", DEVICE_MGR_T_SIZE);
    CPLOG(7, "Logic Layer USB_DEVICE_T %d bytes", USB_DEVICE_T_SIZE);
    CPLOG(7, "Logic Layer VOLUME_DEVICE_T %d bytes", VOLUME_DEVICE_T_SIZE);
    CPLOG(7, "Logic Layer DEV_OPERATIONS_T %d bytes", DEV_OPERATIONS_T_SIZE);
    // The slots run before the library starts, so the first plug-in always
    // finds its slot.
    for (int i = 0; i < m_deviceInit.deviceCount; ++i) {
        char name[32];
        std::snprintf(name, sizeof(name), "UDISK-%d", i);
        UsbDevice* slot = new UsbDevice(this, i, name);
        slot->execute();
        addManager(slot);
    }
    const int result = initDevices(&m_deviceMgr, &m_deviceInit);
    if (result != 0) {
        m_startFailure = "the device library did not start (error " + std::to_string(result) + ")";
        CPLOG(3, "Device Layer initialized fail : %d", result);
        const int failure = result - DeviceCode::LIBRARY_ERROR_BASE;
        return failure != 0 ? failure : -1;
    }
    // Commands only come from this manager's thread, which starts after init.
    Threads::Lock guard(m_libraryLock);
    m_libraryRunning = true;
    return 0;
}

int UsbDeviceMgr::_callerReceiveEvent(DEVICE_INIT_T* init, DEVICE_EVENT_T* event)
{
    UsbDeviceMgr* manager = static_cast<UsbDeviceMgr*>(init->context);
    manager->receiveEvent(*event);
    shared_free(event);
    return 0;
}

void UsbDeviceMgr::receiveEvent(const DEVICE_EVENT_T& record)
{
    if (record.device == nullptr) {
        if (record.kind == HW_EVT_LAYER_READY) {
            Sptr<UiEvent> ready(new UiEvent(UI_SIG_LAYER_READY));
            CPLOG(7, "_callerReceiveEvent send Event.....");
            RunAgent::reportToUi(Sptr<BaseEvent>(ready));
        }
        return;
    }
    CPLOG(7, "received Device Layer Hardware event of '%s': %s", record.device->driveText,
          usbDeviceFindEventName(record.kind));
    if (record.device->slotIndex < 0) {
        return;
    }
    Threads::Lock guard(m_libraryLock);
    if (m_closing) {
        CPLOG(7, "'%s' arrived while the devices shut down: dropped", usbDeviceFindEventName(record.kind));
        return;
    }
    UsbDevice* slot = findSlot(record.device->slotIndex);
    TESSOR_ASSERT(slot != nullptr);
    Sptr<HwEvent> hw(new HwEvent(static_cast<device_event_t>(record.kind)));
    hw->setPrivate(record.device);
    hw->setDevice(slot);
    if (record.kind == HW_EVT_ERROR) {
        CPLOG(4, "Device Layer Error %s(%d) of '%s' is found", usbDeviceGetErrorInfo(record.errorCode),
              record.errorCode, record.device->driveText);
        hw->setErrorCode(record.errorCode + DeviceCode::LIBRARY_ERROR_BASE);
    } else if (record.kind == HW_EVT_CANCEL) {
        hw->setErrorCode(record.errorCode);
    }
    hw->setDevIndex(record.deviceIndex);
    slot->receive(record.device, hw);
}

void UsbDeviceMgr::cancelDevices()
{
    const int count = getManagerCount();
    for (int i = 0; i < count; ++i) {
        UsbDevice* slot = findSlot(i);
        if (slot != nullptr) {
            slot->cancel(DeviceCode::CANCELLED);
        }
    }
}

UsbDevice* UsbDeviceMgr::findSlot(int index)
{
    return dynamic_cast<UsbDevice*>(getManager(index));
}

void UsbDeviceMgr::myProcessEvent(const Sptr<BaseEvent>& event)
{
    TESSOR_ASSERT(event);
    Sptr<HwEvent> hw(event);
    if (hw) {
        myProcessHwEvent(hw);
        return;
    }
    Sptr<DeviceEvent> device(event);
    if (device) {
        CPLOG(7, "'%s' is a device event", event->name());
    } else {
        CPLOG(7, "'%s' is a not device event", event->name());
    }
}

void UsbDeviceMgr::myProcessHwEvent(const Sptr<HwEvent>& event)
{
    CPLOG(7, "HwEvent arrived");
    if (event->getType() == 0) {
        CPLOG(4, "Event '%s' with DeviceIndex of %d is not process", usbDeviceFindEventName(0),
              event->getDevIndex());
        return;
    }
    TESSOR_ASSERT(event->getPrivate() != nullptr);
    {
        Threads::Lock guard(m_libraryLock);
        if (!m_libraryRunning || m_deviceInit.commandEntry == nullptr) {
            CPLOG(4, "Command %d after the device layer stopped: dropped", event->getType());
            return;
        }
        ++m_commandsRunning;
    }
    m_deviceInit.commandEntry(&m_deviceInit, static_cast<_USB_DEVICE_T*>(event->getPrivate()), event->getType());
    Threads::Lock guard(m_libraryLock);
    --m_commandsRunning;
    m_commandsDone.broadcast();
}

void UsbDeviceMgr::destory()
{
    CPLOG(7, "Destory Device in Logical Layer......");
    {
        Threads::Lock guard(m_libraryLock);
        m_closing = true;
    }
    shutdownChildren();
    removeAllManagers();
    CPLOG(7, "Destory Device Layer......");
    bool running = false;
    {
        Threads::Lock guard(m_libraryLock);
        running = m_libraryRunning;
        m_libraryRunning = false;
        while (m_commandsRunning > 0) {
            (void)m_commandsDone.wait(m_libraryLock, -1);  // woken or not, the loop looks at the count again
        }
    }
    // Not under the lock: the library waits for its own thread, which may be
    // in the callback.
    if (running) {
        destoryDevices(&m_deviceMgr);
    }
    CPLOG(7, "Destory Ended!");
}

}  // namespace Tessor::schema
