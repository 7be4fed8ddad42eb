// A login wizard page after the first: it follows the disk of the device
// page, taking over its channel while it is the page shown.
#pragma once

#include <string>

#include "page/PageConfig.h"

namespace Tessor::page {

class PageLoginDevice;
class PortRecord;

class LoginStepPage : public PageConfig {
protected:
    LoginStepPage(PageLoginDevice* devicePage, const std::string& name, QWidget* parent);

    // Takes the device page's record (at initialisation).
    void takeDevice();
    // Makes this page the one the record reports to, and shows its state.
    void followDevice();
    // The sheet, with the record's state, while this page owns the channel:
    // a redraw queued for another page changes nothing here.
    mfc::CPropertySheet* ownSheet(int* state) const;

    PageLoginDevice* m_devicePage;
    PortRecord* m_device = nullptr;
};

}  // namespace Tessor::page
