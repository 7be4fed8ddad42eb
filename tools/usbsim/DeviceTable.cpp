#include "DeviceTable.h"

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <cstdlib>
#include <memory>

#include "platform/orrin/Orrin.h"
#include "platform/taval/DeviceDescription.h"
#include "platform/taval/Hub.h"
#include "platform/taval/PrintableText.h"
#include "schema/base/UsbConfiguration.h"
#include "schema/device/BaseAddress.h"
#include "schema/device/ConfigInfo.h"
#include "schema/device/PartInfo.h"
#include "schema/device/ScanConfig.h"
#include "schema/device/UsbDevice.h"
#include "usb/cfg/CfgTable.h"
#include "usb/cfg/CodeCtrlLayout.h"
#include "usb/ops/UsbProduction.h"
#include "usb/profile/FlashInfo.h"

namespace {

using namespace Tessor;
using schema::BaseAddress;

// The table on page 1 of block 1, its flag table on page 2 and the build
// information on page 3, as a low format could have placed them.
constexpr int kTableBlock = 1;
constexpr int kTablePage = 1;
constexpr int kFlagPage = 2;
constexpr int kBuildPage = 3;

int takePlugIn(DEVICE_INIT_T* init, DEVICE_EVENT_T* event)
{
    if (event->kind == HW_EVT_PLUG_IN) {
        static_cast<std::atomic<_USB_DEVICE_T*>*>(init->context)->store(event->device);
    }
    shared_free(event);
    return 0;
}

// The flash as identification describes it.
Sptr<usb::FlashInfo> flashOf(const taval::DeviceDescription& d)
{
    const taval::Geometry& g = d.geometry;
    Sptr<usb::FlashInfo> flash(new usb::FlashInfo());
    flash->setChipsPerDisk(g.chips);
    usb::_FLASH_CHIP_INFO& chip = *flash->getChipInfo();
    chip.ID = static_cast<int32_t>(uint32_t(d.idBytes[0]) << 24 | uint32_t(d.idBytes[1]) << 16 |
                                   uint32_t(d.idBytes[2]) << 8 | d.idBytes[3]);
    chip.BusWidth = 8;
    chip.BlockPerChip = g.blocksPerChip;
    chip.PagePerBlock = g.pagesPerBlock;
    chip.SectorPerPage = g.sectorsPerPage;
    chip.SectorsPerBlock = g.pagesPerBlock * g.sectorsPerPage;
    chip.TLC = g.isTlc() ? 1 : 0;
    chip.RealPagePerBlock = g.realPagesPerBlock != 0 ? g.realPagesPerBlock : g.pagesPerBlock;
    chip.maxPlaneNum = d.maxPlaneNum;
    chip.maxIntlvNum = d.maxIntlvNum;
    return flash;
}

Sptr<schema::ConfigInfo> settingsOf(const taval::DeviceDescription& d, std::vector<TableLun> luns)
{
    const uint32_t disk = static_cast<uint32_t>(std::min<int64_t>(d.logicalSectors, UINT32_MAX));
    if (luns.empty()) {
        luns.push_back({disk, false, false});
    }
    Sptr<schema::ConfigInfo> run(new schema::ConfigInfo());
    run->setScanConfig(Sptr<schema::ScanConfig>(new schema::ScanConfig(nullptr, "ScanConfig")));
    run->setVendorString("Generic");
    run->setProductString(d.driveText);
    run->setSnMode(schema::SN_MODE_FIXED);
    run->setSerialNoLabel("SIM");
    run->setSerialNoStart(1);
    run->setRealCapacity(disk);
    uint64_t total = 0;
    for (const TableLun& lun : luns) {
        Sptr<schema::PartInfo> part(new schema::PartInfo(static_cast<int>(lun.sectors)));
        part->setHide(lun.hidden);
        part->setWriteProtected(lun.writeProtected);
        run->addPartInfo(part);
        total += lun.sectors;
    }
    run->setConfigCapacity(static_cast<int64_t>(total));
    return run;
}

// One port of a library of our own, with the device plugged into it.
class Station {
public:
    explicit Station(const std::string& folder)
    {
        m_init.deviceCount = 1;
        m_init.callback = takePlugIn;
        m_init.context = &m_record;
        if (initDevices(&m_mgr, &m_init) != 0) {
            m_error = "the device library does not start";
            return;
        }
        taval::Hub* hub = taval::Hub::of(&m_mgr);
        if (hub->plug(0, folder, &m_error) != 0) {
            return;
        }
        hub->waitEventsDelivered();
        if (m_record.load() == nullptr) {
            m_error = "the device was not reported plugged";
        }
    }
    ~Station() { destoryDevices(&m_mgr); }
    Station(const Station&) = delete;
    Station& operator=(const Station&) = delete;

    _USB_DEVICE_T* record() const { return m_record.load(); }
    const std::string& error() const { return m_error; }

private:
    DEVICE_MGR_T m_mgr{};
    DEVICE_INIT_T m_init{};
    std::atomic<_USB_DEVICE_T*> m_record{nullptr};
    std::string m_error;
};

// The table is built as the factory function builds it.
class FactoryFunction {
public:
    FactoryFunction() : m_was(schema::UsbConfiguration::instance()->getCurrentFunction())
    {
        schema::UsbConfiguration::instance()->setCurrentFunction(schema::FUNCTION_FACTORY);
    }
    ~FactoryFunction() { schema::UsbConfiguration::instance()->setCurrentFunction(m_was); }
    FactoryFunction(const FactoryFunction&) = delete;
    FactoryFunction& operator=(const FactoryFunction&) = delete;

private:
    schema::_FUNCTION_T m_was;
};

bool fail(std::string* error, const std::string& message)
{
    *error = message;
    return false;
}

}  // namespace

bool parseTableLun(const std::string& text, TableLun* lun, std::string* error)
{
    size_t at = text.find(':');
    const std::string number = text.substr(0, at);
    char* end = nullptr;
    const unsigned long long sectors = std::strtoull(number.c_str(), &end, 10);
    if (number.empty() || *end != '\0' || sectors == 0 || sectors > INT32_MAX) {
        return fail(error, "unit '" + taval::printableText(text) + "' needs a sector count 1.." +
                               std::to_string(INT32_MAX));
    }
    *lun = TableLun{static_cast<uint32_t>(sectors), false, false};
    while (at != std::string::npos) {
        const size_t next = text.find(':', at + 1);
        const std::string flag = text.substr(at + 1, next == std::string::npos ? std::string::npos : next - at - 1);
        if (flag == "hidden") {
            lun->hidden = true;
        } else if (flag == "protected") {
            lun->writeProtected = true;
        } else {
            return fail(error, "unit '" + taval::printableText(text) + "': '" + taval::printableText(flag) +
                                   "' is neither hidden nor protected");
        }
        at = next;
    }
    return true;
}

bool writeDeviceTable(const std::string& folder, const std::vector<TableLun>& luns, std::string* error)
{
    taval::DeviceDescription description;
    if (!taval::DeviceDescription::load(folder, &description, error)) {
        return false;
    }
    uint64_t total = 0;
    for (const TableLun& lun : luns) {
        total += lun.sectors;
    }
    if (luns.size() > 4 || total > uint64_t(description.logicalSectors)) {
        return fail(error, "a table holds at most 4 units within the " + std::to_string(description.logicalSectors) +
                               " sectors of the logical disk");
    }
    schema::UsbConfiguration* config = schema::UsbConfiguration::instance();
    config->setChipSet(description.variant->id.name);
    const FactoryFunction factory;
    Station station(folder);
    if (station.record() == nullptr) {
        return fail(error, station.error());
    }
    Tessor::usb::installUsbProduction();
    const auto device = std::make_unique<schema::UsbDevice>(nullptr, 0, "UDISK-0");
    device->setDev(station.record());
    device->setFlashInfo(flashOf(description));
    if (device->setConfigInfo(settingsOf(description, luns)) != 0) {
        return fail(error, "the units cannot be taken as settings");
    }

    Sptr<usb::CfgTable> table(new usb::CfgTable(device.get(), "ConfigTable", usb::CFG_TABLE_DEVICE));
    device->setCfgTable(table);
    (void)table->update4Scan(device.get(), true);  // the finish below reports a table that does not fit
    if (table->finish(device.get()) != 0) {
        return fail(error, "the units cannot be laid out in a table");
    }
    usb::CodeCtrl& code = table->getCodeCtrl()->record();
    code.wCfgTblBlkAddr = kTableBlock;
    code.bCfgTblPage = kTablePage;
    code.bFlagTblPage = kFlagPage;
    // As a low format leaves them: block set 0 of whole pages, whose sectors
    // per page the code a user run writes back takes, and after the build
    // information as many code pages as the record lists.
    const int sectorsPerPage = description.geometry.sectorsPerPage;
    code.bBlockSetNum = 1;
    code.bSetSectorsPerPage[0] = static_cast<uint8_t>(sectorsPerPage);
    code.bSetStartSector[0] = 0;
    table->getFlashCtrl()->record().bBlockSetSectorsPerPage[0] = static_cast<uint8_t>(sectorsPerPage);
    std::fill(code.wExtCodePage, code.wExtCodePage + usb::CodeCtrl::kExtCodePages, 0xFFFF);
    const int codePages = table->getVariant() ? usb::CodeCtrlLayout::codePageEntries(*table->getVariant()) : 0;
    for (int i = 0; i < codePages; ++i) {
        code.wExtCodePage[i] = static_cast<uint16_t>(kBuildPage + 1 + i);
    }
    table->setAddress(Sptr<BaseAddress>(new BaseAddress(device.get(), kTableBlock, kTablePage, 0)));
    table->getBuildInfo()->setAddress(Sptr<BaseAddress>(new BaseAddress(device.get(), kTableBlock, kBuildPage, 0)));
    if (table->getBuildInfo()->writeFlash(device.get()) != 0 || table->writeFlash(device.get()) != 0 ||
        table->validateFlash(device.get()) != 0) {
        return fail(error, "the table could not be written to the flash of " + taval::printableText(folder));
    }
    return true;
}
