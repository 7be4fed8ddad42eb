// Faults of a simulated device, declared in its description and drawn from
// one seed: the same description fails the same way on every run. Fractions
// are decided by hashing the block or sector number, so no per-sector table
// is held except for explicit lists.
#pragma once

#include <array>
#include <cstdint>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "platform/taval/DescriptionFile.h"
#include "platform/taval/Geometry.h"
#include "platform/taval/OpLog.h"
#include "platform/taval/PageStates.h"

namespace Tessor::taval {

class FaultRules {
public:
    // The two codes the operator stops a run with (HW_EVT_CANCEL).
    static constexpr int CANCEL_CODE = 0x8029;
    static constexpr int EJECT_CODE = 0x8027;

    // Reads the "Faults" section; false with `error` naming file, key and
    // value for a rule that cannot hold on this geometry.
    [[nodiscard]] bool parse(const DescriptionFile& file, const Geometry& g, std::string* error);

    // Block numbers are device-wide, pages are device-wide page numbers.
    bool isFactoryBad(int64_t block) const;
    bool eraseFails(int64_t block) const;
    bool programFails(int64_t page) const;
    bool pageChanges(int64_t page) const;
    // Symbols a read of this sector finds flipped (0 = clean).
    int readErrorSymbols(int64_t sector) const;

    // Counts one call of `kind`; true when this call is to fail.
    [[nodiscard]] bool failsCall(OpKind kind);

    // Media faults the controller's pattern test and the flash reads meet:
    // the bytes of the sector found wrong (0 = clean; a whole sector for
    // hard faults). `test` numbers the reading, for drawn weak failures.
    int wrongBytes(int64_t sector, const Geometry& g, const PageStates& pages, uint64_t test) const;
    bool hasMediaFaults() const { return m_media.any || !m_badBlocks.empty() || m_badFraction > 0; }
    // Cycle byte of the RAM table below which data is corrupted (0 = none).
    int minCycle() const { return m_media.minCycle; }
    // Vendor commands: after `vendorFailAfter` good ones, the next fails
    // `vendorFailAttempts` times (0: every command from then on fails).
    int64_t vendorFailAfter() const { return m_media.vendorFailAfter; }
    int vendorFailAttempts() const { return m_media.vendorFailAttempts; }
    // The operator cancels (code) after this many operations (0 = never).
    int64_t cancelAfter() const { return m_media.cancelAfter; }
    int cancelCode() const { return m_media.cancelCode; }

    // Byte of every configuration table sent to RAM that arrives changed, as
    // on a bad transfer (-1 = none).
    int tableToRamChangedByte() const { return m_tableToRamChangedByte; }
    // Byte of every code piece downloaded that arrives changed (-1 = none).
    int codeChangedByte() const { return m_codeChangedByte; }

    int removeAfter() const { return m_removeAfter; }
    int errorAfter() const { return m_errorAfter; }
    int errorCode() const { return m_errorCode; }

    // Uniform number in [0, 1) for (salt, n), fixed by the seed.
    double draw(uint64_t salt, uint64_t n) const;
    uint64_t hash(uint64_t salt, uint64_t n) const;

private:
    struct CallRule {
        int64_t nth = 0;  // 0 = never
        bool always = false;
        int64_t calls = 0;
    };

    // Blocks a page rule applies to: all, or a list.
    struct BlockScope {
        bool all = false;
        std::set<int64_t> blocks;
        bool has(int64_t block) const { return all || blocks.count(block) != 0; }
        bool empty() const { return !all && blocks.empty(); }
    };

    struct MediaRules {
        bool any = false;
        std::set<int64_t> badSectors;
        std::map<int64_t, int64_t> mostlyBadBlocks;  // block -> failing sectors
        std::set<int64_t> firstPageBadBlocks;
        std::set<int64_t> weakSectors;
        double weakSectorFraction = 0;
        double weakProbability = 0;  // 0: fails on every odd-numbered program
        int weakWrongBytes = 8;
        int weakSectorsPerPage = 1;
        std::set<int64_t> weakBlockPages;  // page numbers inside every block
        BlockScope upperHalfWeak;
        BlockScope cPagesWeak;
        BlockScope adjacentDisturb;
        std::multimap<int64_t, int64_t> pairedPages;  // weak page -> disturbing page
        int minCycle = 0;
        int64_t vendorFailAfter = 0;
        int vendorFailAttempts = 0;
        int64_t cancelAfter = 0;
        int cancelCode = CANCEL_CODE;
    };

    // 1 = a media rule taken, 0 = no media rule, -1 = bad value (`why`).
    [[nodiscard]] int parseMediaRule(const std::string& name, const std::string& value, const Geometry& g, std::string* why);
    bool isWeak(int64_t sector, const Geometry& g, const PageStates& pages) const;

    uint64_t m_seed = 0;
    std::set<int64_t> m_badBlocks;
    double m_badFraction = 0;
    std::set<int64_t> m_eraseFailBlocks;
    std::set<int64_t> m_programFailPages;
    std::set<int64_t> m_changedPages;
    std::map<int64_t, int> m_readErrors;
    double m_readErrorFraction = 0;
    int m_readErrorSymbols = 1;
    std::array<CallRule, size_t(OpKind::Count)> m_calls{};
    int m_tableToRamChangedByte = -1;
    int m_codeChangedByte = -1;
    int m_removeAfter = 0;
    int m_errorAfter = 0;
    int m_errorCode = 0;
    MediaRules m_media;
};

}  // namespace Tessor::taval
