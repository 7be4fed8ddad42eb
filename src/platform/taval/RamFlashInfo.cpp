#include "platform/taval/RamFlashInfo.h"

#include "platform/orrin/PlatformLog.h"

namespace Tessor::taval {

namespace {

constexpr int kBlockStart = 0x0C;

// Offsets inside the variant's FLASH_INFO block.
struct Layout {
    int length;
    int planeByte;  // bits 0-2 planes, 3-4 interleaves, 5-6 chips
    int readCycle;
    int writeCycle;
    int eccBits;  // -1: none
};

Layout layoutOf(int chipSet) {
    switch (chipSet) {
        case 1: return {61, 26, 44, 45, 51};   // 6706
        case 7: return {48, 15, 35, 36, -1};   // 6605
        case 4:
        case 5: return {54, 15, 35, 36, 40};   // 6716V31, 6716V32
        case 6: return {55, 15, 35, 36, 40};   // 6726
        default: return {50, 15, 35, 36, 40};  // 6716
    }
}

}  // namespace

RamFlashInfo RamFlashInfo::read(const Variant& variant, const std::vector<uint8_t>& table) {
    RamFlashInfo info;
    const Layout l = layoutOf(variant.id.chipSet);
    if (table.size() < size_t(kBlockStart + l.length)) {
        return info;
    }
    const uint8_t* block = table.data() + kBlockStart;
    const uint8_t planes = block[l.planeByte];
    info.present = true;
    info.maxPlanes = planes & 0x07;
    info.maxInterleaves = (planes >> 3) & 0x03;
    info.maxChips = (planes >> 5) & 0x03;
    info.readCycle = block[l.readCycle];
    info.writeCycle = block[l.writeCycle];
    info.eccBits = l.eccBits < 0 ? -1 : block[l.eccBits];
    PLATFORM_LOG(7, "RAM table: planes %d interleaves %d chips %d cycles 0x%02X/0x%02X ecc bits %d", info.planes(),
          info.interleaves(), info.gangedChips(), info.readCycle, info.writeCycle, info.eccBits);
    return info;
}

}  // namespace Tessor::taval
