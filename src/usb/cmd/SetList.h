// The block sets of one device, in order; block set 0 holds the system area.
#pragma once

#include <string>

#include "schema/data/BaseCmdData.h"

namespace Tessor::usb {

class SetList : public schema::BaseCmdData {
public:
    SetList(schema::UsbDevice* device, const std::string& name);
    explicit SetList(const std::string& name);
    ~SetList() override = default;

    // 512-byte sectors the block sets offer.
    int getValidateSectorsNumber();
    void debug() override;
    // The list itself is never written.
    int writeFlash(schema::UsbDevice* device) override;
    int myInit() override;
};

}  // namespace Tessor::usb
