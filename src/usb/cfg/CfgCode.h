// The code-control item: controller switches, where the configuration table,
// flag table, code pages and page bitmap lie, and the block sets of the low format.
#pragma once

#include <string>

#include "schema/device/BaseAddress.h"
#include "usb/cfg/CfgDataItem.h"
#include "usb/cfg/CfgDeviceView.h"
#include "usb/cfg/CfgVariant.h"
#include "usb/cfg/CodeAllocation.h"
#include "usb/cfg/CodeCtrl.h"
#include "usb/cfg/FlashCtrl.h"

namespace Tessor::usb {

class BuildInfo;

class CfgCode : public CfgDataItem {
public:
    CfgCode(CfgTable* table, const std::string& name, CfgVariant variant);
    CfgCode(const CfgCode& other) = default;
    CfgCode& operator=(const CfgCode& other) = default;
    ~CfgCode() override;

    int init() override;
    void debug() override;
    int serialize(void* place) override;
    int reverseSerialize(void* place) override;
    // Copies the device's block sets.
    [[nodiscard]] int update(schema::UsbDevice* device) override;

    // `flashItem` is the table's flash-information record, whose plane layout
    // this record follows.
    int update4Scan(const CfgDeviceView& device, const FlashCtrl& flashItem, bool flag);
    using CfgDataItem::finish;
    // Final values from the allocation of the low format; runs the build
    // record's finish when one is given.
    int finish(const CfgDeviceView& device, const CodeAllocation& allocation, const FlashCtrl& flashItem,
               BuildInfo* buildInfo);
    // Copies up to five block sets; returns how many.
    int updateBlockSet(Sptr<schema::BaseData> setList);

    void setSectorNumber4ExternalCode(int sectors) { m_code.bSectorsPerCode = static_cast<uint8_t>(sectors); }
    int getSectorNumber4ExternalCode() const { return m_code.bSectorsPerCode; }
    void setAddress4Dpf(Sptr<schema::BaseAddress> address) { m_address4Dpf = address; }
    Sptr<schema::BaseAddress> getAddress4Dpf() const { return m_address4Dpf; }

    CodeCtrl& record() { return m_code; }
    const CodeCtrl& record() const { return m_code; }
    CfgVariant getVariant() const { return m_variant; }

private:
    void update4Scan6706(const CfgDeviceView& device, bool flag);
    void update4Scan6716(const CfgDeviceView& device, const FlashCtrl& flashItem, bool flag);
    void update4Scan6605(const CfgDeviceView& device, const FlashCtrl& flashItem, bool flag);
    void setFlagGeometry(int pagesPerBlock);
    void setControlSwitches(const _FLASH_CHIP_INFO& chip);
    void setFlagTableSteps(int pagesPerBlock);
    // Pages counted from page 0 of the configuration table's block, as the
    // flag-table page is.
    void storeCodePages(int first, int count, Sptr<schema::BaseAddress> pages, const schema::BaseAddress& table,
                        int pagesPerBlock, const char* what);
    void storePageBitmapBlocks(Sptr<schema::BaseAddress> pages, int count);
    uint8_t sectorsPerCode() const;

    CfgVariant m_variant;
    CodeCtrl m_code;
    Sptr<schema::BaseAddress> m_address4Dpf;
};

}  // namespace Tessor::usb
