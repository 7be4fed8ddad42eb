#include "schema/ui/UiInterfaceMgr.h"

#include <cstdlib>

#include "schema/base/Assert.h"
#include "schema/base/DeviceCode.h"
#include "schema/base/Log.h"
#include "schema/base/RunAgent.h"
#include "schema/base/UsbConfiguration.h"
#include "schema/device/BaseDevice.h"
#include "schema/device/ConfigInfo.h"
#include "schema/device/PartInfo.h"
#include "schema/ui/SettingsStore.h"

namespace Tessor::schema {

namespace {
constexpr int LOGIN_DONE_STATUS = 1;
}  // namespace

UiInterfaceMgr::UiInterfaceMgr(BaseManager* parent) : BaseManager(parent, "UiMgr")
{
    CPLOG(7, "UiInterfaceMgr ");
    m_store = SettingsStore::make();
    m_configInfo = m_store->load();
}

UiInterfaceMgr::~UiInterfaceMgr() = default;

int UiInterfaceMgr::updateConfig()
{
    m_store->save(m_configInfo);
    return 0;
}

int UiInterfaceMgr::getPortLimit() const
{
    return UsbConfiguration::MAX_DEVICE_COUNT;
}

void UiInterfaceMgr::myMainLoop(void* /*arg*/) { RunAgent::markManagerThread(this); }

void UiInterfaceMgr::replyDeviceEvent(const Sptr<UiEvent>& event, UiSignalType signal)
{
    TESSOR_ASSERT(event && event->getDevice() != nullptr);
    event->setErrorCode(0);
    event->setType(signal);
    event->getDevice()->reportEvent(Sptr<BaseEvent>(event));
}

void UiInterfaceMgr::myProcessEvent(const Sptr<BaseEvent>& event)
{
    TESSOR_ASSERT(event);
    Sptr<UiEvent> report(event);
    TESSOR_ASSERT(report);
    // What the report says is read before any reply hands it to the device.
    const UiSignalType signal = report->getType();
    const int code = report->getErrorCode();
    BaseDevice* device = report->getDevice();
    if (device == nullptr) {
        CPLOG(7, "get a event %d without device associated it", signal);
        return;
    }
    const char* name = device->getName();
    if (code != 0) {
        CPLOG(3, "Some error found in product process, so exit it");
        CPLOG(7, "%s get event %s with Error Code %d(0x%x)", name, report->name(), code, code);
        // An eject that failed is not answered with another eject.
        if (code == DeviceCode::EJECT_FAILED) {
            CPLOG(4, "%s could not be ejected: left to the operator", name);
        } else {
            Sptr<UiEvent> eject(new UiEvent(UI_SIG_EJECT));
            eject->setTarget(*report);
            replyDeviceEvent(eject, UI_SIG_EJECT);
        }
    }
    switch (signal) {
    case UI_SIG_START:
        CPLOG(7, "Start producing ....");
        break;
    case UI_SIG_CANCEL:
        CPLOG(7, "Cancel producing");
        break;
    case UI_SIG_EJECT:
        CPLOG(7, "eject u disk");
        break;
    case UI_SIG_STATUS:
        CPLOG(7, "%s report Status %d(0x%x)", name, code, code);
        break;
    case UI_SIG_PROGRESS: {
        Sptr<ProgressInfo> progress = report->getProgressInfo();
        if (progress) {
            const int total = progress->getTotalProgress();
            CPLOG(7, "%s is execute %s operator in %s state has report progress info : %d%%(%d/%d)", name,
                  progress->getOperatorName().c_str(), progress->getStateName().c_str(),
                  total != 0 ? progress->getCurrentProgress() * 100 / total : 0, progress->getCurrentProgress(),
                  total);
        }
        break;
    }
    case UI_SIG_FOUND:
        CPLOG(7, "%s has been found", name);
        break;
    case UI_SIG_READY:
        CPLOG(7, "%s has been ready, so begin to producting", name);
        report->setConfigInfo(runSettings(report));
        replyDeviceEvent(report, UI_SIG_START);
        break;
    case UI_SIG_BUILD_OK:
        if (UsbConfiguration::instance()->getCurrentFunction() == FUNCTION_LOGIN) {
            endLogin();
        }
        CPLOG(7, "%s has Build OK, so begin to eject the disk", name);
        replyDeviceEvent(report, UI_SIG_EJECT);
        break;
    case UI_SIG_PLUGGED_OFF:
        CPLOG(7, "%s has been plugoff, so release resource in UI layer for it", name);
        replyDeviceEvent(report, UI_SIG_RELEASED);
        break;
    default:
        break;
    }
}

Sptr<ConfigInfo> UiInterfaceMgr::runSettings(const Sptr<UiEvent>& ready)
{
    if (UsbConfiguration::instance()->getCurrentFunction() != FUNCTION_USER) {
        return Sptr<ConfigInfo>(new ConfigInfo(m_configInfo));
    }
    Sptr<ConfigInfo> carried = ready->getConfigInfo();
    TESSOR_ASSERT(carried);
    Sptr<PartInfo> first = carried->getPartInfo(0);
    TESSOR_ASSERT(first);
    Sptr<PartInfo> station = m_configInfo->getPartInfo(0);
    if (station) {
        first->setVolumeLabel(station->getVolumeLabel());
    }
    return carried;
}

void UiInterfaceMgr::endLogin()
{
    CPLOG(7, "Kelvo has executed OK, so begin to exit!");
    std::exit(LOGIN_DONE_STATUS);
}

}  // namespace Tessor::schema
