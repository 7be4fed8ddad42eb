#include "page/PageConfig.h"

#include "platform/mfc/PropertySheet.h"
#include "schema/base/Log.h"

namespace Tessor::page {

PageConfig::PageConfig(const std::string& name, QWidget* parent) : mfc::CDialog(parent), m_name(name) {}

void PageConfig::reloadScanConfig()
{
    CPLOG(7, "%s add App Configuration", getName());
    m_runSettings = holder->getConfigInfo();
    m_scanSettings = m_runSettings->getScanConfig();
}

mfc::CPropertySheet* PageConfig::parentSheet() const
{
    for (QWidget* above = parentWidget(); above != nullptr; above = above->parentWidget()) {
        if (auto* sheet = dynamic_cast<mfc::CPropertySheet*>(above)) {
            return sheet;
        }
    }
    return nullptr;
}

void PageConfig::showFirstPage()
{
    if (mfc::CPropertySheet* sheet = parentSheet()) {
        sheet->SetActivePage(0);
    }
    update();
}

}  // namespace Tessor::page
