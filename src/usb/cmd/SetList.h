// The block sets of one device, in order; block set 0 holds the system area.
#pragma once

#include <string>

#include "schema/base/Sptr.h"
#include "schema/data/BaseCmdData.h"

namespace Tessor::usb {

class IndexTableSet;
class PageBitmap;

class SetList : public schema::BaseCmdData {
public:
    SetList(schema::UsbDevice* device, const std::string& name);
    explicit SetList(const std::string& name);
    ~SetList() override = default;

    // 512-byte sectors the block sets offer.
    int getValidateSectorsNumber();
    // One index table per block set, in order; empty when a set cannot
    // take its table.
    Sptr<IndexTableSet> createIndexTableSet();
    // The pages the block sets use, from the device's sector bitmap; empty
    // when a set's blocks do not offer its pages.
    Sptr<PageBitmap> createPageBitmap();
    void debug() override;
    // The list itself is never written.
    [[nodiscard]] int writeFlash(schema::UsbDevice* device) override;
    int myInit() override;
};

}  // namespace Tessor::usb
