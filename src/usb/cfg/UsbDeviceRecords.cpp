#include "usb/cfg/UsbDeviceRecords.h"

#include <cstring>
#include <string>

#include "schema/base/Assert.h"
#include "schema/base/Log.h"
#include "schema/base/UsbConfiguration.h"
#include "schema/device/BaseAddress.h"
#include "schema/device/ConfigInfo.h"
#include "schema/device/DiskInfo.h"
#include "schema/device/UsbDevice.h"
#include "usb/cfg/AddressFactory.h"
#include "usb/cfg/AllocatAddress.h"
#include "usb/cfg/CfgPartition.h"
#include "usb/cfg/CfgTable.h"
#include "usb/cfg/CfgTableIndex.h"
#include "usb/cfg/CmdExternalCode.h"
#include "usb/cmd/FlagPageBitmap.h"
#include "usb/cmd/PageBitmap.h"
#include "usb/profile/FlashInfo.h"

namespace Tessor::usb {

using schema::BaseAddress;
using schema::UsbConfiguration;

void UsbDeviceRecords::renew(schema::UsbDevice& device) const
{
    device.setExternalCode(Sptr<CmdExternalCode>(new CmdExternalCode("ExternalCode", CODE_TYPE_FLASH)));
    if (UsbConfiguration::instance()->isDpfSupport()) {
        device.setDpfCode(Sptr<CmdExternalCode>(new CmdExternalCode("DpfCode", CODE_TYPE_DPF)));
    }
    device.setCfgTable(Sptr<CfgTable>(new CfgTable(&device, "ConfigTable", CFG_TABLE_DEVICE)));
    device.setAddressFactory(Sptr<AddressFactory>(new AddressFactory(&device)));
}

Sptr<AllocatAddress> UsbDeviceRecords::newAllocation() const { return Sptr<AllocatAddress>(new AllocatAddress()); }

schema::DeviceRecords::FlashShape UsbDeviceRecords::shapeOf(const FlashInfo& flash) const
{
    return {flash.getDiskInfo(), flash.getChipInfo()->maxIntlvNum + 1, flash.getChipInfo()->maxPlaneNum + 1};
}

bool UsbDeviceRecords::tableDisk(const CfgTable& table, Sptr<schema::DiskInfo>& disk) const
{
    // A chip set without a table layout has no flash record to take from.
    if (!table.getFlashCtrl()) {
        return false;
    }
    disk = table.getFlashCtrl()->getDiskInfo();
    return true;
}

int UsbDeviceRecords::takeSettings(schema::UsbDevice& device, const schema::ConfigInfo& settings) const
{
    Sptr<CfgTable> table = device.getCfgTable();
    if (!table->getPartitionCtrl()) {
        return 0;
    }
    if (UsbConfiguration::instance()->getCurrentFunction() == schema::FUNCTION_USER) {
        CPLOG(7, "update LUN info");
        return table->getPartitionCtrl()->finish(&device);
    }
    std::string password = settings.getNewPassword().substr(0, schema::UsbDevice::PASSWORD_MAX);
    char* tablePassword = table->getCfgTblInfo()->password;
    // Both fields are cleared first, so a shorter password leaves nothing of
    // the previous one behind.
    table->getBuildInfo()->setPassword(password);
    std::memset(tablePassword, 0, sizeof table->getCfgTblInfo()->password);
    std::memcpy(tablePassword, password.data(), password.size());
    return 0;
}

void UsbDeviceRecords::takeMp3(CfgTable& table, const Sptr<schema::Mp3Config>& config) const
{
    table.setMp3CfgTable(config);
}

void UsbDeviceRecords::bindAddresses(schema::UsbDevice& device, AddressFactory& factory) const
{
    Sptr<PageBitmap> pages = device.getPageBitmap();
    pages->setAddress(factory.getPageBitmapAddress());
    Sptr<FlagPageBitmap> flags(new FlagPageBitmap(pages));
    device.setFlagBitmap(flags);
    flags->setAddress(factory.getFlagTableAddress());
    device.getExternalCode()->setAddress(factory.getExternalCodeAddress());
    Sptr<CmdExternalCode> dpfCode = device.getDpfCode();
    if (UsbConfiguration::instance()->isDpfSupport() && dpfCode) {
        dpfCode->setAddress(factory.getDpfCodeAddress());
    }
    Sptr<CfgTable> table = device.getCfgTable();
    table->setAddress(factory.getCfgTableAddress());
    Sptr<CfgTableIndex> index(new CfgTableIndex(&device));
    device.setCfgTableIndex(index);
    Sptr<BaseAddress> indexAddress = factory.getCfgTableIndexAddress();
    index->setAddress(indexAddress);
    CPLOG(7, "CfgTableIndex at %s", indexAddress ? indexAddress->logData() : "");
    Sptr<BaseAddress> buildInfoAddress = factory.getBuildInfoAddress();
    table->getBuildInfo()->setAddress(buildInfoAddress);
    CPLOG(7, "BuildInfo at %s", buildInfoAddress ? buildInfoAddress->logData() : "");
}

void UsbDeviceRecords::logSector(const void* sector, int length, const char* title) const
{
    CfgTable::dumpSector(sector, length, title);
}

}  // namespace Tessor::usb
