#include "usb/scan/ScanTable.h"

#include "schema/base/Assert.h"
#include "schema/base/UsbConfiguration.h"
#include "schema/device/UsbDevice.h"
#include "usb/cfg/ByteOrder.h"
#include "usb/cfg/CfgDeviceView.h"
#include "usb/task/init/CodeCommands.h"

namespace Tessor::usb {

namespace {

constexpr int kTableBytes = 512;
constexpr uint32_t kSignature = 0xA55AA55A;
constexpr int kChecksumOffset = 8;

Le32* wordAt(unsigned char* sector, int offset) { return reinterpret_cast<Le32*>(sector + offset); }

CfgVariant configuredVariant()
{
    const int chipSet = schema::UsbConfiguration::instance()->getChipSet();
    switch (chipSet) {
    case 1: return CfgVariant::V6706;
    case 4: return CfgVariant::V6716V31;
    case 5: return CfgVariant::V6716V32;
    case 6: return CfgVariant::V6726;
    case 7: return CfgVariant::V6605;
    default: return CfgVariant::V6716;
    }
}

}  // namespace

ScanTable::ScanTable(schema::UsbDevice* device)
    : m_device(device), m_flash(nullptr, "CfgFlash", configuredVariant())
{
    TESSOR_ASSERT(device != nullptr);
}

int ScanTable::update4Scan(bool planeLayout)
{
    return m_flash.update4Scan(CfgDeviceView::of(m_device), planeLayout);
}

int ScanTable::writeToRam()
{
    std::vector<unsigned char> sector(kTableBytes, 0);
    wordAt(sector.data(), 0)->set(kSignature);
    wordAt(sector.data(), 4)->set(kSignature);
    m_flash.serialize(sector.data() + FLASH_INFO_OFFSET);
    uint32_t sum = 0;
    for (int at = 0; at < kTableBytes; at += 4) {
        if (at != kChecksumOffset) {
            sum ^= wordAt(sector.data(), at)->get();
        }
    }
    wordAt(sector.data(), kChecksumOffset)->set(sum);
    return m_device->writeConfigTable2Ram(sector.data());
}

ScanPlaneLayout ScanTable::getPlaneLayout() const
{
    const FlashCtrl& f = m_flash.record();
    return {f.MaxPlanes + 1, f.MaxInterleaves + 1, f.MaxChips + 1};
}

int ScanTable::downloadCode(CMD_COMMON_T command)
{
    Sptr<schema::BaseCmdData> code = getCodeCommand(command == CMD_SCAN_CODE ? CODE_SCAN : CODE_WRITE_FLASH);
    TESSOR_ASSERT(code);
    return code->writeFlash(m_device);
}

}  // namespace Tessor::usb
