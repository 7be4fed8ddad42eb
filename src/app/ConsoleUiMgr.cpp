#include "app/ConsoleUiMgr.h"

#include <cstdio>
#include <optional>

#include "schema/base/Log.h"
#include "schema/base/SystemInfo.h"
#include "schema/base/UsbConfiguration.h"
#include "schema/device/UsbDevice.h"
#include "schema/event/UiEvent.h"
#include "shell/DeviceTexts.h"
#include "shell/PartitionFit.h"
#include "usb/profile/FlashInfo.h"

using namespace Tessor::schema;
using namespace Tessor::shell;

namespace {

const char* signalName(UiSignalType signal)
{
    static const char* const names[] = {
        "NONE",   "LAYER_READY", "START", "CANCEL",   "EJECT",      "RELEASED",
        "STATUS", "PROGRESS",    "FOUND", "READY",    "BUILD_OK",   "PLUGGED_OFF",
    };
    const int index = static_cast<int>(signal);
    return index >= 0 && index < static_cast<int>(sizeof(names) / sizeof(names[0])) ? names[index] : "UNKNOWN";
}

}  // namespace

ConsoleUiMgr::ConsoleUiMgr(BaseManager* parent) : UiInterfaceMgr(parent) {}

std::string ConsoleUiMgr::channelText(const Sptr<UiEvent>& report)
{
    UsbDevice* device = dynamic_cast<UsbDevice*>(report->getDevice());
    const std::string& name = report->getDriveText();
    const int index = device != nullptr ? device->getIndex() : 0;
    switch (report->getType()) {
    case UI_SIG_FOUND:
        return newDeviceLine(name, index, englishText);
    case UI_SIG_READY: {
        m_readyTick[index] = SystemInfo::getSystemTick();
        Sptr<Tessor::usb::FlashInfo> flash = device != nullptr ? device->getFlashInfo() : Sptr<Tessor::usb::FlashInfo>();
        Sptr<VersionInfo> version = device != nullptr ? device->getVersion() : Sptr<VersionInfo>();
        const bool formatted = version && version->checkCfgTable();
        return readyLine(name, flash ? flash->getFlashId() : std::string(), formatted, std::string(), englishText);
    }
    case UI_SIG_STATUS:
        return statusLine(report->getErrorCode(), englishText, report->getErrorCause());
    case UI_SIG_CANCEL:
        return cancelledLine(englishText);
    case UI_SIG_BUILD_OK: {
        Sptr<ConfigInfo> used = device != nullptr ? device->getConfigInfo() : Sptr<ConfigInfo>();
        const auto ready = m_readyTick.find(index);
        const uint32_t elapsed = ready != m_readyTick.end() ? SystemInfo::getSystemTick() - ready->second : 0;
        return buildOkLine(used ? used->getRealCapacity() : 0, used ? used->getConfigCapacity() : 0, elapsed,
                           device != nullptr ? device->getProScanMode() : 0, englishText);
    }
    case UI_SIG_PROGRESS: {
        Sptr<ProgressInfo> progress = report->getProgressInfo();
        return progress ? formatText("%s %s %d/%d", progress->getStateName().c_str(),
                                     progress->getOperatorName().c_str(), progress->getCurrentProgress(),
                                     progress->getTotalProgress())
                        : std::string();
    }
    default:
        return std::string();
    }
}

Sptr<ConfigInfo> ConsoleUiMgr::runSettings(const Sptr<UiEvent>& ready)
{
    Sptr<ConfigInfo> settings = UiInterfaceMgr::runSettings(ready);
    // A user run keeps the device's own layout.
    if (UsbConfiguration::instance()->getCurrentFunction() == FUNCTION_USER) {
        return settings;
    }
    UsbDevice* device = dynamic_cast<UsbDevice*>(ready->getDevice());
    const std::optional<int> capacity = device != nullptr ? deviceSectors(*device) : std::nullopt;
    if (!capacity) {
        CPLOG(3, "Device Index %d Capacity is 0, check it", device != nullptr ? device->getIndex() : -1);
        return settings;
    }
    Sptr<ConfigInfo> fitted = fittedRunSettings(*settings, *capacity);
    if (!fitted) {
        // Started as it is, the device fails with the code of a layout too large.
        CPLOG(3, "%s: the ISO file loaded has oversteped the capacity of the Flash", device->getName());
        return settings;
    }
    return fitted;
}

void ConsoleUiMgr::myProcessEvent(const Sptr<BaseEvent>& event)
{
    Sptr<UiEvent> report(event);
    if (report) {
        const BaseDevice* device = report->getDevice();
        const std::string text = channelText(report);
        std::printf("%s %s%s%s\n", device ? device->getName() : "-", signalName(report->getType()),
                    text.empty() ? "" : ": ", text.c_str());
        std::fflush(stdout);
    }
    UiInterfaceMgr::myProcessEvent(event);
}
