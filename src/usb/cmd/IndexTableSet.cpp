#include "usb/cmd/IndexTableSet.h"

#include "schema/base/Assert.h"
#include "schema/base/Log.h"
#include "schema/device/UsbDevice.h"
#include "usb/cmd/BlockSet.h"
#include "usb/cmd/IndexTable.h"

namespace Tessor::usb {

IndexTableSet::IndexTableSet(schema::UsbDevice* device) : BaseCmdData(device, "IndexTableSet")
{
    init();
}

int IndexTableSet::myInit()
{
    CPLOG(7, "IndexTableSet::init");
    return 0;
}

int IndexTableSet::addBlockSet(Sptr<BlockSet> set)
{
    if (set->getBlocksCount() < MIN_BLOCKS) {
        CPLOG(4, "BlockSet has Block Numbers too little(%d)", set->getBlocksCount());
        while (set->getBlocksCount() > 0) {
            set->removeBlock(set->getBlockNo(0));
        }
        set->setPagesCountEveryBlock(0);
        set->setStartSector(0);
        set->setSectorCount(0);
        return 1;
    }
    CPLOG(7, "CreateNormal IndexTable");
    addData(Sptr<IndexTable>(new IndexTable(m_device, set)));
    return 1;
}

Sptr<IndexTable> IndexTableSet::getIndexTable(int i)
{
    Sptr<schema::BaseData> child = getData(i);
    if (!child) {
        return Sptr<IndexTable>();
    }
    Sptr<IndexTable> table = child;
    TESSOR_ASSERT(table);
    return table;
}

template <typename Check>
int IndexTableSet::forEachTable(schema::UsbDevice* device, const char* action, Check check)
{
    TESSOR_ASSERT(device != nullptr);
    for (int i = 0; i < getCount(); ++i) {
        Sptr<IndexTable> table = getIndexTable(i);
        if (check(*table) != 0) {
            CPLOG(3, "%s Index Table for Block Set %d for device %s failed", action, table->getIndex(),
                device->getName());
            return -1;
        }
    }
    return 0;
}

int IndexTableSet::writeFlash(schema::UsbDevice* device)
{
    CPLOG(7, "download %s Index Table Set .....", getName());
    return forEachTable(device, "Write", [device](IndexTable& table) { return table.writeFlash(device); });
}

int IndexTableSet::validateFlash(schema::UsbDevice* device)
{
    return forEachTable(device, "Validate", [device](IndexTable& table) { return table.validateFlash(device); });
}

}  // namespace Tessor::usb
