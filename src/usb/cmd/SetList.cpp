#include "usb/cmd/SetList.h"

#include "schema/base/Assert.h"
#include "schema/base/Log.h"
#include "schema/base/SystemInfo.h"
#include "schema/device/UsbDevice.h"
#include "usb/cmd/BlockSet.h"
#include "usb/cmd/IndexTableSet.h"
#include "usb/cmd/PageBitmap.h"
#include "usb/cmd/SectorBitmap.h"

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

Sptr<IndexTableSet> SetList::createIndexTableSet()
{
    Sptr<IndexTableSet> tables(new IndexTableSet(m_device));
    Sptr<schema::BaseData> child;
    while ((child = getNextData(child))) {
        Sptr<BlockSet> set = child;
        TESSOR_ASSERT(set);
        if (tables->addBlockSet(set) == 0) {
            return {};
        }
        m_device->updateProgressInfo(20);
    }
    return tables;
}

Sptr<PageBitmap> SetList::createPageBitmap()
{
    Sptr<SectorBitmap> sectors = m_device->getSectorBitmap();
    if (!sectors) {
        CPLOG(3, "No sector bitmap on device %s to create its page bitmap", m_device->getName());
        return {};
    }
    Sptr<PageBitmap> pages(new PageBitmap(m_device));
    Sptr<schema::BaseData> child;
    while ((child = getNextData(child))) {
        Sptr<BlockSet> set = child;
        TESSOR_ASSERT(set);
        if (pages->addBlockSet(set, *sectors) == 0) {
            CPLOG(3, "create PageBitmap from No. %d BlockSet Failed", set->getIndex());
            return {};
        }
        CPLOG(7, "%d Block Set have been added into page bitmap", set->getIndex());
    }
    return pages;
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
