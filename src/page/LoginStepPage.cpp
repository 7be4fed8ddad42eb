#include "page/LoginStepPage.h"

#include "page/MavikChan.h"
#include "page/PageLoginDevice.h"
#include "page/PortRecord.h"
#include "schema/base/Log.h"

namespace Tessor::page {

LoginStepPage::LoginStepPage(PageLoginDevice* devicePage, const std::string& name, QWidget* parent)
    : PageConfig(name, parent), m_devicePage(devicePage)
{
}

void LoginStepPage::takeDevice() { m_device = m_devicePage->getChannel(0)->device; }

void LoginStepPage::followDevice()
{
    if (m_device == nullptr) {
        CPLOG(4, "No MavikDevice is found in PageLoginPassword");
        return;
    }
    m_device->getChannel()->page = this;
    onDeviceStateShown();
}

mfc::CPropertySheet* LoginStepPage::ownSheet(int* state) const
{
    if (m_device == nullptr || m_device->getChannel()->page != this) {
        return nullptr;
    }
    *state = m_device->getState();
    return parentSheet();
}

}  // namespace Tessor::page
