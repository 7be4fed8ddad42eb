#include "usb/cmd/SetList.h"

#include "schema/base/Assert.h"
#include "schema/base/Log.h"
#include "schema/base/SystemInfo.h"
#include "usb/cmd/BlockSet.h"

namespace Tessor::usb {

SetList::SetList(schema::UsbDevice* device, const std::string& name) : BaseCmdData(device, name)
{
    init();
}

SetList::SetList(const std::string& name) : BaseCmdData(name)
{
    init();
}

int SetList::myInit()
{
    m_length = 0;
    return 0;
}

int SetList::writeFlash(schema::UsbDevice* /*device*/)
{
    return 1;
}

int SetList::getValidateSectorsNumber()
{
    int sectors = 0;
    Sptr<schema::BaseData> child;
    while ((child = getNextData(child))) {
        Sptr<BlockSet> set = child;
        TESSOR_ASSERT(set);
        sectors += set->getBlocksCount() * set->getSectorCount() * set->getPagesCountEveryBlock();
    }
    return sectors;
}

void SetList::debug()
{
    Sptr<schema::BaseData> child;
    while ((child = getNextData(child))) {
        Sptr<BlockSet> set = child;
        TESSOR_ASSERT(set);
        schema::SystemInfo::debug("\tNo. %d BlockSet is :\n", set->getIndex());
        set->debug();
    }
    const int sectors = getValidateSectorsNumber();
    schema::SystemInfo::debug("\tValidate Sectors. %d (%d Mb)\n", sectors, sectors / 2048);
    schema::SystemInfo::debugOut("Block Set Info :\n");
}

}  // namespace Tessor::usb
