// The flash-information item: the geometry, plane layout, command and cycle
// bytes and error correction the controller runs the flash with.
#pragma once

#include <string>

#include "usb/cfg/CfgDataItem.h"
#include "usb/cfg/CfgDeviceView.h"
#include "usb/cfg/CfgVariant.h"
#include "usb/cfg/FlashCtrl.h"

namespace Tessor::usb {

class CfgFlash : public CfgDataItem {
public:
    CfgFlash(CfgTable* table, const std::string& name, CfgVariant variant);
    CfgFlash(const CfgFlash& other) = default;
    CfgFlash& operator=(const CfgFlash& other) = default;
    ~CfgFlash() override;

    int init() override;
    void debug() override;
    int serialize(void* place) override;
    int reverseSerialize(void* place) override;
    // Copies the device's block sets.
    [[nodiscard]] int update(schema::UsbDevice* device) override;

    // Adjusts the record for the table sent to the device around a scan;
    // `planeLayout` false keeps the single-plane layout.
    int update4Scan(const CfgDeviceView& device, bool planeLayout);
    using CfgDataItem::finish;
    // Final values before the low format writes the table.
    int finish(const CfgDeviceView& device);
    // Copies up to five block sets; returns how many.
    int updateBlockSet(Sptr<schema::BaseData> setList);

    // The geometry a table read back describes: chips from the code-control
    // record, the rest from this record.
    Sptr<schema::DiskInfo> getDiskInfo() const;
    // Whether that geometry is one of a flash: every count at least one, and
    // every sector the table can name numbered by an int, up to its block
    // field's last block and the pages counted on from there, in the raw
    // form of a multi-plane block too (see CfgTable::bootedForm).
    bool describesFlash() const;
    // The flash identity rebuilt from the record, of the same geometry.
    Sptr<FlashInfo> getFlashInfo() const;

    FlashCtrl& record() { return m_flash; }
    const FlashCtrl& record() const { return m_flash; }
    CfgVariant getVariant() const { return m_variant; }

private:
    void update4Scan6706(const CfgDeviceView& device, bool planeLayout);
    void update4Scan6716(const CfgDeviceView& device, bool planeLayout);
    void update4Scan6605(const CfgDeviceView& device, bool planeLayout);
    void setSinglePlaneGeometry(const _FLASH_CHIP_INFO& chip);
    void setMultiPlaneLayout(const _FLASH_CHIP_INFO& chip, int chips, int planeFactor);
    void setErrorCorrection(int sectorsPerPage, uint32_t flashId);
    void setKeyedFields(const _FLASH_CHIP_INFO& chip);
    int physicalPlaneFactor(const _FLASH_CHIP_INFO& chip) const;

    CfgVariant m_variant;
    FlashCtrl m_flash;
};

}  // namespace Tessor::usb
