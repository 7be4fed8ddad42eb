#include "usb/cfg/LunTableLayout.h"

#include <algorithm>
#include <cstring>

#include "schema/base/Assert.h"
#include "schema/base/Log.h"

namespace Tessor::usb {

namespace {

constexpr uint8_t kFlagAUnwritten = 0x80;
constexpr uint8_t kPinBit = 0x10;
constexpr uint8_t kFirstRefreshBit = 0x20;
constexpr uint8_t kBit3 = 0x08;

uint8_t flagsA(const LunFields& lun)
{
    return bitOf(lun.Refresh, 0) | bitOf(lun.CdromRefresh, 1) | bitOf(lun.Eject, 2) |
           bitOf(lun.bit3_rsv, 3) | bitOf(lun.WrProtectPin, 4) | bitOf(lun.firstRefresh, 5) |
           bitOf(lun.refreshEn, 6);
}

uint8_t flagsA6605(const LunFields& lun)
{
    return bitOf(lun.Refresh, 0) | bitOf(lun.CdromRefresh, 1) | bitOf(lun.Eject, 2) |
           bitsOf(lun.extFieldA, 5, 3);
}

uint8_t flagsBCommon(const LunFields& lun)
{
    return bitOf(lun.ReadProtect, 0) | bitOf(lun.WriteProtect, 1) | bitOf(lun.DummyDisk, 2) |
           bitOf(lun.Hide, 3);
}

uint8_t flagsB(const LunFields& lun) { return flagsBCommon(lun) | bitsOf(lun.DiskInfoReserve, 4, 4); }

uint8_t flagsB6605(const LunFields& lun)
{
    return flagsBCommon(lun) | bitOf(lun.extFlagB4, 4) | bitsOf(lun.extFieldB, 5, 3);
}

void readFlagsA(LunFields& lun, uint8_t byte)
{
    lun.Refresh = bitAt(byte, 0);
    lun.CdromRefresh = bitAt(byte, 1);
    lun.Eject = bitAt(byte, 2);
    lun.bit3_rsv = bitAt(byte, 3);
    lun.WrProtectPin = bitAt(byte, 4);
    lun.firstRefresh = bitAt(byte, 5);
    lun.refreshEn = bitAt(byte, 6);
}

void readFlagsA6605(LunFields& lun, uint8_t byte)
{
    lun.Refresh = bitAt(byte, 0);
    lun.CdromRefresh = bitAt(byte, 1);
    lun.Eject = bitAt(byte, 2);
    lun.WrProtectPin = bitAt(byte, 3);
    lun.extFlagA4 = bitAt(byte, 4);
    lun.extFieldA = bitsAt(byte, 5, 3);
}

void readFlagsBCommon(LunFields& lun, uint8_t byte)
{
    lun.ReadProtect = bitAt(byte, 0);
    lun.WriteProtect = bitAt(byte, 1);
    lun.DummyDisk = bitAt(byte, 2);
    lun.Hide = bitAt(byte, 3);
}

bool isVisible(CfgVariant variant, const LunFields& lun)
{
    if (lun.Capacity == 0 || lun.Hide == 1) {
        return false;
    }
    return !(variant == CfgVariant::V6726 && lun.DummyDisk == 1);
}

uint8_t lastLunByte(int visible) { return static_cast<uint8_t>(visible > 1 ? visible - 1 : 0); }

const char* sizeMessage(CfgVariant variant)
{
    switch (variant) {
    case CfgVariant::V6706: return "sizeof CFG_UDISK is %d";
    case CfgVariant::V6716: return "sizeof CFG_UDISK of 6716 is %d";
    case CfgVariant::V6716V31: return "sizeof CFG_UDISK_6716_V31 is %d";
    case CfgVariant::V6716V32: return "sizeof CFG_UDISK_6716_V32 is %d";
    case CfgVariant::V6726: return "sizeof CFG_UDISK_6726 is %d";
    case CfgVariant::V6605: return "sizeof CFG_UDISK of 6605 is %d";
    }
    return "";
}

// A hidden slot 0 takes no LUN number: the numbers move down one place.
// The count never goes past the fourth slot byte, so the flag bytes behind
// the slot numbers stay untouched.
void moveSlotNumbersDown(CfgUdiskRecord& rec, int n)
{
    n = std::min(n, LunTableLayout::kSlots);
    for (int j = 0; j + 1 < n; ++j) {
        rec.slot[j] = rec.slot[j + 1];
    }
    rec.slot[n - 1] = 0;
}

}  // namespace

int LunTableLayout::length(CfgVariant variant)
{
    switch (variant) {
    case CfgVariant::V6706: return 61;
    case CfgVariant::V6716:
    case CfgVariant::V6605: return 65;
    case CfgVariant::V6716V31:
    case CfgVariant::V6716V32:
    case CfgVariant::V6726: return 69;
    }
    return 0;
}

int LunTableLayout::write(CfgVariant variant, const std::vector<const LunFields*>& luns,
                          UdiskFields& item, void* place)
{
    if (variant == CfgVariant::V6706) {
        return write6706(luns, item, place);
    }
    const int len = length(variant);
    const bool is6605 = variant == CfgVariant::V6605;
    CfgUdiskRecord rec;
    // Bits the layout does not name keep what the sector holds.
    std::memcpy(&rec, place, len);

    const int slots = std::min<int>(static_cast<int>(luns.size()), kSlots);
    int visible = 0;
    bool anyDummy = false;
    for (int i = 0; i < slots; ++i) {
        const LunFields& lun = *luns[i];
        rec.flagsA[i] = is6605 ? flagsA6605(lun)
                               : static_cast<uint8_t>((rec.flagsA[i] & kFlagAUnwritten) | flagsA(lun));
        rec.diskType[i] = static_cast<uint8_t>(lun.DiskType);
        if (i > 0) {
            rec.startSector[i - 1].set(lun.StartSector);
        }
        rec.capacity[i].set(lun.Capacity);
        rec.slot[i] = static_cast<uint8_t>(i);
        if (isVisible(variant, lun)) {
            ++visible;
        }
        anyDummy = anyDummy || lun.DummyDisk == 1;
        rec.blockSize[i] = lun.DiskBlockSize;
        rec.rdProtect[i].set(lun.RdProtectStartingSec);
        rec.flagsB[i] = is6605 ? flagsB6605(lun) : flagsB(lun);
        CPLOG(7, "Add %d partition", i + 1);
    }
    rec.lastLun = lastLunByte(visible);
    rec.capDummy.set(item.CapDummy);
    const bool reservedAtTail = variant == CfgVariant::V6716V31 || variant == CfgVariant::V6716V32 ||
                                variant == CfgVariant::V6726;
    rec.tailWord.set(reservedAtTail ? item.udiskReserved : 0);

    if (variant == CfgVariant::V6716 || variant == CfgVariant::V6716V31 ||
        variant == CfgVariant::V6716V32) {
        for (uint8_t& a : rec.flagsA) {
            a |= kPinBit;
        }
    }
    if (is6605) {
        for (uint8_t& a : rec.flagsA) {
            a &= static_cast<uint8_t>(~kBit3);
        }
        if (slots > 0 && luns[0]->Hide == 1) {
            moveSlotNumbersDown(rec, visible + 1 + (anyDummy ? 1 : 0));
        }
    }

    if (item.highFormatPending) {
        // The table sent before the high format shows one removable LUN
        // spanning every placed sector.
        std::memset(rec.flagsB, 0, sizeof rec.flagsB);
        rec.lastLun = 0;
        rec.diskType[0] = 0x80;
        rec.blockSize[0] = 0;
        rec.capacity[0].set(item.totalCapacity);
        if (is6605) {
            for (int i = 0; i < kSlots; ++i) {
                rec.slot[i] = static_cast<uint8_t>(i);
            }
        } else {
            rec.flagsA[0] &= static_cast<uint8_t>(~kFirstRefreshBit);
        }
        item.highFormatPending = 0;
    }

    std::memcpy(place, &rec, len);
    CPLOG(7, sizeMessage(variant), len);
    return len;
}

int LunTableLayout::read(CfgVariant variant, const std::vector<LunFields*>& luns,
                         UdiskFields& item, const void* place)
{
    if (variant == CfgVariant::V6706) {
        return read6706(luns, item, place);
    }
    TESSOR_ASSERT(luns.size() >= static_cast<size_t>(kSlots));
    const int len = length(variant);
    const bool is6605 = variant == CfgVariant::V6605;
    CfgUdiskRecord rec{};
    std::memcpy(&rec, place, len);
    for (int i = 0; i < kSlots; ++i) {
        LunFields& lun = *luns[i];
        lun.DiskForLun = rec.slot[i];
        if (is6605) {
            readFlagsA6605(lun, rec.flagsA[i]);
        } else {
            readFlagsA(lun, rec.flagsA[i]);
        }
        lun.DiskType = rec.diskType[i];
        lun.StartSector = i == 0 ? 0 : rec.startSector[i - 1].get();
        lun.Capacity = rec.capacity[i].get();
        lun.DiskBlockSize = rec.blockSize[i];
        lun.RdProtectStartingSec = rec.rdProtect[i].get();
        readFlagsBCommon(lun, rec.flagsB[i]);
        if (is6605) {
            lun.extFlagB4 = bitAt(rec.flagsB[i], 4);
            lun.extFieldB = bitsAt(rec.flagsB[i], 5, 3);
        } else {
            lun.DiskInfoReserve = bitsAt(rec.flagsB[i], 4, 4);
        }
    }
    item.CapDummy = rec.capDummy.get();
    item.udiskReserved = rec.tailWord.get();
    CPLOG(7, sizeMessage(variant), len);
    return len;
}

int LunTableLayout::write6706(const std::vector<const LunFields*>& luns, const UdiskFields& item,
                              void* place)
{
    CfgUdisk6706Record rec;
    std::memcpy(&rec, place, sizeof rec);
    const int slots = std::min<int>(static_cast<int>(luns.size()), kSlots);
    int visible = 0;
    for (int i = 0; i < slots; ++i) {
        const LunFields& lun = *luns[i];
        rec.flagsA[i] = static_cast<uint8_t>((rec.flagsA[i] & kFlagAUnwritten) | flagsA(lun));
        rec.diskType[i] = static_cast<uint8_t>(lun.DiskType);
        if (i > 0) {
            rec.startSector[i - 1].set(lun.StartSector);
        }
        rec.capacity[i].set(lun.Capacity);
        rec.diskForLun[i] = lun.Capacity != 0 ? lun.DiskForLun : 0xFF;
        if (isVisible(CfgVariant::V6706, lun)) {
            ++visible;
        }
        rec.blockSize[i] = lun.DiskBlockSize;
        rec.rdProtect[i].set(lun.RdProtectStartingSec);
        rec.flagsB[i] = flagsB(lun);
        CPLOG(7, "Add %d LUN", i);
        CPLOG(7, "LUN Capacity is %d", static_cast<int>(lun.Capacity));
    }
    rec.lastLun = lastLunByte(visible);
    rec.udiskReserved.set(item.udiskReserved);
    std::memcpy(place, &rec, sizeof rec);
    CPLOG(7, sizeMessage(CfgVariant::V6706), static_cast<int>(sizeof rec));
    return sizeof rec;
}

int LunTableLayout::read6706(const std::vector<LunFields*>& luns, UdiskFields& item,
                             const void* place)
{
    CfgUdisk6706Record rec;
    std::memcpy(&rec, place, sizeof rec);
    const int slots = std::min<int>(static_cast<int>(luns.size()), kSlots);
    for (int i = 0; i < slots; ++i) {
        if (rec.diskForLun[i] == 0xFF) {
            continue;
        }
        LunFields& lun = *luns[i];
        lun.DiskForLun = rec.diskForLun[i];
        readFlagsA(lun, rec.flagsA[i]);
        lun.DiskType = rec.diskType[i];
        lun.StartSector = i == 0 ? 0 : rec.startSector[i - 1].get();
        lun.Capacity = rec.capacity[i].get();
        lun.DiskBlockSize = rec.blockSize[i];
        lun.RdProtectStartingSec = rec.rdProtect[i].get();
        readFlagsBCommon(lun, rec.flagsB[i]);
        lun.DiskInfoReserve = bitsAt(rec.flagsB[i], 4, 4);
    }
    item.udiskReserved = rec.udiskReserved.get();
    CPLOG(7, "sizeof CFG_UDISK is reverseSerialize %d", static_cast<int>(sizeof rec));
    return sizeof rec;
}

}  // namespace Tessor::usb
