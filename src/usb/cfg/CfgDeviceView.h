// What the configuration-table items read of a device: its identified flash,
// geometry, planes, run settings and block sets.
#pragma once

#include "schema/base/Sptr.h"
#include "schema/data/BaseData.h"
#include "schema/device/ConfigInfo.h"
#include "schema/device/DiskInfo.h"
#include "schema/device/PlaneInfo.h"
#include "schema/device/ScanConfig.h"
#include "usb/profile/FlashInfo.h"

namespace Tessor::usb {

struct CfgDeviceView {
    Sptr<FlashInfo> flash;
    Sptr<schema::DiskInfo> disk;
    Sptr<schema::PlaneInfo> plane;
    Sptr<schema::ScanConfig> scan;
    Sptr<schema::ConfigInfo> settings;
    // The block sets of the low format (children), empty before it.
    Sptr<schema::BaseData> setList;

    // Everything but the set list, which the low format hands over.
    static CfgDeviceView of(schema::UsbDevice* device);
};

}  // namespace Tessor::usb
