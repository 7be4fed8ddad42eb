#include "usb/cfg/LunTableLayout.h"

#include <algorithm>
#include <cstring>

#include "schema/base/Assert.h"
#include "schema/base/Log.h"
#include "usb/cfg/FieldTransfer.h"

namespace Tessor::usb {

namespace {

constexpr uint8_t kFlagAUnwritten = 0x80;
constexpr uint8_t kPinBit = 0x10;
constexpr uint8_t kFirstRefreshBit = 0x20;
constexpr uint8_t kBit3 = 0x08;

// Each description below takes the direction `io` (PackFields or
// UnpackFields), the LUN (const when packing) and the record.

template <class Io, class Lun>
void flagsA(const Io& io, Lun& lun, uint8_t& a, bool is6605)
{
    io.keepOnWrite(a, is6605 ? 0 : kFlagAUnwritten);
    io.bits(a, lun.Refresh, 0);
    io.bits(a, lun.CdromRefresh, 1);
    io.bits(a, lun.Eject, 2);
    if (is6605) {
        io.readOnlyBits(a, lun.WrProtectPin, 3);
        io.readOnlyBits(a, lun.extFlagA4, 4);
        io.bits(a, lun.extFieldA, 5, 3);
        return;
    }
    io.bits(a, lun.bit3_rsv, 3);
    io.bits(a, lun.WrProtectPin, 4);
    io.bits(a, lun.firstRefresh, 5);
    io.bits(a, lun.refreshEn, 6);
}

template <class Io, class Lun>
void flagsB(const Io& io, Lun& lun, uint8_t& b, bool is6605)
{
    io.keepOnWrite(b, 0);
    io.bits(b, lun.ReadProtect, 0);
    io.bits(b, lun.WriteProtect, 1);
    io.bits(b, lun.DummyDisk, 2);
    io.bits(b, lun.Hide, 3);
    if (is6605) {
        io.bits(b, lun.extFlagB4, 4);
        io.bits(b, lun.extFieldB, 5, 3);
    } else {
        io.bits(b, lun.DiskInfoReserve, 4, 4);
    }
}

// The fields of slot `i` that both record types carry.
template <class Io, class Lun, class Record>
void slotFields(const Io& io, Lun& lun, Record& rec, int i, bool is6605)
{
    flagsA(io, lun, rec.flagsA[i], is6605);
    io.field(rec.diskType[i], lun.DiskType);
    if (i > 0) {
        io.field(rec.startSector[i - 1], lun.StartSector);
    } else {
        io.readsAs(lun.StartSector, 0);  // slot 0 starts at sector 0
    }
    io.field(rec.capacity[i], lun.Capacity);
    io.field(rec.blockSize[i], lun.DiskBlockSize);
    io.field(rec.rdProtect[i], lun.RdProtectStartingSec);
    flagsB(io, lun, rec.flagsB[i], is6605);
}

// The item's own words: the dummy capacity, and the reserved word that the
// 149-byte-code variants keep at the tail (the others write 0 there).
template <class Io, class Item>
void itemWords(const Io& io, Item& item, CfgUdiskRecord& rec, CfgVariant variant)
{
    io.field(rec.capDummy, item.CapDummy);
    if (variant == CfgVariant::V6716V31 || variant == CfgVariant::V6716V32 || variant == CfgVariant::V6726) {
        io.field(rec.tailWord, item.udiskReserved);
    } else {
        io.writesAs(rec.tailWord, 0u);
        io.readsAs(item.udiskReserved, rec.tailWord.get());
    }
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
        slotFields(PackFields{}, lun, rec, i, is6605);
        rec.slot[i] = static_cast<uint8_t>(i);
        if (isVisible(variant, lun)) {
            ++visible;
        }
        anyDummy = anyDummy || lun.DummyDisk == 1;
        CPLOG(7, "Add %d partition", i + 1);
    }
    rec.lastLun = lastLunByte(visible);
    itemWords(PackFields{}, static_cast<const UdiskFields&>(item), rec, variant);

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
        slotFields(UnpackFields{}, lun, rec, i, is6605);
    }
    itemWords(UnpackFields{}, item, rec, variant);
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
        slotFields(PackFields{}, lun, rec, i, false);
        rec.diskForLun[i] = lun.Capacity != 0 ? lun.DiskForLun : 0xFF;
        if (isVisible(CfgVariant::V6706, lun)) {
            ++visible;
        }
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
        slotFields(UnpackFields{}, lun, rec, i, false);
    }
    item.udiskReserved = rec.udiskReserved.get();
    CPLOG(7, "sizeof CFG_UDISK is reverseSerialize %d", static_cast<int>(sizeof rec));
    return sizeof rec;
}

}  // namespace Tessor::usb
