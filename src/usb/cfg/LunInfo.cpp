#include "usb/cfg/LunInfo.h"

#include "schema/base/SystemInfo.h"

namespace Tessor::usb {

using schema::SystemInfo;

LunInfo::LunInfo() : BaseData("LunInfo") { init(); }

LunInfo::LunInfo(schema::UsbDevice* device) : BaseData(device, "LunInfo")
{
    init();
}

LunInfo::~LunInfo() = default;

int LunInfo::init()
{
    m_fields = LunFields();
    return getDevice() != nullptr ? update(getDevice()) : 0;
}

void LunInfo::debug()
{
    const LunFields& f = m_fields;
    SystemInfo::debug("\t\tPartition : %d\n", getIndex());
    SystemInfo::debug("\t\t\tRefresh : %s\n", f.Refresh ? "YES" : "NO");
    SystemInfo::debug("\t\t\tCdromRefresh : %d\n", f.CdromRefresh);
    SystemInfo::debug("\t\t\tEject : %d\n", f.Eject);
    SystemInfo::debug("\t\t\tbit3_rsv : %d\n", f.bit3_rsv);
    SystemInfo::debug("\t\t\tWrProtectPin : %d\n", f.WrProtectPin);
    SystemInfo::debug("\t\t\tfirstRefresh : %d\n", f.firstRefresh);
    SystemInfo::debug("\t\t\trefreshEn : %d\n", f.refreshEn);
    SystemInfo::debug("\t\t\tDiskType : 0x%x\n", static_cast<unsigned>(f.DiskType));
    SystemInfo::debug("\t\t\tStart Sector : %ld\n", static_cast<long>(f.StartSector));
    SystemInfo::debug("\t\t\tCapacity : %ld sectors\n", static_cast<long>(f.Capacity));
    // A table read from a device may hold any index: one whose size no int holds shows as -1.
    SystemInfo::debug("\t\t\tDisk Block Size : %d\n", f.DiskBlockSize < 22 ? 512 << f.DiskBlockSize : -1);
    SystemInfo::debug("\t\t\tRdProtectStartingSec : 0x%x\n", f.RdProtectStartingSec);
    SystemInfo::debug("\t\t\tReadProtect : %d\n", f.ReadProtect);
    SystemInfo::debug("\t\t\tWriteProtect : %d \n", f.WriteProtect);
    SystemInfo::debug("\t\t\tDummyDisk : %d\n", f.DummyDisk);
    SystemInfo::debug("\t\t\tHide : %d \n", f.Hide);
    SystemInfo::debug("\t\t\tDiskInfoReserve : %d\n", f.DiskInfoReserve);
    SystemInfo::debug("\t\t\tDisk for LUN : %d\n", f.DiskForLun);
    if (m_partInfo) {
        SystemInfo::debug("\t\t\t{\n");
        m_partInfo->debug();
        SystemInfo::debug("\t\t\t}\n");
    }
}

}  // namespace Tessor::usb
