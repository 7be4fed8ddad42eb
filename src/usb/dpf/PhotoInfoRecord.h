// The photo frame's configuration table as it lies at the start of its
// sector: numbers high byte first, but for the magic.
#pragma once

#include <cstddef>
#include <cstdint>

#include "platform/orrin/ByteOrder.h"

namespace Tessor::usb {

struct MenuLevelRecord {
    uint8_t exitStyle;
    uint8_t count;  // enabled entries (one less in the main menu)
    uint8_t zero;
    uint8_t subFunctions[9];
};
static_assert(sizeof(MenuLevelRecord) == 12);

struct SdkRecord {
    uint8_t top;
    uint8_t topEnd;
    uint8_t left;
    uint8_t leftEnd;
};

struct PhotoInfoRecord {
    static constexpr uint16_t MAGIC = 0xAA55;
    static constexpr int MENU_AREAS = 26;

    Le16 magic;
    Be16 maxImage;
    Be16 currentImage;
    uint8_t totalText;
    uint8_t bookMarkTextNumber;
    Be32 cursor;
    uint8_t reserved1[8];
    uint8_t keyDetectMin;
    uint8_t keyDetectMax;
    uint8_t keyDetectLong;
    uint8_t backlight;
    uint8_t contrast;
    uint8_t logoTime;
    uint8_t logoMovieFrames;
    uint8_t jumpPictures;
    uint8_t swapPicture;
    uint8_t autoShutdown;
    Be16 idleTime;
    Be16 beepValue;
    Be16 resetAlarm;
    uint8_t year;
    uint8_t month;
    uint8_t day;
    uint8_t hour;
    uint8_t minute;
    uint8_t levelHigh;
    uint8_t levelLow;
    Be16 alarmLength;
    Be16 beepLength;
    uint8_t reserved2[9];
    uint8_t slideEn;
    uint8_t autoUsbEn;
    uint8_t osdEn;
    uint8_t alarmEn;
    uint8_t logoSelection;
    uint8_t beepOn;
    uint8_t language;
    uint8_t watchMode;
    uint8_t photoDirection;
    uint8_t dclockMode;
    uint8_t keyStartEn;
    uint8_t keyPinType;
    uint8_t switchKeyUpDown;
    uint8_t switchKeyWatch;
    Be16 colorCursor;
    Be16 colorBackground;
    Be16 colorWord;
    uint8_t reserved3[4];
    Be32 photoAddress;
    Be32 movieAddress;
    Be32 mapStateAddress;
    Be32 mapAddress;
    Be32 textAddress;
    Be16 photoZones[16];
    SdkRecord sdk[10];
    uint8_t reserved4[4];
    Be32 menuAddresses[MENU_AREAS];  // areas 1 to 26
    Be32 reserved5;
    Be32 timeAddresses[3];  // areas 27 to 29
    uint8_t reserved6[16];
    MenuLevelRecord menuLevels[7];
};
static_assert(sizeof(PhotoInfoRecord) == 396);
static_assert(offsetof(PhotoInfoRecord, keyDetectMin) == 0x14);
static_assert(offsetof(PhotoInfoRecord, alarmLength) == 0x2B);
static_assert(offsetof(PhotoInfoRecord, slideEn) == 0x38);
static_assert(offsetof(PhotoInfoRecord, colorCursor) == 0x46);
static_assert(offsetof(PhotoInfoRecord, photoAddress) == 0x50);
static_assert(offsetof(PhotoInfoRecord, photoZones) == 0x64);
static_assert(offsetof(PhotoInfoRecord, sdk) == 0x84);
static_assert(offsetof(PhotoInfoRecord, menuAddresses) == 0xB0);
static_assert(offsetof(PhotoInfoRecord, timeAddresses) == 0x11C);
static_assert(offsetof(PhotoInfoRecord, menuLevels) == 0x138);

}  // namespace Tessor::usb
