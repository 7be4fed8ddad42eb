#include "usb/dpf/DpfCfgTable.h"

#include <cstring>

#include "schema/base/Assert.h"
#include "schema/base/Log.h"
#include "schema/base/SystemInfo.h"
#include "schema/device/BaseAddress.h"
#include "schema/device/UsbDevice.h"
#include "schema/dpf/DpfConfig.h"
#include "schema/dpf/DpfDevice.h"
#include "utils/Rgb565.h"

namespace Tessor::usb {

using schema::SystemInfo;

using schema::DpfConfig;
using schema::PHOTO_ADDRESS_T;

namespace {

constexpr int kBookMarkTextNumber = 0x50;
constexpr int kBacklightOffset = 0x50;
constexpr int kPhotosPerZone = 128;
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

}  // namespace

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
    r.colorCursor.set(utils::rgb565(static_cast<uint32_t>(state->CurColour)));
    r.colorBackground.set(utils::rgb565(static_cast<uint32_t>(state->BackColour)));
    r.colorWord.set(utils::rgb565(static_cast<uint32_t>(state->WordColour)));

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
    finish(device);
    CPLOG(7, "Download DPF Config table %s to Flash at %s", getName(), block->logData());
    if (device->writeFlashSectors(block, 1, m_table) != 0) {
        CPLOG(3, "DPF Config Table of device %s write to FLASH failed", device->getName());
        return -1;
    }
    SystemInfo::debugBuffer(m_table, SECTOR_SIZE, "DPF Config Table Raw Data");
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
    if (std::memcmp(sector, m_table, SECTOR_SIZE) != 0) {
        CPLOG(3, "DPF Config Table validate failed");
        SystemInfo::debugBuffer(sector, SECTOR_SIZE, "Read out Config Table");
        return -1;
    }
    CPLOG(5, "DPF Config Table validate OK!");
    return 0;
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
    SystemInfo::debugBuffer(m_table, SECTOR_SIZE, "DPF Config Table");
    SystemInfo::debugOut("DPF Config Table Debug Info :");
}

}  // namespace Tessor::usb
