// The configuration table's link with the run settings: serial number,
// password, USB ids and strings, inquiry data and firmware revision, and the
// settings rebuilt from a table read back from a device.
#include <algorithm>
#include <climits>
#include <cstdint>
#include <cstdio>
#include <cstring>

#include "platform/orrin/ByteOrder.h"
#include "platform/taval/Taval.h"
#include "schema/base/Assert.h"
#include "schema/base/Log.h"
#include "schema/base/SystemInfo.h"
#include "schema/device/UsbDevice.h"
#include "usb/cfg/CfgTable.h"
#include "usb/profile/uniSerialNO.h"

namespace Tessor::usb {

using schema::ConfigInfo;
using schema::PartInfo;

namespace {

constexpr int kLabelChars = 10;
constexpr int kPartitions = 4;
constexpr uint8_t kFixedLength = 0x22;

const uint8_t kInquiryDefault[36] = {0x00, 0x80, 0x02, 0x02, 0x1F, 0x00, 0x00, 0x00, 'G', 'e', 'n', 'e',
                                     'r',  'i',  'c',  ' ',  'F',  'l',  'a',  's',  'h', ' ', 'M', 'P',
                                     '3',  ' ',  ' ',  '2',  '.',  '0',  ' ',  ' ',  '6', '.', '0', '0'};

// Copies at most `max` characters of `text` into a field cleared first.
int copyText(char* field, size_t size, const std::string& text, size_t max)
{
    std::memset(field, 0, size);
    const size_t n = std::min({text.size(), max, size});
    std::memcpy(field, text.data(), n);
    return static_cast<int>(n);
}

template <class Form>
int encode(Form* form, const char* text)
{
    const int n = static_cast<int>(strnlen(text, Form::kChars));
    std::memset(form->text, 0, sizeof form->text);
    for (int i = 0; i < n; ++i) {
        form->text[2 * i] = static_cast<uint8_t>(text[i]);
    }
    form->bLength = Form::kFixedLength ? kFixedLength : static_cast<uint8_t>(2 * n);
    return n;
}

template <class Form>
int decode(const Form* form, char* text)
{
    std::memset(text, 0, Form::kChars + 1);
    for (int i = 0; i < form->bLength && i / 2 < Form::kChars; i += 2) {
        text[i / 2] = static_cast<char>(form->text[i]);
    }
    return form->bLength;
}

void setIds(DeviceDescriptor& d, int vendor, int product)
{
    d.idVendor[0] = static_cast<uint8_t>(vendor);
    d.idVendor[1] = static_cast<uint8_t>(vendor >> 8);
    d.idProduct[0] = static_cast<uint8_t>(product);
    d.idProduct[1] = static_cast<uint8_t>(product >> 8);
}

int vendorOf(const DeviceDescriptor& d) { return fieldAt<Le16>(d.idVendor); }
int productOf(const DeviceDescriptor& d) { return fieldAt<Le16>(d.idProduct); }

struct Revision {
    CfgVariant variant;
    const char* text;
    int firmware;
};

constexpr Revision kRevisions[] = {
    {CfgVariant::V6706, "2.40", 240},    {CfgVariant::V6716, "3.00", 300}, {CfgVariant::V6716V31, "3.10", 310},
    {CfgVariant::V6716V32, "3.20", 320}, {CfgVariant::V6726, "4.00", 400}, {CfgVariant::V6605, "6.00", 600},
};

const Revision* revisionOf(std::optional<CfgVariant> variant)
{
    for (const Revision& r : kRevisions) {
        if (variant == r.variant) {
            return &r;
        }
    }
    return nullptr;
}

// The device's firmware version number; the variant's while none was read.
int firmwareOf(schema::UsbDevice* device, std::optional<CfgVariant> variant)
{
    if (device != nullptr && device->getVersion()) {
        return device->getVersion()->getVersionNumber();
    }
    const Revision* r = revisionOf(variant);
    return r != nullptr ? r->firmware : 0;
}

}  // namespace

int CfgTable::encodeStringDescritor(__STRING_DESCRIPTOR* form, const char* text) { return encode(form, text); }
int CfgTable::encodeStringDescritor(_USB_STRING_PRODUCT* form, const char* text) { return encode(form, text); }
int CfgTable::encodeStringDescritor(_USB_STRING_MANUFACT* form, const char* text) { return encode(form, text); }
int CfgTable::encodeStringDescritor(_USB_STRING_SERIAL* form, const char* text) { return encode(form, text); }
int CfgTable::decodeStringDescritor(const __STRING_DESCRIPTOR* form, char* text) { return decode(form, text); }
int CfgTable::decodeStringDescritor(const _USB_STRING_PRODUCT* form, char* text) { return decode(form, text); }
int CfgTable::decodeStringDescritor(const _USB_STRING_MANUFACT* form, char* text) { return decode(form, text); }
int CfgTable::decodeStringDescritor(const _USB_STRING_SERIAL* form, char* text) { return decode(form, text); }

std::string CfgTable::autoSerialNumber(const schema::SystemClock& clock)
{
    char text[40];
    std::snprintf(text, sizeof text, "%04d%02d%02d%02d%02d%04d", clock.year, clock.month, clock.day, clock.hour,
                  clock.minute, clock.milliseconds);
    return std::string(text).substr(0, 16);
}

void CfgTable::setFirmwareVersoin()
{
    const Revision* r = revisionOf(m_variant);
    if (r == nullptr) {
        return;
    }
    switch (CfgTableLayout::of(*m_variant).descriptorBlock) {
    case CfgTableLayout::TBL_INFO: std::memcpy(m_cfgTblInfo.inquiry.revision, r->text, 4); break;
    case CfgTableLayout::INFO_V31:
        if (*m_variant == CfgVariant::V6716V31) {
            CPLOG(7, "version for 6716V31");
        }
        std::memcpy(m_v31.inquiry.revision, r->text, 4);
        break;
    case CfgTableLayout::INFO_6605: std::memcpy(m_6605.inquiry.revision, r->text, 4); break;
    }
}

bool CfgTable::takeSerialNumber(const ConfigInfo& settings)
{
    char* field = m_cfgTblInfo.serialNumber;
    const size_t size = sizeof m_cfgTblInfo.serialNumber;
    Sptr<schema::SystemClock> clock = schema::SystemInfo::getSystemClock4SN();
    const std::string label = settings.getSerialNoLabel().substr(0, kLabelChars);
    switch (settings.getSnMode()) {
    case schema::SN_MODE_AUTO:
        CPLOG(7, "Auto Serial Number");
        copyText(field, size, autoSerialNumber(*clock), size - 1);
        break;
    case schema::SN_MODE_FIXED: {
        CPLOG(7, "Fixed Serial Number");
        char start[9];
        hexInt2String(start, settings.getSerialNoStart());
        copyText(field, size, label + start, size);
        break;
    }
    case schema::SN_MODE_INCREMENT:
        // One counter value per table, however often it is finished.
        if (m_firstSerial != 0) {
            CPLOG(7, "Increcement Serial Number");
            uint32_t taken = 0;
            switch (schema::uniSerialNO::instance()->takeSerialNO(&taken)) {
            case schema::uniSerialNO::Taken::NEW: break;
            case schema::uniSerialNO::Taken::USED_UP:
                CPLOG(3, "Serial numbers are used up: %u is handed out again", taken);
                break;
            case schema::uniSerialNO::Taken::NOT_KEPT:
                // A number the next run could hand out again never reaches
                // the device; the next fill asks again.
                std::memset(field, 0, size);
                return false;
            }
            char number[16];
            std::snprintf(number, sizeof number, "%08u", taken);
            copyText(field, size, label + number, size);
            m_firstSerial = 0;
        }
        break;
    default:
        CPLOG(4, "Serial Mode Failed");
        std::memset(field, 0, size);
        break;
    }
    return true;
}

void CfgTable::takePassword(ConfigInfo& settings)
{
    for (int i = 0; i < kPartitions; ++i) {
        Sptr<PartInfo> part = settings.getPartInfo(i);
        if (!part || !part->getIsEncrypted()) {
            continue;
        }
        const int firmware = firmwareOf(getDevice(), m_variant);
        if (firmware == 310 || firmware == 320) {
            m_buildInfo->setPassword(settings.getPassword());
        } else {
            copyText(m_cfgTblInfo.password, sizeof m_cfgTblInfo.password, settings.getPassword(), kPasswordChars);
        }
        break;
    }
    CPLOG(7, "update password from Cfg");
}

void CfgTable::takeInquiry(const ConfigInfo& settings, InquiryData& inquiry)
{
    std::memcpy(&inquiry, kInquiryDefault, sizeof inquiry);
    const int vendor =
        copyText(inquiry.vendor, sizeof inquiry.vendor, settings.getVendorString(), InquiryData::kVendorChars);
    CPLOG(7, "VendorString : %s(%d)", settings.getVendorString().c_str(), vendor);
    const int product =
        copyText(inquiry.product, sizeof inquiry.product, settings.getProductString(), InquiryData::kProductChars);
    CPLOG(7, "ProductString : %s(%d)", settings.getProductString().c_str(), product);
}

bool CfgTable::updateFromConfigData()
{
    schema::UsbDevice* device = getDevice();
    TESSOR_ASSERT(device != nullptr);
    Sptr<ConfigInfo> settings = device->getConfigInfo();
    TESSOR_ASSERT(settings);
    if (!takeSerialNumber(*settings)) {
        return false;
    }
    takePassword(*settings);

    const int vendor = settings->getVendorCode() & 0xFFFF;
    const int product = settings->getProductCode() & 0xFFFF;
    setIds(m_cfgTblInfo.device, vendor, product);
    setIds(m_cfgTblInfo.device2, vendor, product);
    setIds(m_v31.device, vendor, product);
    setIds(m_6605.device, vendor, product);

    const char* vendorText = settings->getVendorString().c_str();
    const char* productText = settings->getProductString().c_str();
    const char* serialText = m_cfgTblInfo.serialNumber;
    encodeStringDescritor(&m_cfgTblInfo.manufacturer, vendorText);
    encodeStringDescritor(&m_cfgTblInfo.product, productText);
    encodeStringDescritor(&m_cfgTblInfo.serial, serialText);
    for (CFG_INFO_V31* block : {&m_v31, &m_6605}) {
        encodeStringDescritor(&block->manufacturer, vendorText);
        encodeStringDescritor(&block->product, productText);
        encodeStringDescritor(&block->serial, serialText);
    }

    for (InquiryData* inquiry : {&m_cfgTblInfo.inquiry, &m_v31.inquiry, &m_6605.inquiry}) {
        takeInquiry(*settings, *inquiry);
    }
    setFirmwareVersoin();

    Sptr<PartInfo> first = settings->getPartInfo(0);
    const int diskType = first ? first->getDiskType() : schema::DISK_LOCAL;
    for (InquiryData* inquiry : {&m_cfgTblInfo.inquiry, &m_v31.inquiry, &m_6605.inquiry}) {
        inquiry->deviceType = diskType == schema::DISK_CDROM ? 0x05 : 0x00;
        inquiry->removable = diskType == schema::DISK_LOCAL ? 0x00 : 0x80;
    }
    return true;
}

void CfgTable::updateConfigData()
{
    schema::UsbDevice* device = getDevice();
    TESSOR_ASSERT(device != nullptr);
    Sptr<ConfigInfo> settings(new ConfigInfo());
    char text[InquiryData::kProductChars + 2];
    const int firmware = firmwareOf(device, m_variant);
    const CFG_INFO_V31* block = firmware == 600 ? &m_6605 : &m_v31;
    if (firmware == 240 || firmware == 300) {
        const _CFG_TBL_INFO& t = m_cfgTblInfo;
        settings->setSerialNoLabel(std::string(t.serialNumber, strnlen(t.serialNumber, sizeof t.serialNumber)));
        settings->setVendorCode(vendorOf(t.device));
        settings->setProductCode(productOf(t.device));
        decodeStringDescritor(&t.manufacturer, text);
        settings->setVendorString(text);
        decodeStringDescritor(&t.product, text);
        settings->setProductString(text);
    } else if (firmware == 310 || firmware == 320 || firmware == 400 || firmware == 600) {
        settings->setVendorCode(vendorOf(block->device));
        settings->setProductCode(productOf(block->device));
        decodeStringDescritor(&block->manufacturer, text);
        settings->setVendorString(text);
        decodeStringDescritor(&block->product, text);
        settings->setProductString(text);
        decodeStringDescritor(&block->serial, text);
        settings->setSerialNoLabel(text);
    } else {
        CPLOG(7, "unknown hw version when update config info");
    }
    const char* password = m_buildInfo->getPassword();
    settings->setPassword(std::string(password, strnlen(password, BuildInfo::kPasswordSize)));
    CPLOG(7, "After reversalSerialized : product : %s;\tVendor : %s", settings->getProductString().c_str(),
          settings->getVendorString().c_str());

    settings->clearData();
    // The units' sizes are the device's word: their sum may pass an int.
    int64_t capacity = 0;
    for (const Sptr<PartInfo>& part : m_partition->getPartitions()) {
        settings->addPartInfo(part);
        capacity += part->getCapacity();
    }
    const int total = static_cast<int>(std::min<int64_t>(capacity, INT_MAX));
    settings->setRealCapacity(total);
    settings->setConfigCapacity(total);
    (void)device->setConfigInfo(settings);  // the settings read back are installed as they are
}

}  // namespace Tessor::usb
