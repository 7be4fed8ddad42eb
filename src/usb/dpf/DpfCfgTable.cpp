#include "usb/dpf/DpfCfgTable.h"

#include <algorithm>
#include <cstring>

#include "platform/orrin/CeilDivide.h"
#include "platform/orrin/Sector.h"
#include "platform/taval/Taval.h"
#include "schema/base/Assert.h"
#include "schema/base/Log.h"
#include "schema/base/SystemInfo.h"
#include "schema/device/BaseAddress.h"
#include "schema/device/DiskInfo.h"
#include "schema/device/UsbDevice.h"
#include "schema/dpf/DpfConfig.h"
#include "schema/dpf/DpfDevice.h"
#include "usb/dpf/DpfCmdEbookDirectory.h"
#include "usb/dpf/DpfLimits.h"
#include "platform/orrin/HostPath.h"
#include "platform/pelt/Rgb565.h"

namespace Tessor::usb {

using schema::SystemInfo;

using schema::BaseAddress;
using schema::DpfConfig;
using schema::DpfDataItem;
using schema::PHOTO_ADDRESS_T;

namespace {

constexpr int kBookMarkTextNumber = 0x50;
constexpr int kBacklightOffset = 0x50;
constexpr int kPhotosPerZone = 128;
// The photo address table a frame can hold, in sectors.
constexpr int kMaxPhotoMapSectors = 128;
constexpr uint32_t kUnusedEntry = 0xFFFFFFFF;
constexpr uint16_t kUnusedBlock = 0xFFFF;
constexpr int kZones = 16;
constexpr int kLayouts = 10;
// Width and height the frame adds to each screen item's top and left.
constexpr uint8_t kSdkWidth[kLayouts] = {15, 11, 7, 15, 31, 15, 31, 63, 82, 15};
constexpr uint8_t kSdkHeight[kLayouts] = {7, 15, 15, 7, 15, 7, 15, 127, 105, 7};
// The menus of the table, in record order.
constexpr int kMenuIds[] = {0, 1, 2, 3, 4, 6, 7};
const char* const kMenuNames[] = {"MenuM0(MainMenu)",    "Menu00(L1-Clock)",        "Menu10(L1-Photo)",
                                  "Menu20(L1-Ebook))",   "Menu30(L1-Setting)",      "Menu01(L2-Clock-Display)",
                                  "Menu33(L2-Setting-Welcome)"};

// A book's title read from a device names a file of the book folder only
// without a separator (of the code page's text, so a double-byte character
// may end in the byte of "\") or a zero byte, which would end the name early.
bool namesOneFile(const std::string& title)
{
    return title.find('\0') == std::string::npos && HostPath::withSlashes(title).find('/') == std::string::npos;
}

}  // namespace

DpfCfgTable::DpfCfgTable(schema::UsbDevice* device, const unsigned char* raw)
    : DpfCmd(device, raw, schema::ADDRESS_CFG_TABLE)
{
    if (raw == nullptr || m_dpfDevice == nullptr) {
        CPLOG(4, "%s: no table sector or no photo-frame device to read back", getName());
        return;
    }
    reverseSerialize(const_cast<unsigned char*>(raw));
}

uint32_t DpfCfgTable::getDpfAddress(PHOTO_ADDRESS_T type)
{
    Sptr<schema::BaseAddress> address = m_dpfDevice->getDpfAddress(type);
    TESSOR_ASSERT(address);
    CPLOG(7, "address for DPF CfgTable of type %d is : %s", type, address->logData());
    return static_cast<uint32_t>(address->getPhyAddress());
}

int DpfCfgTable::serialize(void* buffer)
{
    Sptr<DpfConfig> config = m_dpfDevice->getDpfConfig();
    Sptr<schema::DpfHwControl> hw = config->getHwControl();
    Sptr<schema::DpfStateControl> state = config->getStateControl();
    CPLOG(7, "DPF Config table Size is %d", static_cast<int>(sizeof(PhotoInfoRecord)));
    PhotoInfoRecord r{};
    r.magic.set(PhotoInfoRecord::MAGIC);

    r.keyDetectMin = hw->KeyDetMin;
    r.keyDetectMax = hw->KeyDetMax;
    r.keyDetectLong = hw->KeyDetLong;
    r.backlight = static_cast<uint8_t>(hw->BackLight + kBacklightOffset);
    r.contrast = hw->ContrastVal;
    r.logoTime = hw->LogoVal;
    r.logoMovieFrames = hw->LogoMovieLen;
    r.jumpPictures = hw->JmpPicNum;
    r.swapPicture = hw->SwPicVal;
    r.autoShutdown = hw->AutoShutVal;
    r.idleTime.set(hw->IdleVal);
    r.beepValue.set(hw->BeepVal);
    r.resetAlarm.set(hw->RAlarmVal);
    if (hw->clock) {
        r.year = static_cast<uint8_t>(hw->clock->year % 100);
        r.month = static_cast<uint8_t>(hw->clock->month);
        r.day = static_cast<uint8_t>(hw->clock->day);
        r.hour = static_cast<uint8_t>(hw->clock->hour);
        r.minute = static_cast<uint8_t>(hw->clock->minute);
    }
    r.levelHigh = hw->HighLevel;
    r.levelLow = hw->LowLevel;
    r.alarmLength.set(hw->AlarmLength);
    r.beepLength.set(hw->BeepLength);

    r.slideEn = state->SlideEn;
    r.autoUsbEn = state->AutoUsbEn;
    r.osdEn = state->OsdEn;
    r.alarmEn = state->AlarmEn;
    r.logoSelection = static_cast<uint8_t>(state->LogoSel);
    r.beepOn = state->BeepEn;
    r.language = static_cast<uint8_t>(state->LguageSel);
    r.watchMode = state->WatchMode;
    r.photoDirection = static_cast<uint8_t>(state->PhotoDirect);
    r.dclockMode = static_cast<uint8_t>(state->DclkMode);
    r.keyStartEn = state->KeyStartEn;
    r.keyPinType = static_cast<uint8_t>(state->KeyPinType);
    r.switchKeyUpDown = state->KeyUpDnSwEn;
    r.switchKeyWatch = state->KeyWatchSwEn;
    r.colorCursor.set(pelt::rgb565(static_cast<uint32_t>(state->CurColour)));
    r.colorBackground.set(pelt::rgb565(static_cast<uint32_t>(state->BackColour)));
    r.colorWord.set(pelt::rgb565(static_cast<uint32_t>(state->WordColour)));

    serializeSdk(&r);
    for (int i = 0; i < PhotoInfoRecord::MENU_AREAS; ++i) {
        r.menuAddresses[i].set(getDpfAddress(static_cast<PHOTO_ADDRESS_T>(schema::ADDRESS_MENU_FIRST + i)));
    }
    for (int i = 0; i < 3; ++i) {
        r.timeAddresses[i].set(
            getDpfAddress(static_cast<PHOTO_ADDRESS_T>(schema::ADDRESS_MENU_FIRST + PhotoInfoRecord::MENU_AREAS + i)));
    }

    const int photos = config->getCurrentImagesCount();
    r.maxImage.set(static_cast<uint16_t>(config->getMaxImagesCount()));
    r.currentImage.set(static_cast<uint16_t>(photos));
    r.totalText = static_cast<uint8_t>(config->getEBookCfg()->getCount() + 1);
    r.bookMarkTextNumber = kBookMarkTextNumber;
    r.movieAddress.set(getDpfAddress(schema::ADDRESS_MOVIES));
    r.mapStateAddress.set(getDpfAddress(schema::ADDRESS_PHOTO_STATE));
    r.mapAddress.set(getDpfAddress(schema::ADDRESS_PHOTO_MAP));
    r.textAddress.set(getDpfAddress(schema::ADDRESS_BOOK_DIRECTORY));
    // More photos than the zones count are refused by the photo writer.
    for (int zone = 0; zone < kZones; ++zone) {
        const int inZone = photos - zone * kPhotosPerZone;
        r.photoZones[zone].set(static_cast<uint16_t>(inZone <= 0 ? 0 : (inZone > kPhotosPerZone ? kPhotosPerZone : inZone)));
    }
    serializeMenu(&r);
    std::memset(buffer, 0, sizeof r);
    std::memcpy(buffer, &r, sizeof r);
    return 0;
}

void DpfCfgTable::serializeSdk(PhotoInfoRecord* record)
{
    Sptr<DpfConfig> config = m_dpfDevice->getDpfConfig();
    for (int i = 0; i < kLayouts; ++i) {
        const schema::ItemCoordinate* c = config->getCoordinate(i);
        record->sdk[i] = SdkRecord{static_cast<uint8_t>(c->Top), static_cast<uint8_t>(c->Top + kSdkWidth[i]),
                                   static_cast<uint8_t>(c->Left), static_cast<uint8_t>(c->Left + kSdkHeight[i])};
    }
}

void DpfCfgTable::serializeMenu(PhotoInfoRecord* record)
{
    Sptr<schema::DpfMenuCfg> menus = m_dpfDevice->getDpfConfig()->getMenuCfg();
    for (size_t i = 0; i < sizeof kMenuIds / sizeof kMenuIds[0]; ++i) {
        Sptr<schema::DpfMenuList> list = menus->getMenuList(kMenuIds[i]);
        TESSOR_ASSERT(list);
        initMenuLevel(&record->menuLevels[i], list);
    }
    --record->menuLevels[0].count;
}

void DpfCfgTable::initMenuLevel(MenuLevelRecord* level, const Sptr<schema::DpfMenuList>& list)
{
    int count = 0;
    for (int index = 0; index < list->getCount(); ++index) {
        Sptr<schema::DpfMenuItem> item = list->getSubMenuItemAt(index);
        if (item->getState() && count < static_cast<int>(sizeof level->subFunctions)) {
            level->subFunctions[count++] = static_cast<uint8_t>(item->getSubFun());
        }
    }
    level->exitStyle = static_cast<uint8_t>(list->getStyle());
    level->count = static_cast<uint8_t>(count);
}

int DpfCfgTable::finish(schema::UsbDevice* /*device*/)
{
    std::memset(m_table, 0, sizeof m_table);
    serialize(m_table);
    return 0;
}

int DpfCfgTable::writeFlash(schema::UsbDevice* device)
{
    Sptr<schema::BaseAddress> block = getAreaBlock(0);
    if (!block) {
        CPLOG(3, "Address has not allocated for DPF Config Table of device %s which need write to Flash",
              device->getName());
        return -1;
    }
    m_dpfDevice = device->getDpfDevice();
    if (finish(device) != 0) {
        return -1;
    }
    CPLOG(7, "Download DPF Config table %s to Flash at %s", getName(), block->logData());
    if (device->writeFlashSectors(block, 1, m_table) != 0) {
        CPLOG(3, "DPF Config Table of device %s write to FLASH failed", device->getName());
        return -1;
    }
    SystemInfo::debugBuffer(m_table, SECTOR_BYTES, "DPF Config Table Raw Data");
    debug();
    return 0;
}

int DpfCfgTable::validateFlash(schema::UsbDevice* device)
{
    Sptr<schema::BaseAddress> block = getAreaBlock(0);
    if (!block) {
        CPLOG(3, "Address has not allocated for DPF Config Table of device %s which need write to Flash",
              device->getName());
        return -1;
    }
    const unsigned char* sector = device->readFlashSectors(block, 1);
    if (sector == nullptr) {
        CPLOG(3, "DPF Config Table of device %s read from FLASH failed", device->getName());
        return -1;
    }
    if (std::memcmp(sector, m_table, SECTOR_BYTES) != 0) {
        CPLOG(3, "DPF Config Table validate failed");
        SystemInfo::debugBuffer(sector, SECTOR_BYTES, "Read out Config Table");
        return -1;
    }
    CPLOG(5, "DPF Config Table validate OK!");
    return 0;
}

int DpfCfgTable::reverseSerialize(void* data)
{
    CPLOG(7, "%s reverse serialization.....", getName());
    TESSOR_ASSERT(m_dpfDevice != nullptr && m_dpfDevice->getDpfConfig());
    PhotoInfoRecord record;
    std::memcpy(&record, data, sizeof record);
    if (record.magic.get() != PhotoInfoRecord::MAGIC || record.bookMarkTextNumber != kBookMarkTextNumber) {
        CPLOG(3, "%s: the sector holds no photo-frame configuration table", getName());
        return -1;
    }
    std::memset(m_table, 0, sizeof m_table);
    std::memcpy(m_table, data, SECTOR_BYTES);
    if (reversalSerializeEBooks(record) != 0 || reversalSerializePhotos(record) != 0) {
        return -1;
    }
    CPLOG(7, "reverse serialization finished");
    return 0;
}

int DpfCfgTable::reversalSerializeEBooks(const PhotoInfoRecord& record)
{
    const schema::DiskInfo& disk = *m_device->getDiskInfo();
    const uint32_t at = record.textAddress.get();
    if (!onDevice(at, 1)) {
        CPLOG(3, "EBook Directory at sector %u lies past the device", at);
        return -1;
    }
    setArea(schema::ADDRESS_BOOK_DIRECTORY, blocksCovering(at, 1));
    const int sectors = std::min(DpfCmdEbookDirectory::INDEX_OFFSET / SECTOR_BYTES + DpfCmdEbookDirectory::MAX_INDEX_SECTORS,
                                 disk.getSectorsPerBlock() - static_cast<int>(at % disk.getSectorsPerBlock()));
    const unsigned char* read = m_device->readFlashSectors(sectorAt(at), sectors);
    if (read == nullptr) {
        CPLOG(3, "read EBook Directory failed");
        return -1;
    }
    const std::vector<unsigned char> directory(read, read + static_cast<size_t>(sectors) * SECTOR_BYTES);

    // The index counts blocks within the directory's chip.
    const int chipStart = sectorAt(at)->getChipNo() * disk.getBlocksPerChip();
    const Be16* index = reinterpret_cast<const Be16*>(directory.data() + DpfCmdEbookDirectory::INDEX_OFFSET);
    const size_t indexEntries = (directory.size() - DpfCmdEbookDirectory::INDEX_OFFSET) / sizeof(Be16);
    std::vector<int> blocks;
    for (size_t i = 0; i < indexEntries && index[i].get() != kUnusedBlock; ++i) {
        const int block = chipStart + index[i].get();
        if (!onDevice(int64_t(block) * disk.getSectorsPerBlock(), 1)) {
            CPLOG(3, "EBook block %d lies past the device", block);
            return -1;
        }
        blocks.push_back(block);
    }
    setArea(schema::ADDRESS_BOOKS, blocks);
    CPLOG(7, "Total %d blocks are allocated for EBooks", static_cast<int>(blocks.size()));

    Sptr<DpfConfig> config = m_dpfDevice->getDpfConfig();
    config->clearAllBooks();
    const EbookEntryRecord* entries = reinterpret_cast<const EbookEntryRecord*>(directory.data());
    for (int k = 0; k < kMaxBooks && entries[k].sector.get() != kUnusedEntry; ++k) {
        const EbookEntryRecord& entry = entries[k];
        const std::string title(entry.title, std::find(entry.title, entry.title + EbookEntryRecord::TITLE_SIZE, '\xFF'));
        if (!namesOneFile(title)) {
            CPLOG(3, "EBook %d : its title names no file of the book folder", k);
            return -1;
        }
        const int64_t size = entry.size.get();
        std::vector<unsigned char> book;
        if (!readArea(schema::ADDRESS_BOOKS, static_cast<int>(entry.sector.get()),
                      static_cast<int>(ceilDivide(size, SECTOR_BYTES)), book)) {
            CPLOG(3, "read EBook %d : %s failed", k, title.c_str());
            return -1;
        }
        const std::string path = DpfConfig::pathIn(config->getHome4EBook(), title + ".txt");
        if (!saveFile(path, book, static_cast<int>(size))) {
            CPLOG(3, "Write EBook %d : %s failed", k, title.c_str());
            return -1;
        }
        config->addBook(Sptr<DpfDataItem>(new DpfDataItem(path)));
    }
    return 0;
}

int DpfCfgTable::reversalSerializePhotos(const PhotoInfoRecord& record)
{
    const uint32_t stateAt = record.mapStateAddress.get();
    const int mapSectors = ceilDivide(4 * record.maxImage.get(), SECTOR_BYTES);
    if (mapSectors > kMaxPhotoMapSectors) {
        CPLOG(3, "too many photos which stored are out of range : %d", record.maxImage.get());
        return -1;
    }
    const uint32_t mapAt = record.mapAddress.get();
    if (!onDevice(stateAt, 1) || !onDevice(mapAt, mapSectors)) {
        CPLOG(3, "Photo state at sector %u or address table at sector %u lies past the device", stateAt, mapAt);
        return -1;
    }
    setArea(schema::ADDRESS_PHOTO_STATE, blocksCovering(stateAt, 1));
    setArea(schema::ADDRESS_PHOTO_MAP, blocksCovering(mapAt, mapSectors));
    std::vector<uint32_t> slots;
    if (mapSectors > 0) {
        const unsigned char* read = m_device->readFlashSectors(sectorAt(mapAt), mapSectors);
        if (read == nullptr) {
            CPLOG(3, "read Photo Address Table failed");
            return -1;
        }
        const Be32* entries = reinterpret_cast<const Be32*>(read);
        for (int j = 0; j < mapSectors * SECTOR_BYTES / 4 && entries[j].get() != 0 && entries[j].get() != kUnusedEntry;
             ++j) {
            if (!onDevice(entries[j].get(), kPhotoSectors)) {
                CPLOG(3, "Photo %d at sector %u lies past the device", j, entries[j].get());
                return -1;
            }
            slots.push_back(entries[j].get());
        }
    }
    std::vector<int> blocks;
    for (const uint32_t slot : slots) {
        for (const int block : blocksCovering(slot, kPhotoSectors)) {
            if (blocks.empty() || blocks.back() != block) {
                blocks.push_back(block);
            }
        }
    }
    setArea(schema::ADDRESS_PHOTOS, blocks);
    Sptr<DpfCmd> area = m_dpfDevice->getDpfCmd(schema::ADDRESS_PHOTOS);
    for (int i = 0; i < area->getAreaBlocks(); ++i) {
        CPLOG(7, "No %d Address %s are allocated for Photos", i, area->getAreaBlock(i)->logData());
    }

    Sptr<DpfConfig> config = m_dpfDevice->getDpfConfig();
    config->clearAllPhotos();
    const int photos = record.currentImage.get();
    for (int j = 0; j < photos; ++j) {
        const unsigned char* read =
            j < static_cast<int>(slots.size()) ? m_device->readFlashSectors(sectorAt(slots[j]), kPhotoSectors) : nullptr;
        if (read == nullptr) {
            CPLOG(3, "read Photo %d failed", j);
            return -1;
        }
        const std::vector<unsigned char> photo(read, read + kPhotoSectors * SECTOR_BYTES);
        const std::string path = DpfConfig::pathIn(config->getHome4Photo(), "Photo_" + std::to_string(j) + ".img");
        if (!saveFile(path, photo, static_cast<int>(photo.size()))) {
            CPLOG(3, "Write Photo %d (%s) failed", j, path.c_str());
            return -1;
        }
        config->addPhoto(Sptr<DpfDataItem>(new DpfDataItem(path)));
    }
    return 0;
}

Sptr<BaseAddress> DpfCfgTable::sectorAt(uint32_t sector) const
{
    const schema::DiskInfo& disk = *m_device->getDiskInfo();
    const int perBlock = disk.getSectorsPerBlock();
    const int inBlock = static_cast<int>(sector % static_cast<uint32_t>(perBlock));
    return Sptr<BaseAddress>(new BaseAddress(m_device, static_cast<int>(sector / static_cast<uint32_t>(perBlock)),
                                             inBlock / disk.getSectorsPerPage(), inBlock % disk.getSectorsPerPage()));
}

std::vector<int> DpfCfgTable::blocksCovering(uint32_t sector, int sectors) const
{
    const int64_t perBlock = m_device->getDiskInfo()->getSectorsPerBlock();
    std::vector<int> blocks;
    for (int64_t block = sector / perBlock; block <= (sector + std::max(sectors, 1) - 1) / perBlock; ++block) {
        blocks.push_back(static_cast<int>(block));
    }
    return blocks;
}

bool DpfCfgTable::onDevice(int64_t sector, int sectors) const
{
    return sector + std::max(sectors, 1) <= m_device->getDiskInfo()->getTotalSectors();
}

void DpfCfgTable::setArea(PHOTO_ADDRESS_T type, const std::vector<int>& blocks)
{
    // A container of the area's blocks, as the block bitmap hands them out.
    Sptr<BaseAddress> area(new BaseAddress(m_device, 0, 0, 0));
    for (const int block : blocks) {
        area->addData(Sptr<BaseAddress>(new BaseAddress(m_device, block, 0, 0)));
    }
    m_dpfDevice->setDpfAddress(type, area);
}

bool DpfCfgTable::readArea(PHOTO_ADDRESS_T type, int sector, int count, std::vector<unsigned char>& out)
{
    Sptr<DpfCmd> area = m_dpfDevice->getDpfCmd(type);
    const int perBlock = m_device->getDiskInfo()->getSectorsPerBlock();
    if (sector < 0 || count < 0 || int64_t(sector) + count > int64_t(area->getAreaBlocks()) * perBlock) {
        return false;
    }
    out.resize(static_cast<size_t>(count) * SECTOR_BYTES);
    for (int done = 0; done < count;) {
        const int at = sector + done;
        const int n = std::min({count - done, perBlock - at % perBlock, kBookChunk});
        const unsigned char* read =
            m_device->readFlashSectors(sectorAt(static_cast<uint32_t>(area->getAreaBlock(at / perBlock)->getPhyAddress() + at % perBlock)), n);
        if (read == nullptr) {
            return false;
        }
        std::memcpy(out.data() + static_cast<size_t>(done) * SECTOR_BYTES, read, static_cast<size_t>(n) * SECTOR_BYTES);
        done += n;
    }
    return true;
}

bool DpfCfgTable::saveFile(const std::string& path, const std::vector<unsigned char>& bytes, int size)
{
    static const unsigned char kEmpty = 0;
    return usbWriteFile(HostPath::toHost(path).c_str(), bytes.empty() ? &kEmpty : bytes.data(), size, 0) == size;
}

void DpfCfgTable::debug()
{
    PhotoInfoRecord r;
    std::memcpy(&r, m_table, sizeof r);
    SystemInfo::debug("\t\t Max Image : %d\t Current Image : %d\n", r.maxImage.get(), r.currentImage.get());
    SystemInfo::debug("\t\t Total Text : %d\t Book Mark Text Number : %d\t Cursor : %u\n", r.totalText,
                      r.bookMarkTextNumber, r.cursor.get());
    SystemInfo::debug("\t\t Photo Address : %u\t Movie Image Address : %u\n", r.photoAddress.get(),
                      r.movieAddress.get());
    SystemInfo::debug("\t\t Map State Address : %u\t Map Address : %u\t Text Address : %u\n",
                      r.mapStateAddress.get(), r.mapAddress.get(), r.textAddress.get());
    for (int zone = 0; zone < kZones; ++zone) {
        SystemInfo::debug("\t\t Photo %d exist in Zone %d\n", r.photoZones[zone].get(), zone);
    }
    SystemInfo::debug("\t\t CTRL info\n\t\t\t Color : Cursor : %d\t BackGround :%d\t Word : %d\n",
                      r.colorCursor.get(), r.colorBackground.get(), r.colorWord.get());
    for (size_t i = 0; i < sizeof kMenuIds / sizeof kMenuIds[0]; ++i) {
        const MenuLevelRecord& level = r.menuLevels[i];
        SystemInfo::debug("\t\t Menu %s\n\t\t\t Exit Style : %s\t Items : %d\n", kMenuNames[i],
                          level.exitStyle != 0 ? "To Photo" : "To Upper", level.count);
    }
    SystemInfo::debugBuffer(m_table, SECTOR_BYTES, "DPF Config Table");
    SystemInfo::debugOut("DPF Config Table Debug Info :");
}

}  // namespace Tessor::usb
