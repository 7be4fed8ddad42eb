#include "usb/cfg/CmdExternalCode.h"

#include <algorithm>
#include <cstring>

#include "platform/orrin/CeilDivide.h"
#include "platform/orrin/Sector.h"
#include "platform/taval/Taval.h"
#include "schema/base/Assert.h"
#include "schema/base/Log.h"
#include "schema/base/SystemInfo.h"
#include "schema/base/UsbConfiguration.h"
#include "schema/device/BaseAddress.h"
#include "schema/device/UsbDevice.h"
#include "schema/state/BaseState.h"
#include "schema/state/DeviceStateType.h"
#include "usb/cfg/CfgTable.h"
#include "usb/cfg/CodeData.h"
#include "usb/cfg/CodeFactory.h"
#include "usb/cfg/TlcPages.h"

namespace Tessor::usb {

namespace {

constexpr int kSector = SECTOR_BYTES;

}  // namespace

CmdExternalCode::CmdExternalCode(schema::UsbDevice* device, const std::string& name, CODE_TYPE_T type)
    : BaseCmdData(device, name), m_type(type)
{
    init();
}

CmdExternalCode::CmdExternalCode(const std::string& name, CODE_TYPE_T type) : BaseCmdData(name), m_type(type)
{
    init();
}

int CmdExternalCode::myInit()
{
    CodeFactory* factory = CodeFactory::instance();
    if (factory != nullptr) {
        m_code = factory->getCode(m_type);
    }
    return 0;
}

int CmdExternalCode::getCodeLength() const { return m_code ? m_code->getCodeLength() : 0; }

int CmdExternalCode::getPagesPerPiece(int sectorsPerPage) const
{
    return m_code ? ceilDivide(m_code->getSectorsPerPiece(), sectorsPerPage) : 0;
}

int CmdExternalCode::sectorsPerPage(schema::UsbDevice* device)
{
    Sptr<CfgTable> table = device->getCfgTable();
    Sptr<schema::VersionInfo> version = device->getVersion();
    if (!table || !version) {
        return 0;
    }
    if (version->getVersionNumber() == schema::VERSION_6706) {
        return table->getFlashCtrl()->record().bBlockSetSectorsPerPage[0];
    }
    return table->getCodeCtrl()->record().bSetSectorsPerPage[0];
}

int CmdExternalCode::download(schema::UsbDevice* device, const CodeData& piece)
{
    CPLOG(7, "Download External Code %s to RAM", getName());
    unsigned char mode = 0;
    Sptr<schema::BaseState> state = device->getState();
    if (state && state->getStateType() == schema::STATE_HIGH_FORMAT) {
        CPLOG(7, "Download External Code to RAM in High Format State : rebuild zone");
        mode = 1;
    }
    if (device->downloadExternalCode(mode, piece.getCodeBuffer(), piece.getCodeLengthInBytes()) != 0) {
        CPLOG(3, "Download scan code to RAM failed on device %s", device->getName());
        return -1;
    }
    CPLOG(7, "Download External Code to RAM Sucess!");
    return 0;
}

Sptr<schema::BaseAddress> CmdExternalCode::slotAddress(int slot, int piece)
{
    Sptr<schema::BaseData> item = getAddress() ? getAddress()->getData(slot) : Sptr<schema::BaseData>();
    if (!item) {
        CPLOG(3, "No address are allocated %d address for No.%d external code, write external code to flash failed",
              slot, piece);
        return Sptr<schema::BaseAddress>();
    }
    Sptr<schema::BaseAddress> address = item;
    if (!address) {
        CPLOG(3, "Address for No.%d external code is not validate address, write external code to flash failed",
              piece);
    }
    return address;
}

int CmdExternalCode::failOn(schema::UsbDevice* device, const schema::BaseAddress& address)
{
    CPLOG(3, "Download external code to Flash failed on device %s on phyical address : %d", device->getName(),
          address.getPhyAddress());
    return -1;
}

int CmdExternalCode::writeFlash(schema::UsbDevice* device)
{
    TESSOR_ASSERT(device != nullptr);
    CPLOG(7, "download %s code .....", getName());
    if (!m_code) {
        CPLOG(3, "%s has no code image: the code images were not loaded", getName());
        return -1;
    }
    if (isFlashType() && !getAddress()) {
        CPLOG(3, "No address are allocated for external code, write external code to flash failed");
        return -1;
    }
    const int spp = isFlashType() ? sectorsPerPage(device) : 0;
    if (isFlashType()) {
        CPLOG(7, "codeLength = %d, sectorsPerPage = %d", getCodeLength(), spp);
        if (spp <= 0) {
            CPLOG(3, "No sectors per page are known for %s on device %s", getName(), device->getName());
            return -1;
        }
    }
    for (int k = 0; k < m_code->getCount(); ++k) {
        Sptr<CodeData> piece = m_code->getData(k);
        TESSOR_ASSERT(piece);
        if (!isFlashType()) {
            if (download(device, *piece) != 0) {
                return -1;
            }
            continue;
        }
        const int pages = getPagesPerPiece(spp);
        const int perWrite = std::min(spp, piece->getLength());
        int remaining = piece->getLength();
        CPLOG(7, "remainSectors = %d", remaining);
        for (int i = 0; i < pages && remaining > 0; ++i) {
            const int count = std::min(remaining, perWrite);
            remaining -= perWrite;
            Sptr<schema::BaseAddress> address = slotAddress(piece->getOffset() * pages + i, piece->getOffset());
            if (!address) {
                return -1;
            }
            const unsigned char* bytes = piece->getCodeBuffer() + static_cast<size_t>(i) * perWrite * kSector;
            for (const Sptr<schema::BaseAddress>& page : TlcPages::writeOrder(device, address)) {
                if (page.get() == address.get()) {
                    CPLOG(7, "\tExternal Code %d, sectors= %d write at flash %s", i, perWrite, address->logData());
                }
                if (device->writeFlashSectors(page, count, bytes) != 0) {
                    return failOn(device, *address);
                }
            }
        }
    }
    return 0;
}

int CmdExternalCode::comparePiece(int k, const unsigned char* expected, const unsigned char* read, int count)
{
    const int bytes = count * kSector;
    if (std::memcmp(expected, read, static_cast<size_t>(bytes)) == 0) {
        CPLOG(5, "External Code %d validate OK", k);
        return 0;
    }
    CPLOG(3, "External Code %d validate failed", k);
    CPLOG(7, "Current ReadOut %d Sectors", count);
    const schema::UsbConfiguration* config = schema::UsbConfiguration::instance();
    // Copies for diagnosis only.
    (void)usbWriteFile(config->getOutputPath("Read").c_str(), expected, bytes, 0);
    (void)usbWriteFile(config->getOutputPath("Write").c_str(), read, bytes, 0);
    schema::SystemInfo::debugBuffer(expected, kSector, "Write External Code");
    schema::SystemInfo::debugBuffer(read, kSector, "Read out External Code");
    return -1;
}

int CmdExternalCode::validateFlash(schema::UsbDevice* device)
{
    TESSOR_ASSERT(device != nullptr);
    if (!isFlashType()) {
        return 0;
    }
    if (!m_code || !getAddress()) {
        CPLOG(3, "No address are allocated for external code, write external code to flash failed");
        return -1;
    }
    const int spp = sectorsPerPage(device);
    if (spp <= 0) {
        CPLOG(3, "No sectors per page are known for %s on device %s", getName(), device->getName());
        return -1;
    }
    const int stride = getPagesPerPiece(spp);
    for (int k = 0; k < m_code->getCount(); ++k) {
        Sptr<CodeData> piece = m_code->getData(k);
        TESSOR_ASSERT(piece);
        const int perRead = std::min(piece->getLength(), spp);
        int remaining = piece->getLength();
        for (int i = 0; i < stride && remaining > 0; ++i) {
            const int count = std::min(remaining, perRead);
            remaining -= perRead;
            Sptr<schema::BaseAddress> address = slotAddress(stride * piece->getOffset() + i, piece->getOffset());
            if (!address) {
                return -1;
            }
            const unsigned char* data = device->readFlashSectors(address, count);
            if (data == nullptr) {
                return failOn(device, *address);
            }
            const unsigned char* expected = piece->getCodeBuffer() + static_cast<size_t>(i) * perRead * kSector;
            if (comparePiece(k, expected, data, count) != 0) {
                return -1;
            }
        }
    }
    return 0;
}

}  // namespace Tessor::usb
