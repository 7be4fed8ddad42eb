// What a channel's device is and how its last production run built it: the
// flash identity and geometry, and the build information kept in the
// device's configuration table. Read-only.
#pragma once

#include "platform/mfc/Dialog.h"

namespace Tessor::schema {
class UsbDevice;
}

namespace Tessor::page {

class DlgBuildInfo : public mfc::CDialog {
public:
    static constexpr int IDD = 162;
    enum : int {
        IDC_PART_NUMBER = 1200,
        IDC_CHIPS = 1201,
        IDC_BLOCKS = 1015,
        IDC_PAGES = 1202,
        IDC_SECTORS = 1039,
        IDC_FLASH_CAPACITY = 1203,
        IDC_PRODUCT = 1905,
        IDC_VENDOR = 1904,
        IDC_SERIAL = 1903,
        IDC_TOOL_VERSION = 1909,
        IDC_FIRMWARE_VERSION = 1321,
        IDC_FORMAT_TIME = 1902,
        IDC_ECC = 1901,
        IDC_SCAN_LEVEL = 1900,
        IDC_BAD_BLOCKS = 1907,
        IDC_BUILD_CAPACITY = 1906,
    };

    explicit DlgBuildInfo(QWidget* parent = nullptr);

    // Set by the opener before the dialog runs; not owned.
    schema::UsbDevice* device = nullptr;

protected:
    bool OnInitDialog() override;

private:
    void setTexts();
    void showFlash();
    void showBuild();
};

}  // namespace Tessor::page
