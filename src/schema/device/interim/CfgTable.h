#pragma once

#include "schema/data/BaseCmdData.h"
#include "schema/device/interim/BuildInfo.h"
#include "schema/device/interim/CfgFlash.h"
#include "schema/device/interim/CfgPartition.h"

namespace Tessor::schema {
class Mp3Config;
}

namespace Tessor::interim {

enum CFG_TABLE_TYPE_T { CFG_TABLE_DEFAULT = 0, CFG_TABLE_DOWNLOADING = 1, CFG_TABLE_DEVICE = 2 };

class CfgTable : public schema::BaseCmdData {
public:
    static constexpr int TABLE_SIZE = 512;

    CfgTable(schema::UsbDevice* device, const std::string& name, CFG_TABLE_TYPE_T type)
        : BaseCmdData(device, name), m_type(type)
    {
        init();
    }
    int myInit() override
    {
        m_length = TABLE_SIZE;
        return 0;
    }
    int writeFlash(schema::UsbDevice* device) override;

    CFG_TABLE_TYPE_T getType() const { return m_type; }
    Sptr<CfgPartition> getPartitionCtrl() const { return m_partition; }
    Sptr<CfgFlash> getFlashCtrl() const { return m_flash; }
    Sptr<BuildInfo> getBuildInfo() const { return m_buildInfo; }
    char* getPassword() { return m_password; }
    void setMp3CfgTable(const Sptr<schema::Mp3Config>& /*config*/) {}

private:
    CFG_TABLE_TYPE_T m_type;
    Sptr<CfgPartition> m_partition{new CfgPartition()};
    Sptr<CfgFlash> m_flash{new CfgFlash()};
    Sptr<BuildInfo> m_buildInfo{new BuildInfo()};
    char m_password[BuildInfo::PASSWORD_SIZE] = {};
};

}  // namespace Tessor::interim
