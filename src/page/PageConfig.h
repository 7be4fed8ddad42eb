// The base of every page of the main sheet: bound to the configuration
// holder and the UI manager, with its own hold on the run settings.
#pragma once

#include <atomic>
#include <string>

#include "platform/mfc/Dialog.h"
#include "schema/base/Sptr.h"
#include "schema/device/ConfigInfo.h"
#include "schema/device/ScanConfig.h"
#include "page/MavikConfig.h"

namespace Tessor::mfc {
class CPropertySheet;
}

namespace Tessor::page {

class PageHost;

class PageConfig : public mfc::CDialog {
public:
    PageConfig(const std::string& name, QWidget* parent = nullptr);

    // Read by the UI manager's thread before it hands over any device report.
    virtual bool isInitialised() const { return m_initialised.load(); }
    // Takes the holder's current settings and their scan settings.
    virtual void reloadScanConfig();
    // Called after a record has shown a channel's state on this page.
    virtual void onDeviceStateShown() {}

    const char* getName() const { return m_name.c_str(); }
    // The property sheet the page is on; null before it is added to one.
    mfc::CPropertySheet* parentSheet() const;
    // Makes the sheet's first page the active one.
    void showFirstPage();

    page::MavikConfig* holder = nullptr;
    PageHost* uiMgr = nullptr;

protected:
    // The end of the page's own initialisation.
    void setInitialised() { m_initialised.store(true); }

    Sptr<schema::ConfigInfo> m_runSettings;
    Sptr<schema::ScanConfig> m_scanSettings;

private:
    std::atomic<bool> m_initialised{false};
    std::string m_name;
};

}  // namespace Tessor::page
