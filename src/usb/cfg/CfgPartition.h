// The partition item: the logical units the USB disk presents, built from the
// run settings and written as the variant's LUN table.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "schema/device/ConfigInfo.h"
#include "schema/device/DiskInfo.h"
#include "schema/device/PartInfo.h"
#include "usb/cfg/CfgDataItem.h"
#include "usb/cfg/CfgVariant.h"
#include "usb/cfg/LunInfo.h"

namespace Tessor::usb {

class CfgPartition : public CfgDataItem {
public:
    static constexpr uint32_t kLoginSectors = 24576;
    static constexpr uint32_t kFirstLunSectors = 262144;

    CfgPartition(CfgTable* table, const std::string& name, CfgVariant variant);
    CfgPartition(const CfgPartition& other) = default;
    CfgPartition& operator=(const CfgPartition& other) = default;
    ~CfgPartition() override;

    int init() override;
    void debug() override;
    int serialize(void* place) override;
    int reverseSerialize(void* place) override;

    // Rebuilds the LUN list from the device's run settings.
    [[nodiscard]] int finish(schema::UsbDevice* device) override;
    // The same from given settings. Never writes them: they are shared by
    // every device of the run. -DeviceCode::CAPACITY_TOO_SMALL when the
    // settings cannot be laid out.
    [[nodiscard]] int finish(schema::ConfigInfo& settings, const std::string& loginIsoFile);
    // Why the last layout was refused; empty when it was not.
    const std::string& getRefusal() const { return m_refusal; }

    [[nodiscard]] virtual int update4Scan(schema::UsbDevice* device, bool keepLuns);
    int update4HighFormat(schema::UsbDevice* device);

    Sptr<LunInfo> getLunInfo(int i);
    Sptr<schema::PartInfo> getPartInfo(int i);
    // The partitions the units were built from, in order.
    std::vector<Sptr<schema::PartInfo>> getPartitions();
    uint32_t getCapacity() const { return m_udisk.totalCapacity; }
    int getLunCount() const { return LunCount; }
    void setValideSector(int sector) { ValideSector = static_cast<uint32_t>(sector); }
    void setCapDummy(uint32_t sector) { m_udisk.CapDummy = sector; }
    uint32_t getCapDummy() const { return m_udisk.CapDummy; }
    CfgVariant getVariant() const { return m_variant; }

protected:
    // LUN 0 spans the whole flash for the table sent around a scan.
    [[nodiscard]] int resizeForScan(Sptr<schema::DiskInfo> disk, bool keepLuns);
    [[nodiscard]] int addEncryptedLun(int index, Sptr<schema::PartInfo> part, const std::string& loginIsoFile);
    [[nodiscard]] int addNormalLun(int index, Sptr<schema::PartInfo> part, uint32_t capacity, bool hidden,
                     bool withDescriptor);
    [[nodiscard]] int addDummyLun(int index, Sptr<schema::PartInfo> part, uint32_t capacity, bool hidden);

private:
    struct Placement {
        uint32_t capacity;
        bool hidden;
        bool dummy;
        bool withDescriptor;
    };
    [[nodiscard]] int addLun(int index, Sptr<schema::PartInfo> part, const Placement& placement);
    [[nodiscard]] int appendLun(int index, Sptr<LunInfo> lun);
    [[nodiscard]] int refuse(int index, const std::string& why);
    [[nodiscard]] int addDummyEnding(int index, Sptr<schema::PartInfo> part, uint32_t configCapacity,
                       uint32_t reserve, uint32_t realCapacity);
    void padToFourLuns();
    std::vector<LunFields*> lunFields();

    CfgVariant m_variant;
    uint8_t LunCount = 0;
    uint32_t ValideSector = 0;
    UdiskFields m_udisk;
    std::string m_refusal;
};

}  // namespace Tessor::usb
