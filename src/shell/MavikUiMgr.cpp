#include "shell/MavikUiMgr.h"

#include <algorithm>

#include "page/PageSetting.h"
#include "platform/orrin/Orrin.h"
#include "schema/base/Assert.h"
#include "schema/base/Log.h"
#include "schema/base/UsbConfiguration.h"
#include "schema/device/BaseDevice.h"
#include "schema/device/ConfigInfo.h"
#include "schema/event/UiEvent.h"
#include "shell/MavikApp.h"
#include "shell/MavikDevice.h"
#include "shell/PartitionFit.h"

namespace Tessor::shell {

using namespace schema;

MavikUiMgr::MavikUiMgr(BaseManager* parent) : UiInterfaceMgr(parent)
{
    CPLOG(7, "MavikUiMgr ");
    UsbConfiguration* config = UsbConfiguration::instance();
    // A count beyond the channels stops the station at start-up; until
    // then the records stay within them.
    m_count = std::clamp(config->getCurrentFunction() == FUNCTION_FACTORY ? config->getDeviceCount() : 1, 0,
                         MAX_DEVICES);
    for (int i = 0; i < m_count; ++i) {
        m_devices[i] = new MavikDevice(getConfigInfo());
    }
}

MavikUiMgr::~MavikUiMgr()
{
    for (int i = 0; i < m_count; ++i) {
        delete m_devices[i];
    }
    CPLOG(7, "Destroying.....");
}

MavikDevice* MavikUiMgr::getDevice(int index) const
{
    return index >= 0 && index < m_count ? m_devices[index] : nullptr;
}

void MavikUiMgr::forEachDevice(int action)
{
    for (int i = 0; i < m_count; ++i) {
        m_devices[i]->onUserAction(action);
    }
}

void MavikUiMgr::distributeConfigInfo(const Sptr<ConfigInfo>& settings)
{
    for (int i = 0; i < m_count; ++i) {
        m_devices[i]->setRunSettings(Sptr<ConfigInfo>(new ConfigInfo(settings)));
    }
}

std::optional<int> MavikUiMgr::deviceSectors(const UsbDevice& device) const { return shell::deviceSectors(device); }

std::vector<page::FlashPart> MavikUiMgr::getFlashParts() { return MavikApp::instance()->getFlashParts(); }

void MavikUiMgr::detachPage()
{
    setPage(nullptr);
    std::lock_guard<std::mutex> wait(m_dispatch);
}

bool MavikUiMgr::waitForPage()
{
    for (;;) {
        page::PageSetting* page = getPage();
        if (page != nullptr && page->isInitialised()) {
            return true;
        }
        if (isShutdown()) {
            return false;
        }
        shared_delay(5);
    }
}

void MavikUiMgr::myProcessEvent(const Sptr<BaseEvent>& event)
{
    TESSOR_ASSERT(event);
    Sptr<UiEvent> report(event);
    TESSOR_ASSERT(report);
    const int type = report->getType();
    BaseDevice* device = report->getDevice();
    if (device == nullptr) {
        CPLOG(7, "UIMgr rx : get a event %d without device associated it", type);
        if (type == UI_SIG_LAYER_READY) {
            CPLOG(7, "UIMgr rx : device layer initialized OK");
            // No splash window is ever registered to take the notice.
            CPLOG(4, "MSG can not send to Splash Window");
        } else {
            CPLOG(4, "UIMgr rx : Unknown event without device associated with it");
        }
        return;
    }
    if (!waitForPage()) {
        return;
    }
    std::lock_guard<std::mutex> dispatching(m_dispatch);
    if (getPage() == nullptr) {
        return;
    }
    const int id = device->getIndex();
    if (id < 0 || id >= m_count) {
        CPLOG(3, "UIMgr rx : Device ID %d is out of range(0~%d)", id, m_count);
        return;
    }
    MavikDevice* record = m_devices[id];
    const char* name = device->getName();
    switch (type) {
    case UI_SIG_CANCEL:
        CPLOG(7, "UIMgr rx : Cancel producing OK");
        record->onCancelOk(report);
        break;
    case UI_SIG_STATUS:
        CPLOG(7, "UIMgr rx : %s report Status %d", name, report->getErrorCode());
        CPLOG(7, "UIMgr rx : %s get event %s with Error Code %x(0x%x)", name, report->name(), report->getErrorCode(),
              report->getErrorCode());
        record->onStatus(report);
        break;
    case UI_SIG_PROGRESS:
        CPLOG(7, "UIMgr rx : %s report ProgressInfo", name);
        record->onProgress(report);
        break;
    case UI_SIG_FOUND:
        CPLOG(7, "UIMgr rx : New device %s has been found", name);
        record->onNewDevice(report);
        break;
    case UI_SIG_READY:
        CPLOG(7, "UIMgr rx : %s has been ready", name);
        record->onReady(report);
        break;
    case UI_SIG_BUILD_OK:
        CPLOG(7, "UIMgr rx : %s has Build OK, so begin to eject the disk", name);
        record->onBuildOk(report);
        break;
    case UI_SIG_PLUGGED_OFF:
        CPLOG(7, "UIMgr rx : %s has been plugoff, so release resource in UI layer for it", name);
        record->onPlugOff(report);
        break;
    default:
        CPLOG(7, "UIMgr rx : unkown message type:%d \n", type);
        break;
    }
}

}  // namespace Tessor::shell
