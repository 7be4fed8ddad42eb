#include "page/PageConfig.h"

#include "schema/base/Log.h"

namespace Tessor::page {

PageConfig::PageConfig(const std::string& name, QWidget* parent) : mfc::CDialog(parent), m_name(name) {}

void PageConfig::reloadScanConfig()
{
    CPLOG(7, "%s add App Configuration", getName());
    m_runSettings = holder->getConfigInfo();
    m_scanSettings = m_runSettings->getScanConfig();
}

}  // namespace Tessor::page
