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

#include "platform/taval/DescriptionFile.h"
#include "platform/taval/Geometry.h"
#include "platform/taval/OpLog.h"

namespace Tessor::taval {

class FaultRules {
public:
    // Reads the "Faults" section; false with `error` naming file, key and
    // value for a rule that cannot hold on this geometry.
    bool parse(const DescriptionFile& file, const Geometry& g, std::string* error);

    // Block numbers are device-wide, pages are device-wide page numbers.
    bool isFactoryBad(int64_t block) const;
    bool eraseFails(int64_t block) const;
    bool programFails(int64_t page) const;
    bool pageChanges(int64_t page) const;
    // Symbols a read of this sector finds flipped (0 = clean).
    int readErrorSymbols(int64_t sector) const;

    // Counts one call of `kind`; true when this call is to fail.
    bool failsCall(OpKind kind);

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
    int m_removeAfter = 0;
    int m_errorAfter = 0;
    int m_errorCode = 0;
};

}  // namespace Tessor::taval
