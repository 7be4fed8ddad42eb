#include "platform/mfc/ShellOpen.h"

#include <QDesktopServices>
#include <QUrl>

#include "platform/mfc/GuiThread.h"
#include "platform/mfc/MessageBox.h"
#include "platform/mfc/ServiceSlot.h"
#include "platform/orrin/PlatformLog.h"

namespace Tessor::mfc {

namespace {

ServiceSlot<ShellOpenService, DesktopOpen> g_slot;

}  // namespace

void DesktopOpen::open(const QString& path)
{
    if (!isHeadless()) {
        QDesktopServices::openUrl(QUrl::fromLocalFile(path));
    }
}

void setShellOpenService(std::shared_ptr<ShellOpenService> service) { g_slot.set(std::move(service)); }

std::shared_ptr<ShellOpenService> shellOpenService() { return g_slot.get(); }

void ShellOpen(const QString& path)
{
    ASSERT_GUI_THREAD();
    PLATFORM_LOG(7, "Open %s", path.toUtf8().constData());
    shellOpenService()->open(path);
}

}  // namespace Tessor::mfc
