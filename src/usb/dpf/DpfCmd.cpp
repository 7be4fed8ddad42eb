#include "usb/dpf/DpfCmd.h"

#include "schema/base/Assert.h"
#include "schema/base/Log.h"
#include "schema/device/BaseAddress.h"
#include "schema/device/UsbDevice.h"
#include "usb/dpf/AreaWriter.h"

namespace Tessor::usb {

using schema::BaseAddress;

DpfCmd::DpfCmd(schema::UsbDevice* device, const std::string& name, schema::PHOTO_ADDRESS_T type)
    : BaseCmdData(device, name), m_type(type)
{
    init();
}

DpfCmd::DpfCmd(schema::UsbDevice* device, const unsigned char* /*raw*/, schema::PHOTO_ADDRESS_T type)
    : DpfCmd(device, "DpfCmd", type)
{
}

int DpfCmd::myInit()
{
    m_dpfDevice = m_device != nullptr ? m_device->getDpfDevice() : nullptr;
    return 0;
}

Sptr<BaseAddress> DpfCmd::getAreaBlock(int n)
{
    Sptr<BaseAddress> area = getAddress();
    if (!area) {
        return Sptr<BaseAddress>();
    }
    Sptr<BaseData> child = area->getData(n);
    Sptr<BaseAddress> block = child;
    TESSOR_ASSERT(!child || block);
    return block;
}

int DpfCmd::getAreaBlocks()
{
    Sptr<BaseAddress> area = getAddress();
    return area ? area->getCount() : 0;
}

int DpfCmd::writeFlash(schema::UsbDevice* device)
{
    Sptr<BaseAddress> block = getAreaBlock(0);
    if (!block) {
        CPLOG(3, "Address has not allocated for %s of device %s which need write to Flash", getName(),
              device->getName());
        return -1;
    }
    CPLOG(7, "Download DPF Data %s to Flash at %s", getName(), block->logData());
    const int sectors = getSectorLength();
    const unsigned char* buffer = getCmdBuffer();
    if (sectors <= 0 || buffer == nullptr) {
        return 0;
    }
    AreaWriter writer(device, this);
    return writer.write(buffer, sectors, sectors);
}

}  // namespace Tessor::usb
