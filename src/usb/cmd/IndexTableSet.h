// The index tables of every block set of a device, in the order of the sets.
#pragma once

#include "schema/base/Sptr.h"
#include "schema/data/BaseCmdData.h"

namespace Tessor::usb {

class BlockSet;
class IndexTable;

class IndexTableSet : public schema::BaseCmdData {
public:
    // A smaller set cannot hold its reserved blocks and its tables.
    static constexpr int MIN_BLOCKS = 29;

    explicit IndexTableSet(schema::UsbDevice* device);
    ~IndexTableSet() override = default;

    int myInit() override;
    // A set too small for tables is emptied instead; always 1.
    int addBlockSet(Sptr<BlockSet> set);
    [[nodiscard]] int writeFlash(schema::UsbDevice* device) override;
    [[nodiscard]] int validateFlash(schema::UsbDevice* device) override;

    Sptr<IndexTable> getIndexTable(int i);

private:
    template <typename Check>
    [[nodiscard]] int forEachTable(schema::UsbDevice* device, const char* action, Check check);
};

}  // namespace Tessor::usb
