#include "usb/cfg/CfgTableIndex.h"

#include <cstring>

#include "platform/orrin/ByteOrder.h"
#include "schema/base/Assert.h"
#include "schema/base/Log.h"
#include "schema/base/SystemInfo.h"
#include "schema/device/BaseAddress.h"
#include "schema/device/DiskInfo.h"
#include "schema/device/UsbDevice.h"
#include "usb/cfg/CfgTable.h"
#include "usb/cfg/TlcPages.h"
#include "usb/profile/FlashInfo.h"

namespace Tessor::usb {

using schema::BaseAddress;
using schema::SystemInfo;

namespace {
constexpr uint8_t kFill = 0xCC;
constexpr uint8_t kMagic[3] = {0xA5, 0x33, 0x31};
}  // namespace

CfgTableIndex::CfgTableIndex(schema::UsbDevice* device) : BaseCmdData(device, "CfgTableIndex") { init(); }

CfgTableIndex::~CfgTableIndex() = default;

int CfgTableIndex::myInit()
{
    m_length = kImageSize;
    return 0;
}

// The flash format: v = 2 x 16-bit bus + page-size code (1 for pages of
// eight sectors or more), with its complement in the high nibble.
uint8_t CfgTableIndex::flagByte(schema::UsbDevice* device) const
{
    Sptr<FlashInfo> flash = device->getFlashInfo();
    Sptr<schema::DiskInfo> disk = device->getDiskInfo();
    TESSOR_ASSERT(flash && disk);
    const int bus16 = flash->getChipInfo()->BusWord != 0 ? 1 : 0;
    const int pageCode = disk->getSectorsPerPage() >= 8 ? 1 : 0;
    const uint8_t v = static_cast<uint8_t>(2 * bus16 + pageCode);
    return static_cast<uint8_t>(v | (~v << 4));
}

int CfgTableIndex::update(schema::UsbDevice* device)
{
    TESSOR_ASSERT(device != nullptr);
    Sptr<CfgTable> table = device->getCfgTable();
    TESSOR_ASSERT(table);
    Sptr<BaseAddress> address = table->getAddress();
    TESSOR_ASSERT(address);
    uint8_t r[kRecordSize] = {};
    std::memcpy(r, kMagic, sizeof kMagic);
    r[3] = flagByte(device);
    const uint32_t page = static_cast<uint32_t>(address->getPhyAddress() / device->getDiskInfo()->getSectorsPerPage());
    r[5] = static_cast<uint8_t>(page >> 16);
    r[6] = static_cast<uint8_t>(page >> 8);
    r[7] = static_cast<uint8_t>(page);
    CPLOG(7, "cfgIndex Testing: the cfgIndex point to the cfgtable address is %u(%s)", page & 0xFFFFFF,
          address->logData());
    r[8] = table->getCodeCtrl()->record().bSysStart0;
    for (int i = 0; i < 9; ++i) {
        r[9] ^= r[i];
    }
    uint16_t sum = 0;
    for (int i = 0; i < 10; i += 2) {
        sum = static_cast<uint16_t>(sum + fieldAt<Be16>(r + i));
    }
    const uint16_t complement = static_cast<uint16_t>(0 - sum);
    r[10] = static_cast<uint8_t>(complement >> 8);
    r[11] = static_cast<uint8_t>(complement);
    std::memset(m_buffer.data(), kFill, kImageSize);
    for (int copy = 0; copy < kImageSize; copy += kCopyStride) {
        std::memcpy(m_buffer.data() + copy, r, kRecordSize);
    }
    return 0;
}

int CfgTableIndex::writeFlash(schema::UsbDevice* device)
{
    CPLOG(7, "access CfgTableIndex::writeFlash");
    Sptr<BaseAddress> container = getAddress();
    TESSOR_ASSERT(container);
    if (const int result = update(device); result != 0) {
        return result;
    }
    TESSOR_ASSERT(container->getCount() > 0);
    int result = 0;
    for (int i = 0; i < container->getCount(); ++i) {
        Sptr<BaseAddress> copy = container->getData(i);
        TESSOR_ASSERT(copy);
        for (const Sptr<BaseAddress>& page : TlcPages::writeOrder(device, copy)) {
            CPLOG(7, "CfgTableIndex are wrote to %s", page->logData());
            if (device->writeFlashSectors(page, kSectors, image()) != 0) {
                CPLOG(3, "Write CfgTable Index on %d of device %s failed", copy->getBlockNo(), device->getName());
                SystemInfo::debugBuffer(image(), kImageSize, "Dump CfgTable Index");
                result = -1;
            }
        }
    }
    return result;
}

int CfgTableIndex::validateFlash(schema::UsbDevice* device)
{
    Sptr<BaseAddress> container = getAddress();
    TESSOR_ASSERT(container);
    int result = 0;
    for (int i = 0; i < container->getCount(); ++i) {
        Sptr<BaseAddress> copy = container->getData(i);
        TESSOR_ASSERT(copy);
        const unsigned char* read = device->readFlashSectors(copy, kSectors);
        if (read == nullptr) {
            CPLOG(3, "Read out CfgTable Address Index failed");
            return -1;
        }
        if (std::memcmp(read, image(), kImageSize) != 0) {
            CPLOG(3, "Compare CfgTable Address Index failed");
            SystemInfo::debugBuffer(read, kImageSize, "Dump CfgTable Index");
            result = -1;
        }
    }
    if (result == 0) {
        CPLOG(5, "CfgTable Index validate OK!");
    }
    return result;
}

}  // namespace Tessor::usb
