#include "usb/task/lFormat/TaskLfCfgTable2Flash.h"

#include <set>
#include <utility>

#include "schema/base/Assert.h"
#include "schema/base/DeviceCode.h"
#include "schema/base/Log.h"
#include "schema/base/SystemInfo.h"
#include "schema/base/UsbConfiguration.h"
#include "schema/device/BaseAddress.h"
#include "schema/device/UsbDevice.h"
#include "schema/dpf/DpfDevice.h"
#include "usb/cfg/AllocatAddress.h"
#include "usb/cfg/BuildInfo.h"
#include "usb/cfg/CfgTable.h"
#include "usb/cfg/CfgTableIndex.h"
#include "usb/cfg/CmdExternalCode.h"
#include "usb/cfg/ExternalCodeIndex.h"
#include "usb/cmd/FlagPageBitmap.h"
#include "usb/cmd/IndexTableSet.h"
#include "usb/cmd/PageBitmap.h"
#include "usb/cmd/PlaneLayout.h"
#include "usb/scan/ScanObject.h"
#include "usb/task/lFormat/SystemAreaPass.h"

namespace Tessor::schema {

using usb::PlaneLayout;
using Pass = SystemAreaPass;

namespace {

using Block = std::pair<int, int>;

void addBlock(std::vector<Sptr<BaseAddress>>& out, std::set<Block>& seen, const Sptr<BaseAddress>& address)
{
    if (address && seen.insert({address->getChipNo(), address->getBlockNo()}).second) {
        out.push_back(address);
    }
}

// An address and, for a container, the pages it holds.
void addBlocks(std::vector<Sptr<BaseAddress>>& out, std::set<Block>& seen, const Sptr<BaseAddress>& address)
{
    if (!address) {
        return;
    }
    if (address->getCount() == 0) {
        addBlock(out, seen, address);
    }
    for (int i = 0; i < address->getCount(); ++i) {
        addBlock(out, seen, address->getData(i));
    }
}

}  // namespace

TaskLfCfgTable2Flash::TaskLfCfgTable2Flash(TASK_TYPE_T type, const std::string& name) : BaseTask(type, name)
{
    init();
}

int TaskLfCfgTable2Flash::init()
{
    TESSOR_ASSERT(getType() == TASK_CFG_TABLE_DOWNLOAD);
    return 0;
}

int TaskLfCfgTable2Flash::startup(UsbDevice* device, Sptr<BaseEvent> event)
{
    init();
    TESSOR_ASSERT(device->getCurrentPlaneInfo());
    UsbConfiguration* config = UsbConfiguration::instance();
    usb::ScanObject reload(device, "writeFlash");
    const uint32_t started = SystemInfo::getSystemTick();
    const _FUNCTION_T function = config->getCurrentFunction();
    // A user run that allocated nothing writes back what it erased, at the
    // addresses the device's table gave, as the login run does.
    const bool inPlace = function == FUNCTION_LOGIN || (function == FUNCTION_USER && Pass::setCount(device) == 0);
    // The firmware a block-mode table booted reads raw addresses grouped;
    // the flash-writing firmware puts the pages where they lie, as the low
    // format wrote them.
    if (inPlace && device->getCfgTable()->groupsRawAddresses() &&
        reload.getTable().downloadCode(usb::CMD_EXTERNAL_AS_SCAN_CODE) != 0) {
        CPLOG(3, "Flash-writing firmware of device %s cannot be downloaded", device->getName());
        return Pass::fail(event, DeviceCode::SCAN_CODE_DOWNLOAD_FAILED);
    }

    if (const int result = eraseSystemBlocks(device, event); result != 0) {
        return result;
    }
    device->getCfgTable()->setType(usb::CFG_TABLE_DEVICE);

    if (inPlace) {
        return writeInPlace(device, event);
    }
    for (int i = 0; i < Pass::setCount(device); ++i) {
        if (const int result = writePass(device, event, reload, i); result != 0) {
            return result;
        }
    }
    if (function == FUNCTION_FACTORY) {
        Sptr<usb::IndexTableSet> tables = device->getIndexTableSet();
        if (!tables || tables->writeFlash(device) != 0) {
            CPLOG(3, "Finish Write Index table To Flash Faild");
            return Pass::fail(event, DeviceCode::INDEX_TABLE_FAILED);
        }
        CPLOG(7, "Finish Write Index table To Flash OK");
    }
    Pass::logElapsed("TaskLfCfgTable2Flash", started);
    return 0;
}

int TaskLfCfgTable2Flash::eraseSystemBlocks(UsbDevice* device, const Sptr<BaseEvent>& event)
{
    std::vector<Sptr<BaseAddress>> blocks;
    std::set<Block> seen;
    Sptr<usb::FlagPageBitmap> flag = device->getFlagBitmap();
    addBlock(blocks, seen, flag ? flag->getAddress() : Sptr<BaseAddress>());
    // What is rewritten in place lies where the objects are now.
    addBlock(blocks, seen, device->getCfgTable()->getAddress());
    addBlocks(blocks, seen, device->getExternalCode()->getAddress());
    addBlock(blocks, seen, device->getCfgTable()->getBuildInfo()->getAddress());
    addBlock(blocks, seen, device->getCfgTable()->getExternalCodeIndexAddress());
    // Every copy's pages are programmed once after their block was erased.
    for (int i = 0; i < Pass::setCount(device); ++i) {
        Sptr<usb::AllocatAddress> set = Pass::set(device, i);
        addBlock(blocks, seen, set->getCfgTableAddress());
        addBlocks(blocks, seen, set->getCfgTableIndexAddress());
        addBlocks(blocks, seen, set->getExternalCodeAddress());
        addBlocks(blocks, seen, set->getDpfCodeAddress());
        addBlock(blocks, seen, set->getExternalCodeIndexAddress());
        addBlock(blocks, seen, set->getFlagTableAddress());
        addBlock(blocks, seen, set->getBuildInfoAddress());
    }
    if (blocks.empty()) {
        CPLOG(3, "Erase Flash for Config Table for device %s on block No.%d", device->getName(), -1);
        return Pass::fail(event, DeviceCode::ERASE_FAILED);
    }
    for (const Sptr<BaseAddress>& block : blocks) {
        if (device->eraseOneBlock(block) != 0) {
            CPLOG(3, "Erase Flash for Config Table for device %s on block No.%d", device->getName(),
                block->getBlockNo());
            return Pass::fail(event, DeviceCode::ERASE_FAILED);
        }
        CPLOG(7, "Erase %d:%d block for config table(contained external code and flag table)", block->getChipNo(),
            block->getBlockNo());
    }
    return 0;
}

int TaskLfCfgTable2Flash::writeInPlace(UsbDevice* device, const Sptr<BaseEvent>& event)
{
    Sptr<usb::CfgTable> table = device->getCfgTable();
    if (table->writeFlash(device) != 0) {
        CPLOG(3, "Finish Write CFG table To Flash Faild");
        return Pass::fail(event, DeviceCode::CFG_TABLE_WRITE_FAILED);
    }
    // The 6605's index shares the erased block: it is written back with the code it lists.
    if (Sptr<BaseAddress> at = table->getExternalCodeIndexAddress()) {
        usb::ExternalCodeIndex index;
        Sptr<BaseAddress> code = device->getExternalCode()->getAddress();
        if (!code || index.update(device, *table->getAddress(), *code) != 0) {
            CPLOG(3, "Finish Write External Code To Flash Faild");
            return Pass::fail(event, DeviceCode::EXTERNAL_CODE_WRITE_FAILED);
        }
        (void)index.writeFlash(device, at);  // verified when the set is checked
    }
    if (device->getExternalCode()->writeFlash(device) != 0) {
        CPLOG(3, "Finish Write External Code To Flash Faild");
        return Pass::fail(event, DeviceCode::EXTERNAL_CODE_WRITE_FAILED);
    }
    if (device->getFlagBitmap()->writeFlash(device) != 0) {
        CPLOG(3, "Finish Write Flag Bitmap To Flash Faild");
        return Pass::fail(event, DeviceCode::BAD_BLOCK_TABLE_WRITE_FAILED);
    }
    if (table->getBuildInfo()->writeFlash(device) != 0) {
        CPLOG(4, "BuildInfo Write to Flash Failed");
    }
    CPLOG(7, "Finish Write BuildInfo To Flash OK");
    return 0;
}

int TaskLfCfgTable2Flash::writePass(UsbDevice* device, const Sptr<BaseEvent>& event, usb::ScanObject& reload, int i)
{
    Sptr<usb::AllocatAddress> set = Pass::set(device, i);
    Sptr<usb::CfgTable> table = device->getCfgTable();
    table->setCurrentAddressSet(set);
    if (const int result = Pass::assignAddresses(device, set, event); result != 0) {
        return result;
    }
    if (const int result = Pass::reloadFirmware(reload, usb::CMD_EXTERNAL_AS_SCAN_CODE, event); result != 0) {
        return result;
    }
    table->setType(usb::CFG_TABLE_DEVICE);
    Sptr<usb::CfgTableIndex> index = Pass::indexOfSet(device, set);
    if (index && index->writeFlash(device) != 0) {
        CPLOG(3, "Finish Write CFG table Index To Flash Faild");
        return Pass::fail(event, DeviceCode::CFG_TABLE_INDEX_WRITE_FAILED);
    }
    CPLOG(7, "Update Config Table %s of device %s for %d times", table->getName(), device->getName(), i + 1);
    if (const int result = Pass::finishTable(device, event); result != 0) {
        return result;
    }
    if (table->writeFlash(device) != 0) {
        CPLOG(3, "Finish Write CFG table To Flash Faild");
        return Pass::fail(event, DeviceCode::CFG_TABLE_WRITE_FAILED);
    }
    // The index lists this copy's code pages from its table's block; its
    // write shows only in the check that follows; a fill that fails is logged.
    if (UsbConfiguration::instance()->getChipSet() == CHIPSET_6605 && set->getExternalCodeIndex()) {
        (void)set->getExternalCodeIndex()->update(device, *set->getCfgTableAddress(), *set->getExternalCodeAddress());
        (void)set->getExternalCodeIndex()->writeFlash(device, set->getExternalCodeIndexAddress());
    }
    if (device->getExternalCode()->writeFlash(device) != 0) {
        CPLOG(3, "Finish Write External Code To Flash Faild");
        return Pass::fail(event, DeviceCode::EXTERNAL_CODE_WRITE_FAILED);
    }
    if (UsbConfiguration::instance()->isDpfSupport()) {
        if (!device->getDpfCode() || device->getDpfCode()->writeFlash(device) != 0) {
            CPLOG(3, "Finish Write DPF Code To Flash Faild");
            return Pass::fail(event, DeviceCode::DPF_CODE_WRITE_FAILED);
        }
        // The photo-frame areas are one per device, not per copy: programmed once.
        if (i == 0 && (device->getDpfDevice() == nullptr || device->getDpfDevice()->writeFlash(device) != 0)) {
            CPLOG(3, "Finish Write DPF Data To Flash Faild");
            return Pass::fail(event, DeviceCode::DPF_DATA_WRITE_FAILED);
        }
    }
    const bool singlePlane = PlaneLayout::isSinglePlane(device);
    if (singlePlane && device->getFlagBitmap()->writeFlash(device) != 0) {
        CPLOG(3, "Finish Write Flag Bitmap To Flash Faild");
        return Pass::fail(event, DeviceCode::BAD_BLOCK_TABLE_WRITE_FAILED);
    }
    if (table->getBuildInfo()->writeFlash(device) != 0) {
        CPLOG(4, "BuildInfo Write to Flash Failed");
    }
    if (PlaneLayout::isBlockModeMultiPlane(device)) {
        if (const int result = Pass::reloadFirmware(reload, usb::CMD_SCAN_CODE, event); result != 0) {
            return result;
        }
    }
    if (singlePlane && device->getPageBitmap()->writeFlash(device) != 0) {
        CPLOG(3, "Finish Write Page BitMap To Flash Faild");
        return Pass::fail(event, DeviceCode::BAD_BLOCK_TABLE_WRITE_FAILED);
    }
    CPLOG(7, "Finish Write BuildInfo To Flash OK");
    return 0;
}

}  // namespace Tessor::schema
