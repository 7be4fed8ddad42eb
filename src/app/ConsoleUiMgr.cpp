#include "app/ConsoleUiMgr.h"

#include <cstdio>

#include "schema/device/BaseDevice.h"
#include "schema/event/UiEvent.h"

using namespace Tessor::schema;

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

void ConsoleUiMgr::myProcessEvent(const Sptr<BaseEvent>& event)
{
    Sptr<UiEvent> report(event);
    if (report) {
        const BaseDevice* device = report->getDevice();
        const int code = report->getErrorCode();
        Sptr<ProgressInfo> progress = report->getProgressInfo();
        if (progress) {
            std::printf("%s %s code=0x%x progress=%d/%d\n", device ? device->getName() : "-",
                        signalName(report->getType()), code, progress->getCurrentProgress(),
                        progress->getTotalProgress());
        } else {
            std::printf("%s %s code=0x%x\n", device ? device->getName() : "-", signalName(report->getType()), code);
        }
        std::fflush(stdout);
    }
    UiInterfaceMgr::myProcessEvent(event);
}
