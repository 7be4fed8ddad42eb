#include "usb/cfg/ExternalCodeIndex.h"

#include <cstring>

#include "platform/orrin/ByteOrder.h"
#include "platform/taval/Taval.h"
#include "schema/base/Log.h"
#include "schema/base/SystemInfo.h"
#include "schema/base/UsbConfiguration.h"
#include "schema/device/UsbDevice.h"
#include "usb/cfg/CfgTable.h"
#include "usb/cfg/TlcPages.h"

namespace Tessor::usb {

int ExternalCodeIndex::Init()
{
    m_record.fill(0);
    return 0;
}

int ExternalCodeIndex::update(int pagesPerBlock, const schema::BaseAddress& cfgTable, schema::BaseData& codePages)
{
    const int count = codePages.getCount();
    if (count > MAX_ENTRIES) {
        CPLOG(3, "%d external-code pages do not fit in the external code index of %d entries", count, MAX_ENTRIES);
        return -1;
    }
    Be16* entries = reinterpret_cast<Be16*>(m_record.data());
    for (int k = 0; k < count; ++k) {
        Sptr<schema::BaseAddress> page = codePages.getData(k);
        if (!page) {
            CPLOG(3, "External code page %d has no address", k);
            return -1;
        }
        const unsigned blocks = static_cast<unsigned>(page->getBlockNo() - cfgTable.getBlockNo()) & 0xFFFF;
        entries[k].set(static_cast<uint16_t>(blocks * static_cast<unsigned>(pagesPerBlock) +
                                             static_cast<unsigned>(page->getPageNo())));
    }
    return 0;
}

int ExternalCodeIndex::update(schema::UsbDevice* device, const schema::BaseAddress& cfgTable,
                              schema::BaseData& codePages)
{
    return update(device->getCfgTable()->getFlashCtrl()->record().wPagesPerBlock, cfgTable, codePages);
}

std::vector<int> ExternalCodeIndex::entriesOf(const unsigned char* sector)
{
    std::vector<int> entries;
    const Be16* words = reinterpret_cast<const Be16*>(sector);
    for (int k = 0; k < MAX_ENTRIES && words[k].get() != 0 && words[k].get() != 0xFFFF; ++k) {
        entries.push_back(words[k].get());
    }
    return entries;
}

int ExternalCodeIndex::writeFlash(schema::UsbDevice* device, Sptr<schema::BaseAddress> at)
{
    for (const Sptr<schema::BaseAddress>& page : TlcPages::writeOrder(device, at)) {
        if (device->writeFlashSectors(page, 1, m_record.data()) != 0) {
            CPLOG(3, "Write External Index Code on sector %d of device failed", at->getPhyAddress());
        }
    }
    return 0;
}

int ExternalCodeIndex::validateFlash(schema::UsbDevice* device, Sptr<schema::BaseAddress> at)
{
    const unsigned char* read = device->readFlashSectors(at, 1);
    if (read == nullptr) {
        CPLOG(3, "Download external code to Flash failed on device %s on phyical address : %d", device->getName(),
              at->getPhyAddress());
        return -1;
    }
    if (std::memcmp(read, m_record.data(), SIZE) == 0) {
        CPLOG(5, "External Code Index validate OK");
        return 0;
    }
    CPLOG(3, "External Code Index validate failed");
    const schema::UsbConfiguration* config = schema::UsbConfiguration::instance();
    // Copies for diagnosis only.
    (void)usbWriteFile(config->getOutputPath("Read").c_str(), m_record.data(), SIZE, 0);
    (void)usbWriteFile(config->getOutputPath("Write").c_str(), read, SIZE, 0);
    schema::SystemInfo::debugBuffer(m_record.data(), SIZE, "Write External Code Index");
    schema::SystemInfo::debugBuffer(read, SIZE, "Read out External Code Index");
    return -1;
}

}  // namespace Tessor::usb
