// Media faults of a simulated device: hard and weak sectors, page and block
// rules, and the disturb effects that depend on what else was programmed.
#include "platform/orrin/Sector.h"
#include "platform/taval/FaultRuleText.h"
#include "platform/taval/FaultRules.h"

namespace Tessor::taval {

namespace {

constexpr uint64_t kSaltWeak = 5;
constexpr uint64_t kSaltWeakDraw = 6;

bool parseScope(const std::string& value, int64_t blocks, std::set<int64_t>* list, bool* all, std::string* why) {
    *all = value == "all";
    return *all || parseRuleList(value, blocks, list, why);
}

// C pages of a triple-level-cell block: the pages the B-and-C pattern marks
// beyond the B pattern, for blocks of 128 pages (94 real) and of 256.
bool isCPage(int64_t pageInBlock, int pagesPerBlock) {
    if (pagesPerBlock == 128) {
        return pageInBlock >= 6 && pageInBlock < 94 && (pageInBlock - 6) % 3 == 0;
    }
    return pageInBlock >= 4 && pageInBlock < 192 && (pageInBlock - 4) % 3 == 0;
}

bool anyProgrammed(const PageStates& pages, int64_t firstPage, int count) {
    for (int64_t p = firstPage; p < firstPage + count; ++p) {
        if (pages.programmedSinceErase(p)) {
            return true;
        }
    }
    return false;
}

}  // namespace

int FaultRules::parseMediaRule(const std::string& name, const std::string& value, const Geometry& g,
                               std::string* why) {
    MediaRules& m = m_media;
    const int64_t blocks = g.totalBlocks();
    const int64_t spb = g.sectorsPerBlock();
    int64_t n = 0;
    bool ok = true;
    std::vector<std::pair<int64_t, int64_t>> pairs;
    if (name == "BadSectors") {
        ok = parseRuleList(value, g.totalSectors(), &m.badSectors, why);
    } else if (name == "MostlyBadBlocks") {
        ok = parseRulePairs(value, blocks, 1, spb, &pairs, why);
        for (const auto& [block, count] : pairs) {
            m.mostlyBadBlocks[block] = count;
        }
    } else if (name == "FirstPageBadBlocks") {
        ok = parseRuleList(value, blocks, &m.firstPageBadBlocks, why);
    } else if (name == "WeakSectors") {
        ok = parseRuleList(value, g.totalSectors(), &m.weakSectors, why);
    } else if (name == "WeakSectorFraction") {
        ok = parseRuleFraction(value, &m.weakSectorFraction, why);
    } else if (name == "WeakProbability") {
        ok = parseRuleFraction(value, &m.weakProbability, why);
    } else if (name == "WeakWrongBytes") {
        ok = parseRuleCount(value, 1, SECTOR_BYTES, &n, why);
        m.weakWrongBytes = int(n);
    } else if (name == "WeakSectorsPerPage") {
        ok = parseRuleCount(value, 1, g.sectorsPerPage, &n, why);
        m.weakSectorsPerPage = int(n);
    } else if (name == "WeakBlockPages") {
        ok = parseRuleList(value, g.pagesPerBlock, &m.weakBlockPages, why);
    } else if (name == "UpperHalfWeak") {
        ok = parseScope(value, blocks, &m.upperHalfWeak.blocks, &m.upperHalfWeak.all, why);
    } else if (name == "CPagesWeak") {
        ok = parseScope(value, blocks, &m.cPagesWeak.blocks, &m.cPagesWeak.all, why);
        if (ok && (g.realPagesPerBlock == 0 || g.pagesPerBlock < 128)) {
            *why = "C pages need a triple-level-cell geometry (RealPagesPerBlock 94 or 192)";
            ok = false;
        }
    } else if (name == "AdjacentBlockDisturb") {
        ok = parseScope(value, blocks, &m.adjacentDisturb.blocks, &m.adjacentDisturb.all, why);
    } else if (name == "PairedPages") {
        ok = parseRulePairs(value, g.pagesPerBlock, 0, g.pagesPerBlock - 1, &pairs, why);
        for (const auto& [weak, disturbing] : pairs) {
            m.pairedPages.emplace(weak, disturbing);
        }
    } else if (name == "MinCycle") {
        ok = parseRuleCount(value, 0, 0xFF, &n, why);
        m.minCycle = int(n);
    } else if (name == "VendorFailAfter") {
        ok = parseRuleCount(value, 0, 1LL << 40, &m.vendorFailAfter, why);
    } else if (name == "VendorFailAttempts") {
        ok = parseRuleCount(value, 0, 1000, &n, why);
        m.vendorFailAttempts = int(n);
    } else if (name == "CancelAfter") {
        ok = parseRuleCount(value, 0, 1LL << 40, &m.cancelAfter, why);
    } else if (name == "CancelCode") {
        ok = parseRuleCount(value, 0x8000, 0xFFFF, &n, why);
        if (ok && n != CANCEL_CODE && n != EJECT_CODE) {
            *why = "the operator stops a run with 0x8029 (cancel) or 0x8027 (eject)";
            ok = false;
        }
        m.cancelCode = int(n);
    } else {
        return 0;
    }
    m.any = !m.badSectors.empty() || !m.mostlyBadBlocks.empty() || !m.firstPageBadBlocks.empty() ||
            !m.weakSectors.empty() || m.weakSectorFraction > 0 || !m.weakBlockPages.empty() ||
            !m.upperHalfWeak.empty() || !m.cPagesWeak.empty() || !m.adjacentDisturb.empty() ||
            !m.pairedPages.empty();
    return ok ? 1 : -1;
}

bool FaultRules::isWeak(int64_t sector, const Geometry& g, const PageStates& pages) const {
    const MediaRules& m = m_media;
    if (m.weakSectors.count(sector) != 0 ||
        (m.weakSectorFraction > 0 && draw(kSaltWeak, uint64_t(sector)) < m.weakSectorFraction)) {
        return true;
    }
    if (sector % g.sectorsPerPage >= m.weakSectorsPerPage) {
        return false;
    }
    const int64_t page = sector / g.sectorsPerPage;
    const int64_t block = page / g.pagesPerBlock;
    const int64_t inBlock = page % g.pagesPerBlock;
    if (m.weakBlockPages.count(inBlock) != 0 || (m.upperHalfWeak.has(block) && inBlock >= g.pagesPerBlock / 2) ||
        (m.cPagesWeak.has(block) && isCPage(inBlock, g.pagesPerBlock))) {
        return true;
    }
    // An odd block suffers while its even neighbour holds programmed pages.
    if (block % 2 == 1 && m.adjacentDisturb.has(block) &&
        anyProgrammed(pages, (block - 1) * g.pagesPerBlock, g.pagesPerBlock)) {
        return true;
    }
    const auto [first, last] = m.pairedPages.equal_range(inBlock);
    for (auto it = first; it != last; ++it) {
        if (pages.programmedSinceErase(block * g.pagesPerBlock + it->second)) {
            return true;
        }
    }
    return false;
}

int FaultRules::wrongBytes(int64_t sector, const Geometry& g, const PageStates& pages, uint64_t test) const {
    if (!hasMediaFaults()) {
        return 0;
    }
    const MediaRules& m = m_media;
    const int64_t spb = g.sectorsPerBlock();
    const int64_t block = sector / spb;
    const int64_t inBlock = sector % spb;
    const auto mostly = m.mostlyBadBlocks.find(block);
    if (isFactoryBad(block) || m.badSectors.count(sector) != 0 ||
        (inBlock < g.sectorsPerPage && m.firstPageBadBlocks.count(block) != 0) ||
        (mostly != m.mostlyBadBlocks.end() && inBlock >= spb - mostly->second)) {
        return SECTOR_BYTES;
    }
    if (!m.any || !isWeak(sector, g, pages)) {
        return 0;
    }
    const bool fires = m.weakProbability > 0
                           ? draw(kSaltWeakDraw, uint64_t(sector) * 0x100000001B3ULL ^ test) < m.weakProbability
                           : pages.oddLifetimeProgram(sector / g.sectorsPerPage);
    return fires ? m.weakWrongBytes : 0;
}

}  // namespace Tessor::taval
