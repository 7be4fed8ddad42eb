#include "usb/cfg/CfgTable.h"

#include <algorithm>
#include <cstddef>
#include <cstdio>
#include <cstring>

#include "platform/orrin/ByteOrder.h"
#include "platform/orrin/Sector.h"
#include "schema/base/Assert.h"
#include "schema/base/DeviceCode.h"
#include "schema/base/Log.h"
#include "schema/base/SystemInfo.h"
#include "schema/base/UsbConfiguration.h"
#include "schema/device/Mp3Config.h"
#include "schema/device/UsbDevice.h"
#include "schema/dpf/DpfDevice.h"
#include "usb/cfg/AddressFactory.h"
#include "usb/cfg/CfgCode6605.h"
#include "usb/cfg/CfgCode6706.h"
#include "usb/cfg/CfgCode6716.h"
#include "usb/cfg/CfgCode6716V31.h"
#include "usb/cfg/CfgCode6716V32.h"
#include "usb/cfg/CfgCode6726.h"
#include "usb/cfg/CfgFlash6605.h"
#include "usb/cfg/CfgFlash6706.h"
#include "usb/cfg/CfgFlash6716.h"
#include "usb/cfg/CfgFlash6716V31.h"
#include "usb/cfg/CfgFlash6716V32.h"
#include "usb/cfg/CfgFlash6726.h"
#include "usb/cfg/CfgPartition6605.h"
#include "usb/cfg/CfgPartition6706.h"
#include "usb/cfg/CfgPartition6716.h"
#include "usb/cfg/CfgPartition6716V31.h"
#include "usb/cfg/CfgPartition6716V32.h"
#include "usb/cfg/CfgPartition6726.h"
#include "usb/cfg/CmdExternalCode.h"
#include "usb/cfg/ExternalCodeIndex.h"
#include "usb/cfg/TlcPages.h"
#include "usb/cmd/FlagPageBitmap.h"
#include "usb/cmd/PageBitmap.h"
#include "usb/cmd/SetList.h"

namespace Tessor::usb {

using schema::BaseAddress;
using schema::SystemInfo;

namespace {

constexpr int kFileNameMax = 50;

struct Items {
    CfgPartition* partition;
    CfgFlash* flash;
    CfgCode* code;
};

Items itemsOf(CfgVariant variant, CfgTable* table)
{
    switch (variant) {
    case CfgVariant::V6706: return {new CfgPartition6706(table), new CfgFlash6706(table), new CfgCode6706(table)};
    case CfgVariant::V6716: return {new CfgPartition6716(table), new CfgFlash6716(table), new CfgCode6716(table)};
    case CfgVariant::V6716V31:
        return {new CfgPartition6716V31(table), new CfgFlash6716V31(table), new CfgCode6716V31(table)};
    case CfgVariant::V6716V32:
        return {new CfgPartition6716V32(table), new CfgFlash6716V32(table), new CfgCode6716V32(table)};
    case CfgVariant::V6726: return {new CfgPartition6726(table), new CfgFlash6726(table), new CfgCode6726(table)};
    case CfgVariant::V6605: return {new CfgPartition6605(table), new CfgFlash6605(table), new CfgCode6605(table)};
    }
    return {};
}

const char* variantName(CfgVariant variant)
{
    switch (variant) {
    case CfgVariant::V6706: return "6706";
    case CfgVariant::V6716: return "6716";
    case CfgVariant::V6716V31: return "6716V31";
    case CfgVariant::V6716V32: return "6716V32";
    case CfgVariant::V6726: return "6726";
    case CfgVariant::V6605: return "6605";
    }
    return "";
}

// 16-bit characters of a default string descriptor.
template <class Form>
void defaultString(Form& form, uint8_t bLength, const char* text)
{
    std::memset(&form, 0, sizeof form);
    form.bLength = bLength;
    form.bDescriptorType = 3;
    for (int i = 0; text[i] != '\0'; ++i) {
        form.text[2 * i] = static_cast<uint8_t>(text[i]);
    }
}

const uint8_t kDeviceDescriptor[18] = {0x12, 0x01, 0x00, 0x02, 0x00, 0x00, 0x00, 0x40, 0x7E,
                                       0x2B, 0x15, 0x4C, 0x00, 0x00, 0x01, 0x02, 0x03, 0x01};
const uint8_t kLanguage[4] = {0x04, 0x03, 0x09, 0x04};

}  // namespace

CfgTable::CfgTable(schema::UsbDevice* device, const std::string& name, CFG_TABLE_TYPE_T type)
    : BaseCmdData(device, name), m_type(type)
{
    init();
}

CfgTable::CfgTable(schema::UsbDevice* device, const void* raw)
    : BaseCmdData(device, "CfgTable(r)"), m_type(CFG_TABLE_DOWNLOADING)
{
    init();
    m_readBack = reverseSerialize(const_cast<void*>(raw)) >= 0;
    debug();
}

CfgTable::~CfgTable() { CPLOG(7, "Destructing %s CfgTable.....", getName()); }

int CfgTable::myInit()
{
    m_length = kImageRoom;
    const int chipSet = schema::UsbConfiguration::instance()->getChipSet();
    m_variant = CfgTableLayout::variantOf(chipSet);
    clearData();
    if (m_variant) {
        CPLOG(7, "%s for %s", getName(), variantName(*m_variant));
        const Items items = itemsOf(*m_variant, this);
        m_partition = Sptr<CfgPartition>(items.partition);
        m_flash = Sptr<CfgFlash>(items.flash);
        m_code = Sptr<CfgCode>(items.code);
        addData(Sptr<schema::BaseData>(m_flash));
        addData(Sptr<schema::BaseData>(m_partition));
        addData(Sptr<schema::BaseData>(m_code));
    } else {
        CPLOG(3, "%s: chip set %d has no configuration table", getName(), chipSet);
    }
    loadDescriptorDefaults();
    setFirmwareVersoin();
    m_buildInfo = Sptr<BuildInfo>(new BuildInfo(this));
    m_mp3 = Sptr<schema::Mp3Config>(new schema::Mp3Config("Default Mp3 Config"));
    m_firstSerial = 1;
    return getDevice() != nullptr && m_variant ? update(getDevice()) : 0;
}

void CfgTable::loadDescriptorDefaults()
{
    if (!m_variant) {
        return;
    }
    switch (CfgTableLayout::of(*m_variant).descriptorBlock) {
    case CfgTableLayout::TBL_INFO: {
        CPLOG(7, "%s for 6706/6716", getName());
        _CFG_TBL_INFO& t = m_cfgTblInfo;
        std::memset(&t, 0, sizeof t);
        std::memcpy(&t.device, kDeviceDescriptor, sizeof t.device);
        std::memcpy(&t.device2, kDeviceDescriptor, sizeof t.device2);
        std::memcpy(&t.language, kLanguage, sizeof kLanguage);
        defaultString(t.manufacturer, 0x0D, "USB 2.0");
        defaultString(t.product, 0x14, "Flash Disk");
        defaultString(t.serial, 0x20, "2009052101010100");
        break;
    }
    case CfgTableLayout::INFO_V31:
    case CfgTableLayout::INFO_6605: {
        const bool is6605 = *m_variant == CfgVariant::V6605;
        if (!is6605) {
            CPLOG(7, "%s for 6716V31/6716V32/6726", getName());
        }
        CFG_INFO_V31& b = *descriptorBlock144();
        std::memset(&b, 0, sizeof b);
        std::memcpy(&b.device, kDeviceDescriptor, sizeof b.device);
        std::memcpy(b.language, kLanguage, sizeof kLanguage);
        if (is6605) {
            defaultString(b.manufacturer, 0x12, "Generic");
            defaultString(b.product, 0x22, "Tessor MP3Player");
            defaultString(b.serial, 0x22, "2009011011000000");
        } else {
            b.manufacturer.bLength = 0x10;
            b.manufacturer.bDescriptorType = 3;
            std::memcpy(b.manufacturer.text, "USB 2.0", 7);
            defaultString(b.product, 0x14, "Flash Disk");
            defaultString(b.serial, 0x20, "2009052101010100");
        }
        const uint8_t head[8] = {0x00, 0x80, 0x02, 0x02, 0x1F, 0x00, 0x00, 0x00};
        std::memcpy(&b.inquiry, head, sizeof head);
        std::memcpy(b.inquiry.vendor, "Generic Flash MP3  2.0  6.00", 28);
        break;
    }
    }
}

CFG_INFO_V31* CfgTable::descriptorBlock144()
{
    return m_variant == CfgVariant::V6605 ? &m_6605 : &m_v31;
}

int CfgTable::getCodeLength() const { return m_code ? m_code->getSectorNumber4ExternalCode() : 0; }

int CfgTable::getCapacity() const
{
    schema::UsbDevice* device = getDevice();
    Sptr<schema::ConfigInfo> settings = device != nullptr ? device->getConfigInfo() : Sptr<schema::ConfigInfo>();
    return settings ? settings->getRealCapacity() : 0;
}

void CfgTable::computePageOffset4Build()
{
    Sptr<BaseAddress> build = m_buildInfo->getAddress();
    Sptr<BaseAddress> table = getAddress();
    m_pageOffset4Build = 0;
    if (build && table) {
        const int pagesPerBlock = m_flash->record().wPagesPerBlock;
        const int pages = (build->getBlockNo() - table->getBlockNo()) * pagesPerBlock + build->getPageNo() -
                          table->getPageNo();
        m_pageOffset4Build = static_cast<unsigned char>(pages & 0xFF);
    }
    CPLOG(7, "Page Offset for BuildInfo is %d", m_pageOffset4Build);
}

int CfgTable::serialize(void* buffer)
{
    if (!m_variant) {
        CPLOG(3, "%s: no configuration table is laid out for this chip set", getName());
        return -1;
    }
    const CfgTableLayout layout = CfgTableLayout::of(*m_variant);
    computePageOffset4Build();
    uint8_t* sector = static_cast<uint8_t*>(buffer);
    std::memset(sector, 0, layout.imageLength);
    switch (layout.descriptorBlock) {
    case CfgTableLayout::TBL_INFO: std::memcpy(sector + layout.descriptors, &m_cfgTblInfo, sizeof m_cfgTblInfo); break;
    case CfgTableLayout::INFO_V31:
        if (*m_variant == CfgVariant::V6716V31) {
            CPLOG(7, "================== the CFG_INFO_V31 size is %d", static_cast<int>(sizeof m_v31));
        }
        std::memcpy(sector + layout.descriptors, &m_v31, sizeof m_v31);
        break;
    case CfgTableLayout::INFO_6605:
        std::memcpy(sector + layout.descriptors, &m_6605, sizeof m_6605);
        if (m_mp3) {
            m_mp3->serialize(sector + layout.mp3);
        }
        break;
    }
    sector[layout.pageOffset4Build] = m_pageOffset4Build;
    putFieldAt<Le32>(sector, kSignature);
    putFieldAt<Le32>(sector + 4, kSignature);
    m_partition->serialize(sector + layout.udisk);
    m_code->serialize(sector + layout.codeCtrl);
    m_flash->serialize(sector + layout.flashInfo);
    CPLOG(7, "serialization finished : sizeof cfgTable is %d", layout.imageLength);
    return layout.imageLength;
}

void CfgTable::checkSum(unsigned char* buffer)
{
    uint32_t sum = 0;
    for (int offset = 0; offset < SECTOR_BYTES; offset += 4) {
        if (offset != kChecksumOffset) {
            sum ^= fieldAt<Le32>(buffer + offset);
        }
    }
    putFieldAt<Le32>(buffer + kChecksumOffset, sum);
    CPLOG(7, "Checksum of Config Table : %x", sum);
}

int CfgTable::reverseSerialize(void* raw)
{
    CPLOG(7, "%s reverse serialization.....", getName());
    if (!m_variant) {
        CPLOG(3, "%s: no configuration table is laid out for this chip set", getName());
        return -1;
    }
    const CfgTableLayout layout = CfgTableLayout::of(*m_variant);
    uint8_t* sector = static_cast<uint8_t*>(raw);
    switch (layout.descriptorBlock) {
    case CfgTableLayout::TBL_INFO: std::memcpy(&m_cfgTblInfo, sector + layout.descriptors, sizeof m_cfgTblInfo); break;
    case CfgTableLayout::INFO_V31: std::memcpy(&m_v31, sector + layout.descriptors, sizeof m_v31); break;
    case CfgTableLayout::INFO_6605:
        std::memcpy(&m_6605, sector + layout.descriptors, sizeof m_6605);
        if (m_mp3) {
            m_mp3->reverseSerialize(sector + layout.mp3);
        }
        break;
    }
    m_pageOffset4Build = sector[layout.pageOffset4Build];
    m_partition->reverseSerialize(sector + layout.udisk);
    m_code->reverseSerialize(sector + layout.codeCtrl);
    m_flash->reverseSerialize(sector + layout.flashInfo);
    if (schema::UsbDevice* device = getDevice()) {
        // Its pages are found and its units laid out by this geometry.
        if (!m_flash->describesFlash()) {
            CPLOG(3, "%s: the table's flash record describes no flash (%d chips of 2^%d blocks of %d pages of %d "
                  "sectors)", getName(), m_code->record().bCeCount, m_flash->record().bBlockPerChipExp,
                  m_flash->record().wPagesPerBlock, m_flash->record().bSectorsPerPage);
            return -1;
        }
        device->setFlashInfo(m_flash->getFlashInfo());
        allocateUserDiskAddresses();
        updateConfigData();
    }
    CPLOG(7, "reverse serialization finished");
    return layout.imageLength;
}

int CfgTable::startSector() const
{
    if (m_variant == CfgVariant::V6706) {
        return m_flash->record().bBlockSetStartSector[0];
    }
    return m_code->record().bSetStartSector[0];
}

Sptr<BaseAddress> CfgTable::allocateAddress(Sptr<schema::DiskInfo> geometry, int base, int offset)
{
    const int pagesPerBlock = geometry->getPagesPerBlock();
    TESSOR_ASSERT(pagesPerBlock > 0);
    const int n = base + offset;
    const int block = m_code->record().wCfgTblBlkAddr + n / pagesPerBlock;
    return Sptr<BaseAddress>(new BaseAddress(getDevice(), block, n % pagesPerBlock, startSector()));
}

// The system pages of the table read back. The code-control record counts
// the flag-table and code pages from page 0 of the table's block, and the
// build information from the table's own page. Each page is read where the
// firmware the table booted finds it and keeps the address it lies at: the
// page offset counts from there, and a rewrite goes there with the
// flash-writing firmware.
int CfgTable::allocateUserDiskAddresses()
{
    schema::UsbDevice* device = getDevice();
    Sptr<schema::DiskInfo> geometry = m_flash->getDiskInfo();
    const CodeCtrl& code = m_code->record();
    setAddress(Sptr<BaseAddress>(new BaseAddress(device, code.wCfgTblBlkAddr, code.bCfgTblPage, startSector())));
    m_type = CFG_TABLE_DEVICE;

    if (m_variant == CfgVariant::V6605) {
        // The 6605 lists its code pages in its external-code index, the page
        // after the table's: in the table's block, or the next block's.
        const int ppb = geometry->getPagesPerBlock();
        const int indexPage = code.bExtCodeIndexPage + (code.bExtCodeIndexPage > code.bCfgTblPage ? 0 : ppb);
        m_codeIndexAddress = allocateAddress(geometry, 0, indexPage);
        Sptr<BaseAddress> pages(new BaseAddress(device, 0, 0, 0));
        if (const unsigned char* index = device->readFlashSectors(bootedForm(m_codeIndexAddress, geometry), 1)) {
            for (int page : ExternalCodeIndex::entriesOf(index)) {
                pages->addData(Sptr<schema::BaseData>(allocateAddress(geometry, 0, page)));
            }
        } else {
            CPLOG(3, "External code index of device %s can not be read at %s", device->getName(),
                  m_codeIndexAddress->logData());
        }
        device->getExternalCode()->setAddress(pages);
    } else {
        // A 149-byte record keeps ten bits of each page, the others eight;
        // all of them set marks an unused entry.
        const bool tenBits = m_variant == CfgVariant::V6716V31 || m_variant == CfgVariant::V6716V32 ||
                             m_variant == CfgVariant::V6726;
        const int unused = tenBits ? 0x3FF : 0xFF;
        Sptr<BaseAddress> pages(new BaseAddress(device, 0, 0, 0));
        for (int i = 0; i < CodeCtrl::kExtCodePages; ++i) {
            const int page = code.wExtCodePage[i];
            if (page > 0 && page > code.bCfgTblPage && page != unused) {
                pages->addData(Sptr<schema::BaseData>(allocateAddress(geometry, 0, page)));
            }
        }
        device->getExternalCode()->setAddress(pages);
    }

    CPLOG(7, "Flag Table : page %d(start page %d)", code.bFlagTblPage, code.bCfgTblPage);
    Sptr<BaseAddress> flagAddress = allocateAddress(geometry, 0, code.bFlagTblPage);
    const unsigned char* flagSector = device->readFlashSectors(bootedForm(flagAddress, geometry), 1);
    device->setPageBitmap(Sptr<PageBitmap>(new PageBitmap(device)));
    if (flagSector != nullptr) {
        Sptr<FlagPageBitmap> flags(new FlagPageBitmap(device, flagSector));
        flags->setAddress(flagAddress);
        device->setFlagBitmap(flags);
    } else {
        CPLOG(3, "Flag table of device %s can not be read at %s", device->getName(), flagAddress->logData());
    }

    Sptr<BaseAddress> build = allocateAddress(geometry, code.bCfgTblPage, m_pageOffset4Build);
    if (unsigned char* sector = device->readFlashSectors(bootedForm(build, geometry), 1)) {
        BuildInfo::dumpSector(sector, "Build Info");
        m_buildInfo->reverseSerialize(sector);
    }
    m_buildInfo->setAddress(build);
    return 0;
}

bool CfgTable::groupsRawAddresses() const
{
    if (!m_code || !m_flash) {
        return false;
    }
    const FlashCtrl& flash = m_flash->record();
    return (m_code->record().blockModeFlags & 1) != 0 &&
           (flash.MaxPlanes + 1) * (flash.MaxInterleaves + 1) * (flash.MaxChips + 1) > 1;
}

Sptr<BaseAddress> CfgTable::bootedForm(const Sptr<BaseAddress>& page, const Sptr<schema::DiskInfo>& geometry) const
{
    if (!groupsRawAddresses()) {
        return page;
    }
    // A multi-plane block's pages go round its planes.
    const FlashCtrl& flash = m_flash->record();
    const int planes = flash.MaxPlanes + 1;
    const int units = planes * (flash.MaxInterleaves + 1) * (flash.MaxChips + 1);
    const int block = page->getBlockNo() + page->getChipNo() * geometry->getBlocksPerChip();
    const bool oddPlane = flash.MaxPlanes != 0 && block % 2 == 1;
    Sptr<BaseAddress> raw(new BaseAddress(*page));
    raw->setBlockNo(block / planes * units);
    raw->setPageNo(page->getPageNo() * units);
    raw->setSectorNo(page->getSectorNo() + (oddPlane ? geometry->getSectorsPerPage() : 0));
    return raw;
}

int CfgTable::update(schema::UsbDevice* device)
{
    if (!m_variant) {
        return 0;
    }
    for (const Sptr<schema::BaseData>& child : m_children) {
        CPLOG(7, "%s is update...", child->getName());
        if (const int result = child->update(device); result != 0) {
            CPLOG(3, "%s: %s cannot be brought up to date", getName(), child->getName());
            return result;
        }
    }
    return m_buildInfo->update(device);
}

CodeAllocation CfgTable::codeAllocation(schema::UsbDevice* device) const
{
    CodeAllocation a;
    a.addresses = m_currentAddressSet;
    Sptr<AddressFactory> factory = device->getAddress();
    TESSOR_ASSERT(factory);
    a.pagesPerCode = factory->getPagesCountPerCode();
    a.pagesForExternalCode = factory->getPagesCount4ExternalCode();
    a.pagesForDpfCode = factory->getPagesCount4DpfCode();
    a.pagesInBlockSet0 = factory->getPagesCount4BlockSet0();
    // Each copy has photo-frame code pages and page-bitmap pages of its own in its run.
    a.dpfCodeAddress = m_currentAddressSet && m_currentAddressSet->getDpfCodeAddress()
                           ? m_currentAddressSet->getDpfCodeAddress()
                           : factory->getDpfCodeAddress();
    a.pageBitmapAddress = m_currentAddressSet ? m_currentAddressSet->getPageBitmapAddress()
                                              : factory->getPageBitmapAddress();
    a.dpfSupport = schema::UsbConfiguration::instance()->isDpfSupport();
    if (a.dpfSupport && device->getDpfDevice() != nullptr) {
        a.photoCfgTableAddress = device->getDpfDevice()->getDpfAddress(schema::ADDRESS_CFG_TABLE);
    }
    Sptr<PageBitmap> pageBitmap = device->getPageBitmap();
    a.pageBitmapPagesPerBlock = device->getDiskInfo()->getPagesPerBlock();
    a.pageBitmapBlocks = pageBitmap->getLengthOfBlock();
    return a;
}

int CfgTable::finish(schema::UsbDevice* device)
{
    if (!m_variant) {
        CPLOG(3, "%s: no configuration table is laid out for this chip set", getName());
        return -1;
    }
    TESSOR_ASSERT(device != nullptr);
    if (!updateFromConfigData()) {
        return -schema::DeviceCode::NO_USER_SETTING_FILE;
    }
    CfgDeviceView view = CfgDeviceView::of(device);
    view.setList = device->getSetList();
    CPLOG(7, "%s is finish...", m_flash->getName());
    m_flash->finish(view);
    CPLOG(7, "%s is finish...", m_partition->getName());
    const int lunResult = m_partition->finish(device);
    if (m_currentAddressSet) {
        CPLOG(7, "%s is finish...", m_code->getName());
        m_code->finish(view, codeAllocation(device), m_flash->record(), m_buildInfo.get());
    } else {
        CPLOG(4, "%s: no address set is allocated, the code control is left as it is", getName());
    }
    m_buildInfo->finish(view);
    if (schema::UsbConfiguration::instance()->isDpfSupport() && device->getDpfDevice() != nullptr) {
        // A photo-frame area that cannot be laid out refuses its own write,
        // which fails the device with the photo-frame code.
        (void)device->getDpfDevice()->finish(device);
    }
    if (lunResult < 0) {
        CPLOG(3, "LUNs of the run settings do not fit the configuration table of device %s", device->getName());
        return lunResult;
    }
    return 0;
}

int CfgTable::update4Scan(schema::UsbDevice* device, bool flag)
{
    if (!m_variant) {
        return 0;
    }
    if (const int result = update(device); result != 0) {
        return result;
    }
    const CfgDeviceView view = CfgDeviceView::of(device);
    m_flash->update4Scan(view, flag);
    m_code->update4Scan(view, m_flash->record(), flag);
    return m_partition->update4Scan(device, flag);
}

int CfgTable::update4HighFormat(schema::UsbDevice* device)
{
    CPLOG(7, "%s update for High Format", getName());
    return m_partition ? m_partition->update4HighFormat(device) : -1;
}

int CfgTable::sealedImage(std::vector<uint8_t>& image)
{
    Tessor::Threads::Lock guard(m_imageLock);
    image.assign(kImageRoom, 0);
    const int length = serialize(image.data());
    if (length < 0) {
        return -1;
    }
    checkSum(image.data());
    image.resize(length);
    return length;
}

void CfgTable::saveImage(schema::UsbDevice* device, const std::vector<uint8_t>& image)
{
    char fileName[kFileNameMax + 1];
    _USB_DEVICE_T* record = device->getDev();
    if (record != nullptr) {
        std::snprintf(fileName, sizeof fileName, "%d_%s", record->slotIndex, getName());
    } else {
        std::snprintf(fileName, sizeof fileName, "XX_%s", getName());
    }
    CPLOG(7, "File Name :%s", fileName);
    const std::string path = schema::UsbConfiguration::instance()->getOutputPath(fileName);
    // A copy for diagnosis only.
    (void)usbWriteFile(path.c_str(), withoutPassword(image.data(), SECTOR_BYTES).data(), SECTOR_BYTES, 0);
}

void CfgTable::dumpSector(const void* sector, int length, const char* title)
{
    const std::vector<uint8_t> masked = withoutPassword(sector, length);
    SystemInfo::debugBuffer(masked.data(), static_cast<int>(masked.size()), title);
}

std::vector<uint8_t> CfgTable::withoutPassword(const void* sector, int length)
{
    const uint8_t* bytes = static_cast<const uint8_t*>(sector);
    std::vector<uint8_t> masked(bytes, bytes + std::max(length, 0));
    const std::optional<CfgVariant> variant =
        CfgTableLayout::variantOf(schema::UsbConfiguration::instance()->getChipSet());
    if (variant) {
        const CfgTableLayout layout = CfgTableLayout::of(*variant);
        const size_t at = layout.descriptors + offsetof(_CFG_TBL_INFO, password);
        if (layout.descriptorBlock == CfgTableLayout::TBL_INFO && masked.size() >= at + sizeof(_CFG_TBL_INFO::password)) {
            std::memset(masked.data() + at, 0, sizeof(_CFG_TBL_INFO::password));
        }
    }
    return masked;
}

int CfgTable::writeImage(schema::UsbDevice* device, const std::vector<uint8_t>& image)
{
    Sptr<BaseAddress> address = getAddress();
    // Triple-level-cell flash: the partner page first, so the table's own
    // page is programmed after it.
    for (const Sptr<BaseAddress>& page : TlcPages::writeOrder(device, address)) {
        CPLOG(7, "Download Config table %s to Flash at %s", getName(), page->logData());
        if (device->writeFlashSectors(page, 1, image.data()) != 0) {
            CPLOG(3, "Config Table of device %s write to FLASH failed", device->getName());
            debug();
            dumpSector(image.data(), SECTOR_BYTES, "Config Table Raw Data");
            return -1;
        }
    }
    m_written[address->getPhyAddress()] = std::vector<uint8_t>(image.begin(), image.begin() + SECTOR_BYTES);
    return 0;
}

int CfgTable::writeFlash(schema::UsbDevice* device)
{
    std::vector<uint8_t> image;
    if (sealedImage(image) < 0) {
        return -1;
    }
    TESSOR_ASSERT(device != nullptr);
    saveImage(device, image);
    if (m_type != CFG_TABLE_DEVICE) {
        CPLOG(7, "Download Config table %s to RAM", getName());
        return device->writeConfigTable2Ram(image.data()) == 0 ? 0 : -1;
    }
    if (!getAddress()) {
        CPLOG(3, "Address has not allocated for Config Table of device %s which need write to Flash", device->getName());
        return -1;
    }
    return writeImage(device, image);
}

int CfgTable::validateFlash(schema::UsbDevice* device)
{
    std::vector<uint8_t> image;
    if (sealedImage(image) < 0) {
        return -1;
    }
    Sptr<BaseAddress> address = getAddress();
    if (!address) {
        CPLOG(3, "Address has not allocated for Config Table of device %s which need write to Flash", device->getName());
        return -1;
    }
    const unsigned char* read = device->readFlashSectors(address, 1);
    if (read == nullptr) {
        CPLOG(3, "Config Table of device %s read from FLASH failed", device->getName());
        return -1;
    }
    const auto written = m_written.find(address->getPhyAddress());
    const uint8_t* expected = written != m_written.end() ? written->second.data() : image.data();
    if (std::memcmp(read, expected, SECTOR_BYTES) != 0) {
        CPLOG(3, "Config Table of device %s read from FLASH differs from the table written at %s",
              device->getName(), address->logData());
        dumpSector(read, SECTOR_BYTES, "Config Table Read Back");
        return -1;
    }
    CPLOG(5, "Config Table validate OK!");
    return 0;
}

void CfgTable::debug()
{
    SystemInfo::debug("Config Table (%s) Debug Info :\n", getName());
    for (const Sptr<schema::BaseData>& child : m_children) {
        child->debug();
    }
    const InquiryData& inquiry = m_variant == CfgVariant::V6605 ? m_6605.inquiry : m_cfgTblInfo.inquiry;
    SystemInfo::debug("\tInquiryData : Vendor : %.8s\t Product : %.16s\t Version : %.4s\n", inquiry.vendor,
                      inquiry.product, inquiry.revision);
    m_buildInfo->debug();
    SystemInfo::debugOut("Config Table Debug Info :");
}

}  // namespace Tessor::usb
