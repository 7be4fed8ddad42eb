#include "usb/task/lFormat/TaskLfValidateFlashData.h"

#include "schema/base/Assert.h"
#include "schema/base/DeviceCode.h"
#include "schema/base/Log.h"
#include "schema/base/SystemInfo.h"
#include "schema/base/UsbConfiguration.h"
#include "schema/device/UsbDevice.h"
#include "schema/state/BaseState.h"
#include "schema/state/DeviceStateType.h"
#include "usb/cfg/AllocatAddress.h"
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

bool inHighFormat(UsbDevice* device)
{
    Sptr<BaseState> state = device->getState();
    return state && state->getStateType() == STATE_HIGH_FORMAT;
}

}  // namespace

TaskLfValidateFlashData::TaskLfValidateFlashData(TASK_TYPE_T type, const std::string& name) : BaseTask(type, name)
{
    init();
}

int TaskLfValidateFlashData::init()
{
    TESSOR_ASSERT(getType() == TASK_VALIDATE_DATA);
    return 0;
}

int TaskLfValidateFlashData::startup(UsbDevice* device, Sptr<BaseEvent> event)
{
    init();
    TESSOR_ASSERT(device->getCurrentPlaneInfo());
    TESSOR_ASSERT(device->getAllocatAddress());
    usb::ScanObject reload(device, "writeFlash");
    CPLOG(7, "Low Level format : validate data that wrote to Flash");
    const uint32_t started = SystemInfo::getSystemTick();
    for (int i = 0; i < Pass::setCount(device); ++i) {
        if (const int result = checkPass(device, event, reload, i); result != 0) {
            return result;
        }
    }
    if (PlaneLayout::isBlockModeMultiPlane(device)) {
        if (const int result = Pass::finishTable(device, event); result != 0) {
            return result;
        }
    }
    Pass::logElapsed("TaskLfValidateFlashData", started);
    return 0;
}

int TaskLfValidateFlashData::checkPass(UsbDevice* device, const Sptr<BaseEvent>& event, usb::ScanObject& reload,
    int i)
{
    Sptr<usb::AllocatAddress> set = Pass::set(device, i);
    if (const int result = Pass::assignAddresses(device, set, event); result != 0) {
        return result;
    }
    Sptr<usb::CfgTable> table = device->getCfgTable();
    if (const int result = Pass::reloadFirmware(reload, usb::CMD_EXTERNAL_AS_SCAN_CODE, event); result != 0) {
        return result;
    }
    CPLOG(7, "Update Config Table %s of device %s", table->getName(), device->getName());
    if (const int result = Pass::finishTable(device, event); result != 0) {
        return result;
    }
    Sptr<usb::CfgTableIndex> index = Pass::indexOfSet(device, set);
    if (index) {
        if (index->update(device) != 0 || index->validateFlash(device) != 0) {
            return Pass::fail(event, DeviceCode::CFG_TABLE_INDEX_WRITE_FAILED);
        }
    }
    const bool highFormat = inHighFormat(device);
    if (!highFormat && table->validateFlash(device) != 0) {
        return Pass::fail(event, DeviceCode::CFG_TABLE_WRITE_FAILED);
    }
    Sptr<usb::ExternalCodeIndex> codeIndex = set->getExternalCodeIndex();
    if (UsbConfiguration::instance()->getChipSet() == CHIPSET_6605 &&
        (!codeIndex || codeIndex->validateFlash(device, set->getExternalCodeIndexAddress()) != 0)) {
        return Pass::fail(event, DeviceCode::EXTERNAL_CODE_WRITE_FAILED);
    }
    if (device->getExternalCode()->validateFlash(device) != 0) {
        return Pass::fail(event, DeviceCode::EXTERNAL_CODE_WRITE_FAILED);
    }
    if (UsbConfiguration::instance()->isDpfSupport() &&
        (!device->getDpfCode() || device->getDpfCode()->validateFlash(device) != 0)) {
        CPLOG(3, "Finish Write DPF Code To Flash Faild");
        return Pass::fail(event, DeviceCode::DPF_CODE_WRITE_FAILED);
    }
    const bool singlePlane = PlaneLayout::isSinglePlane(device);
    if (singlePlane && device->getFlagBitmap()->validateFlash(device) != 0) {
        return Pass::fail(event, DeviceCode::BAD_BLOCK_TABLE_WRITE_FAILED);
    }
    if (PlaneLayout::isBlockModeMultiPlane(device)) {
        if (const int result = Pass::reloadFirmware(reload, usb::CMD_SCAN_CODE, event); result != 0) {
            return result;
        }
    }
    if (!highFormat) {
        Sptr<usb::IndexTableSet> tables = device->getIndexTableSet();
        if (singlePlane && device->getPageBitmap()->validateFlash(device) != 0) {
            return Pass::fail(event, DeviceCode::BAD_BLOCK_TABLE_WRITE_FAILED);
        }
        if (!tables || tables->validateFlash(device) != 0) {
            return Pass::fail(event, DeviceCode::INDEX_TABLE_FAILED);
        }
    }
    return 0;
}

}  // namespace Tessor::schema
