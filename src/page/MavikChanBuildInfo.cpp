// The channel's build-information dialog: with the pages that act on the
// port records, since it asks the record for its device.
#include "page/DlgBuildInfo.h"
#include "page/MavikChan.h"
#include "page/PortRecord.h"
#include "platform/mfc/MessageBox.h"
#include "utils/MavikLang.h"

namespace Tessor::page {

using utils::MavikLang;

void MavikChan::showBuildInfo()
{
    schema::UsbDevice* usbDevice = device != nullptr ? device->getDevice() : nullptr;
    if (usbDevice == nullptr) {
        mfc::AfxMessageBox(MavikLang::text("Device is not ready now!"), mfc::MB_OK | mfc::MB_ICONEXCLAMATION,
                           MavikLang::text("Warning"));
        return;
    }
    DlgBuildInfo dialog;
    dialog.device = usbDevice;
    dialog.DoModal();
}

}  // namespace Tessor::page
