#include "platform/taval/FaultRules.h"

#include "platform/taval/FaultRuleText.h"

namespace Tessor::taval {

namespace {

constexpr uint64_t kSaltBad = 1;
constexpr uint64_t kSaltRead = 2;

struct Field {
    const DescriptionFile& file;
    std::string key;
    std::string value;

    bool fail(std::string* error, const std::string& why) const {
        *error = file.refusal(key, value, why);
        return false;
    }
};

bool parseList(const Field& f, int64_t limit, std::set<int64_t>* out, std::string* error) {
    std::string why;
    return parseRuleList(f.value, limit, out, &why) || f.fail(error, why);
}

bool parseFraction(const Field& f, double* out, std::string* error) {
    std::string why;
    return parseRuleFraction(f.value, out, &why) || f.fail(error, why);
}

bool parseCount(const Field& f, int64_t low, int64_t high, int64_t* out, std::string* error) {
    std::string why;
    return parseRuleCount(f.value, low, high, out, &why) || f.fail(error, why);
}

}  // namespace

bool FaultRules::parse(const DescriptionFile& file, const Geometry& g, std::string* error) {
    const int64_t pages = g.totalBlocks() * g.pagesPerBlock;
    for (const auto& [key, value] : file.values()) {
        if (key.rfind("Faults.", 0) != 0) {
            continue;
        }
        const std::string name = key.substr(7);
        const Field f{file, key, value};
        int64_t n = 0;
        if (name == "Seed") {
            if (!parseRuleInt(value, &n)) {
                return f.fail(error, "not a number");
            }
            m_seed = uint64_t(n);
        } else if (name == "BadBlocks") {
            if (!parseList(f, g.totalBlocks(), &m_badBlocks, error)) return false;
        } else if (name == "BadBlockFraction") {
            if (!parseFraction(f, &m_badFraction, error)) return false;
        } else if (name == "EraseFailBlocks") {
            if (!parseList(f, g.totalBlocks(), &m_eraseFailBlocks, error)) return false;
        } else if (name == "ProgramFailPages") {
            if (!parseList(f, pages, &m_programFailPages, error)) return false;
        } else if (name == "ChangedPages") {
            if (!parseList(f, pages, &m_changedPages, error)) return false;
        } else if (name == "ReadErrorSectors") {
            // sector:symbols,...
            std::vector<std::pair<int64_t, int64_t>> pairs;
            std::string why;
            if (!parseRulePairs(value, g.totalSectors(), 1, 64, &pairs, &why)) {
                return f.fail(error, why);
            }
            for (const auto& [sector, symbols] : pairs) {
                m_readErrors[sector] = int(symbols);
            }
        } else if (name == "ReadErrorFraction") {
            if (!parseFraction(f, &m_readErrorFraction, error)) return false;
        } else if (name == "ReadErrorSymbols") {
            if (!parseCount(f, 1, 64, &n, error)) return false;
            m_readErrorSymbols = int(n);
        } else if (name == "TableToRamChangedByte") {
            if (!parseCount(f, 0, SECTOR_BYTES - 1, &n, error)) return false;
            m_tableToRamChangedByte = int(n);
        } else if (name == "CodeChangedByte") {
            if (!parseCount(f, 0, (1 << 20) - 1, &n, error)) return false;
            m_codeChangedByte = int(n);
        } else if (name == "RemoveAfter") {
            if (!parseCount(f, 0, 1 << 30, &n, error)) return false;
            m_removeAfter = int(n);
        } else if (name == "ErrorAfter") {
            if (!parseCount(f, 0, 1 << 30, &n, error)) return false;
            m_errorAfter = int(n);
        } else if (name == "ErrorCode") {
            if (!parseCount(f, 0, 0x7FF, &n, error)) return false;
            m_errorCode = int(n);
        } else if (name.rfind("Fail", 0) == 0) {
            // Fail<Kind>=always | n-th call
            const std::string kind = name.substr(4);
            int index = -1;
            for (int k = 0; k < int(OpKind::Count); ++k) {
                if (kind == opKindName(OpKind(k))) {
                    index = k;
                }
            }
            if (index < 0) {
                return f.fail(error, "unknown operation kind '" + kind + "'");
            }
            CallRule& rule = m_calls[size_t(index)];
            if (value == "always") {
                rule.always = true;
            } else if (!parseCount(f, 1, 1LL << 40, &rule.nth, error)) {
                return false;
            }
        } else {
            std::string why;
            const int taken = parseMediaRule(name, value, g, &why);
            if (taken <= 0) {
                return f.fail(error, taken < 0 ? why : "unknown fault rule");
            }
        }
    }
    return true;
}

uint64_t FaultRules::hash(uint64_t salt, uint64_t n) const {
    // splitmix64 over the seed, the rule and the number
    uint64_t z = m_seed * 0x9E3779B97F4A7C15ULL + salt * 0xD1B54A32D192ED03ULL + n + 0x632BE59BD9B4E019ULL;
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
    return z ^ (z >> 31);
}

double FaultRules::draw(uint64_t salt, uint64_t n) const { return double(hash(salt, n) >> 11) * 0x1.0p-53; }

bool FaultRules::isFactoryBad(int64_t block) const {
    return m_badBlocks.count(block) != 0 || (m_badFraction > 0 && draw(kSaltBad, uint64_t(block)) < m_badFraction);
}

// A factory-bad block erases "successfully" and stays bad, as the tool's
// chip erase expects of a real part; only declared erase faults fail.
bool FaultRules::eraseFails(int64_t block) const { return m_eraseFailBlocks.count(block) != 0; }

bool FaultRules::programFails(int64_t page) const { return m_programFailPages.count(page) != 0; }

bool FaultRules::pageChanges(int64_t page) const { return m_changedPages.count(page) != 0; }

int FaultRules::readErrorSymbols(int64_t sector) const {
    const auto it = m_readErrors.find(sector);
    if (it != m_readErrors.end()) {
        return it->second;
    }
    return m_readErrorFraction > 0 && draw(kSaltRead, uint64_t(sector)) < m_readErrorFraction ? m_readErrorSymbols
                                                                                               : 0;
}

bool FaultRules::failsCall(OpKind kind) {
    CallRule& rule = m_calls[size_t(kind)];
    ++rule.calls;
    return rule.always || (rule.nth != 0 && rule.calls == rule.nth);
}

}  // namespace Tessor::taval
