#include "schema/dpf/DpfDevice.h"

#include "platform/orrin/CeilDivide.h"
#include "platform/orrin/Sector.h"
#include "schema/base/Assert.h"
#include "schema/base/Log.h"
#include "schema/base/SystemInfo.h"
#include "schema/device/BaseAddress.h"
#include "schema/device/DiskInfo.h"
#include "schema/device/UsbDevice.h"
#include "schema/dpf/DpfConfig.h"
#include "schema/dpf/DpfDataFactory.h"
#include "schema/state/BaseState.h"
#include "schema/state/DeviceStateType.h"
#include "usb/cmd/BlockBitmap.h"
#include "usb/cmd/SectorBitmap.h"
#include "usb/dpf/DpfCfgTable.h"
#include "usb/dpf/DpfCmdEbookDirectory.h"
#include "usb/dpf/DpfCmdItem.h"
#include "usb/dpf/DpfCmdPhotoAddress.h"
#include "usb/dpf/DpfCmdPhotoState.h"
#include "usb/dpf/DpfLimits.h"

namespace Tessor::schema {

using usb::DpfCmd;
using usb::DpfCmdItem;

namespace {

// The area sizes that do not depend on the files: a photo is 64 sectors,
// the e-book area 65536 sectors and the movie area 1024 sectors.
constexpr int kBookAreaSectors = 65536;
constexpr int kMovieAreaSectors = 1024;
constexpr int kContentSectors = 64;

}  // namespace

DpfDevice::DpfDevice(UsbDevice* device, const std::string& name) : BaseCmdData(device, name)
{
    TESSOR_ASSERT(device != nullptr);
}

DpfDevice::DpfDevice(UsbDevice* device, const unsigned char* /*raw*/) : DpfDevice(device, "DpfDevice") {}

DpfDevice::~DpfDevice() = default;

int DpfDevice::init()
{
    TESSOR_ASSERT(m_device != nullptr);
    m_writers.clear();
    m_cfgTable = Sptr<usb::DpfCfgTable>(new usb::DpfCfgTable(m_device, "DefaultDpfCfgTable"));
    m_writers.push_back(m_cfgTable);
    const DpfDataFactory::Snapshot menus = DpfDataFactory::instance()->current();
    for (int type = ADDRESS_MENU_FIRST; type <= ADDRESS_MENU_LAST; ++type) {
        Sptr<DpfDataGroup> group = DpfDataFactory::groupOf(menus, static_cast<PHOTO_ADDRESS_T>(type));
        TESSOR_ASSERT(group);
        m_writers.push_back(Sptr<DpfCmd>(new DpfCmdItem(m_device, group->getName(), static_cast<PHOTO_ADDRESS_T>(type))));
    }
    takeMenuGroups(menus);
    m_writers.push_back(Sptr<DpfCmd>(new DpfCmdItem(m_device, "Photos", ADDRESS_PHOTOS)));
    m_writers.push_back(Sptr<DpfCmd>(new usb::DpfCmdPhotoState(m_device, "PhotoState")));
    m_writers.push_back(Sptr<DpfCmd>(new usb::DpfCmdPhotoAddress(m_device, "PhotoAddress")));
    m_writers.push_back(Sptr<DpfCmd>(new DpfCmdItem(m_device, "Books", ADDRESS_BOOKS)));
    m_writers.push_back(Sptr<DpfCmd>(new usb::DpfCmdEbookDirectory(m_device, "EBookDirectory")));
    m_writers.push_back(Sptr<DpfCmd>(new DpfCmdItem(m_device, "Movies", ADDRESS_MOVIES)));
    m_config = Sptr<DpfConfig>(new DpfConfig("DefaultDpfCfg"));
    return 0;
}

Sptr<DpfDataGroup> DpfDevice::loadGroup(const std::string& name, PHOTO_ADDRESS_T type, const char* item,
                                        Sptr<DpfDataItem> (DpfConfig::*one)(int) const)
{
    Sptr<DpfDataGroup> group(new DpfDataGroup(name, type));
    for (int i = 0; Sptr<DpfDataItem> file = (m_config.get()->*one)(i); ++i) {
        CPLOG(7, "add %s : %s", item, file->getFileName().c_str());
        group->addOneFile(item, file->getFileName(), kContentSectors);
    }
    return group;
}

void DpfDevice::takeMenuGroups(const DpfDataFactory::Snapshot& menus)
{
    for (int type = ADDRESS_MENU_FIRST; type <= ADDRESS_MENU_LAST; ++type) {
        Sptr<DpfDataGroup> group = DpfDataFactory::groupOf(menus, static_cast<PHOTO_ADDRESS_T>(type));
        TESSOR_ASSERT(group);
        CPLOG(7, "get Data Group with Address Type of : %s(%d), need %d sectors", group->getName(), type,
              group->getTotalSectors());
        setDataGroup(group);
    }
}

void DpfDevice::setDpfConfig(const Sptr<DpfConfig>& config)
{
    // A device takes its settings with its content when it starts; the run's
    // later setting updates carry the pages' live settings, which may have
    // changed since, and would pair new settings with the old photos.
    Sptr<BaseState> state = m_device->getState();
    if (state && state->getStateType() != STATE_WAIT) {
        CPLOG(7, "%s keeps the photo-frame settings it started with", m_device->getName());
        return;
    }
    // The pages go on editing theirs while this device is produced.
    m_config = config->snapshot();
    CPLOG(7, "Set DpfConfig as : %s", config->getName());
    if (!state) {
        return;
    }
    takeMenuGroups(DpfDataFactory::instance()->current());
    setDataGroup(loadGroup("EBookData", ADDRESS_BOOKS, "EBook", &DpfConfig::getOneBook));
    setDataGroup(loadGroup("PhotosData", ADDRESS_PHOTOS, "Photo", &DpfConfig::getOnePhoto));
    setDataGroup(loadGroup("LogoMoviesData", ADDRESS_MOVIES, "Movie", &DpfConfig::getOneMovie));
}

Sptr<DpfCmd> DpfDevice::getDpfCmd(PHOTO_ADDRESS_T type) const
{
    for (const Sptr<DpfCmd>& writer : m_writers) {
        if (writer->getType() == type) {
            return writer;
        }
    }
    CPLOG(4, "DpfCmd with address type of '%d' is not found", type);
    TESSOR_ASSERT(false);
    return Sptr<DpfCmd>();
}

Sptr<DpfCmdItem> DpfDevice::getDpfCmdItem(PHOTO_ADDRESS_T type) const
{
    Sptr<DpfCmdItem> item = getDpfCmd(type);
    TESSOR_ASSERT(item);
    return item;
}

void DpfDevice::setDpfAddress(PHOTO_ADDRESS_T type, const Sptr<BaseAddress>& address)
{
    getDpfCmd(type)->setAddress(address);
}

Sptr<BaseAddress> DpfDevice::getDpfAddress(PHOTO_ADDRESS_T type) const { return getDpfCmd(type)->getAreaBlock(0); }

void DpfDevice::setDataGroup(const Sptr<DpfDataGroup>& group)
{
    getDpfCmdItem(group->getAddressType())->setDataGroup(group);
}

Sptr<DpfDataGroup> DpfDevice::getDataGroup(PHOTO_ADDRESS_T type) const { return getDpfCmdItem(type)->getDataGroup(); }

int DpfDevice::blocksFor(int sectors) const
{
    const int perBlock = m_device->getDiskInfo()->getSectorsPerBlock();
    return ceilDivide(sectors, perBlock);
}

int DpfDevice::allocate(PHOTO_ADDRESS_T type, int blocks, usb::BlockBitmap& bitmap)
{
    Sptr<BaseAddress> area = bitmap.allocateBlockAddresses(blocks);
    if (!area) {
        if (type == ADDRESS_PHOTO_STATE) {
            CPLOG(3, "Address for Map State Table of Dpf Photos is not validate address, allocate address failed");
        } else if (type == ADDRESS_PHOTO_MAP) {
            CPLOG(3, "Address for Map Address Table of Dpf Photos is not validate address, allocate address failed");
        } else {
            CPLOG(3, "No %d blocks are left for photo-frame area %d", blocks, type);
        }
        return -1;
    }
    setDpfAddress(type, area);
    return 0;
}

int DpfDevice::allocateAddress()
{
    CPLOG(7, "Allocate dpf address");
    const int maxPhotos = static_cast<int>(m_config->getMaxImagesCount());
    m_photoBlocks = blocksFor(usb::kPhotoSectors * maxPhotos);
    m_photoMapBlocks = blocksFor(ceilDivide(4 * maxPhotos, SECTOR_BYTES));
    m_bookBlocks = blocksFor(kBookAreaSectors);
    const int movieBlocks = blocksFor(kMovieAreaSectors);
    m_menuBlocks = 0;
    Sptr<usb::SectorBitmap> sectors = m_device->getSectorBitmap();
    TESSOR_ASSERT(sectors);
    Sptr<usb::BlockBitmap> bitmap = sectors->getBlockBitmap();
    TESSOR_ASSERT(bitmap);
    if (allocate(ADDRESS_CFG_TABLE, 1, *bitmap) != 0) {
        return -1;
    }
    for (int type = ADDRESS_MENU_FIRST; type <= ADDRESS_MENU_LAST; ++type) {
        Sptr<DpfDataGroup> group = getDataGroup(static_cast<PHOTO_ADDRESS_T>(type));
        TESSOR_ASSERT(group);
        // Sized by the files as they are, which may exceed what was declared.
        const int blocks = blocksFor(group->getStoredSectors());
        m_menuBlocks += blocks;
        if (allocate(static_cast<PHOTO_ADDRESS_T>(type), blocks, *bitmap) != 0) {
            return -1;
        }
    }
    if (allocate(ADDRESS_PHOTOS, m_photoBlocks, *bitmap) != 0 || allocate(ADDRESS_PHOTO_STATE, 1, *bitmap) != 0 ||
        allocate(ADDRESS_PHOTO_MAP, m_photoMapBlocks, *bitmap) != 0 ||
        allocate(ADDRESS_BOOKS, m_bookBlocks, *bitmap) != 0 ||
        allocate(ADDRESS_BOOK_DIRECTORY, 1, *bitmap) != 0 || allocate(ADDRESS_MOVIES, movieBlocks, *bitmap) != 0) {
        return -1;
    }
    CPLOG(7, "%d blocks for Menu; %d blocks for Photo; %d blocks for Ebook; %d blocks for Movie", m_menuBlocks,
          m_photoBlocks, m_bookBlocks, movieBlocks);
    CPLOG(7, "Total %d blocks for DPF", m_menuBlocks + m_photoBlocks + m_photoMapBlocks + m_bookBlocks + movieBlocks + 2);
    return 0;
}

int DpfDevice::parsePhotoCfg(const std::vector<unsigned char>& sector)
{
    if (sector.size() < SECTOR_BYTES) {
        CPLOG(3, "A photo-frame configuration table is a sector of %d bytes, not %d", SECTOR_BYTES,
              static_cast<int>(sector.size()));
        return -1;
    }
    std::vector<unsigned char> table(sector.begin(), sector.begin() + SECTOR_BYTES);
    return m_cfgTable->reverseSerialize(table.data());
}

int DpfDevice::finish(UsbDevice* device)
{
    if (!getDpfAddress(ADDRESS_CFG_TABLE)) {
        CPLOG(4, "%s: the photo-frame areas are not allocated, nothing to finish", device->getName());
        return 0;
    }
    CPLOG(7, "%s update %s", device->getName(), m_cfgTable->getName());
    int result = m_cfgTable->finish(device);
    // Every writer is finished: each that refuses remembers it for its write.
    for (const Sptr<DpfCmd>& writer : m_writers) {
        CPLOG(7, "%s update %s", device->getName(), writer->getName());
        if (writer->finish(device) != 0) {
            CPLOG(3, "%s: %s cannot be laid out", device->getName(), writer->getName());
            result = -1;
        }
    }
    return result;
}

int DpfDevice::writeFlash(UsbDevice* device)
{
    for (const Sptr<DpfCmd>& writer : m_writers) {
        CPLOG(7, "%s %s write to flash.....", device->getName(), writer->getName());
        if (writer->writeFlash(device) != 0) {
            CPLOG(3, "%s %s write to flash Failed", device->getName(), writer->getName());
            return -1;
        }
    }
    return 0;
}

int DpfDevice::validateFlash(UsbDevice* /*device*/)
{
    CPLOG(5, "DPF Device validate OK!");
    return 0;
}

void DpfDevice::debug()
{
    m_config->debug();
    SystemInfo::debug("DPF Device Debug Info :");
}

}  // namespace Tessor::schema
