// One logical unit of the USB disk, with the partition that is formatted on it.
#pragma once

#include "schema/base/Sptr.h"
#include "schema/data/BaseData.h"
#include "schema/device/PartInfo.h"
#include "usb/cfg/LunFields.h"

namespace Tessor::usb {

class LunInfo : public schema::BaseData {
public:
    LunInfo();
    explicit LunInfo(schema::UsbDevice* device);
    LunInfo(const LunInfo& other) = default;
    LunInfo& operator=(const LunInfo& other) = default;
    ~LunInfo() override;

    int init() override;
    void debug() override;

    LunFields& fields() { return m_fields; }
    const LunFields& fields() const { return m_fields; }
    void setPartInfo(Sptr<schema::PartInfo> part) { m_partInfo = part; }
    Sptr<schema::PartInfo> getPartInfo() const { return m_partInfo; }

private:
    LunFields m_fields;
    Sptr<schema::PartInfo> m_partInfo;
};

}  // namespace Tessor::usb
