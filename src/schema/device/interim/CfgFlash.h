#pragma once

#include "schema/data/BaseData.h"
#include "schema/device/DiskInfo.h"

namespace Tessor::interim {

class CfgFlash : public schema::BaseData {
public:
    CfgFlash() : BaseData("CfgFlash") {}
    int init() override { return 0; }
    Sptr<schema::DiskInfo> getDiskInfo() const { return m_diskInfo; }
    void setDiskInfo(Sptr<schema::DiskInfo> diskInfo) { m_diskInfo = diskInfo; }
};

}  // namespace Tessor::interim
