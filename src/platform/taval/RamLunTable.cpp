#include "platform/taval/RamLunTable.h"

#include "platform/orrin/ByteOrder.h"
#include "platform/orrin/PlatformLog.h"

namespace Tessor::taval {

namespace {

// Where the LUN table starts in the table sector, and where its fields lie
// inside it. Slot 0 always starts at sector 0; the start words are slots 1-3.
struct Layout {
    int offset;
    int flagsB;
    bool slotPresence;  // 6706: byte 1+i is 0xFF for an empty slot
};

Layout layoutOf(int chipSet) {
    switch (chipSet) {
        case 1: return {0x49, 0x35, true};   // 6706
        case 4:
        case 5: return {0x42, 0x39, false};  // 6716V31, 6716V32
        case 6: return {0x43, 0x39, false};  // 6726
        case 7: return {0x3C, 0x39, false};  // 6605
        default: return {0x3E, 0x39, false};  // 6716
    }
}

constexpr int kFlagsA = 5;
constexpr int kDiskType = 9;
constexpr int kStart = 13;
constexpr int kCapacity = 0x19;
constexpr int kLength = 0x3D;

}  // namespace

RamLunTable RamLunTable::read(const Variant& variant, const std::vector<uint8_t>& table) {
    RamLunTable units;
    const Layout l = layoutOf(variant.id.chipSet);
    if (table.size() < size_t(l.offset + kLength)) {
        return units;
    }
    const uint8_t* t = table.data() + l.offset;
    units.lastLun = t[0];
    for (int i = 0; i < kSlots; ++i) {
        if (l.slotPresence && t[1 + i] == 0xFF) {
            continue;
        }
        RamLun& u = units.slot[i];
        u.start = i == 0 ? 0 : fieldAt<Be32>(t + kStart + 4 * (i - 1));
        u.capacity = fieldAt<Be32>(t + kCapacity + 4 * i);
        u.diskType = t[kDiskType + i];
        u.flagsA = t[kFlagsA + i];
        u.flagsB = t[l.flagsB + i];
        PLATFORM_LOG(7, "RAM table: LUN slot %d start %u capacity %u type 0x%02X flags 0x%02X/0x%02X", i, u.start,
              u.capacity, u.diskType, u.flagsA, u.flagsB);
    }
    return units;
}

}  // namespace Tessor::taval
