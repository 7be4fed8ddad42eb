#include "platform/taval/FaultRules.h"

#include <cstdlib>
#include <sstream>

namespace Tessor::taval {

namespace {

constexpr uint64_t kSaltBad = 1;
constexpr uint64_t kSaltRead = 2;
constexpr size_t kMaxListed = 65536;

struct Field {
    const DescriptionFile& file;
    std::string key;
    std::string value;

    bool fail(std::string* error, const std::string& why) const {
        *error = file.path() + ": key " + key + " value '" + value + "': " + why;
        return false;
    }
};

bool parseInt(const std::string& text, int64_t* out) {
    if (text.empty()) {
        return false;
    }
    char* end = nullptr;
    const long long v = std::strtoll(text.c_str(), &end, 0);
    if (*end != '\0') {
        return false;
    }
    *out = v;
    return true;
}

// "3,7,10-12" into `out`, each within [0, limit).
bool parseList(const Field& f, int64_t limit, std::set<int64_t>* out, std::string* error) {
    std::stringstream in(f.value);
    std::string item;
    while (std::getline(in, item, ',')) {
        const size_t dash = item.find('-', 1);
        int64_t first = 0;
        int64_t last = 0;
        const bool ok = dash == std::string::npos
                            ? parseInt(item, &first) && parseInt(item, &last)
                            : parseInt(item.substr(0, dash), &first) &&
                                  parseInt(item.substr(dash + 1), &last);
        if (!ok || first < 0 || last < first || last >= limit) {
            return f.fail(error, "'" + item + "' is not a number or range below " + std::to_string(limit));
        }
        // Explicit lists stay small; large shares are fractions.
        if (out->size() + size_t(last - first) >= kMaxListed) {
            return f.fail(error, "more than " + std::to_string(kMaxListed) + " entries; use a fraction");
        }
        for (int64_t v = first; v <= last; ++v) {
            out->insert(v);
        }
    }
    return true;
}

bool parseFraction(const Field& f, double* out, std::string* error) {
    char* end = nullptr;
    const double v = std::strtod(f.value.c_str(), &end);
    if (f.value.empty() || *end != '\0' || !(v >= 0.0 && v <= 1.0)) {
        return f.fail(error, "not a fraction between 0 and 1");
    }
    *out = v;
    return true;
}

bool parseCount(const Field& f, int64_t low, int64_t high, int64_t* out, std::string* error) {
    if (!parseInt(f.value, out) || *out < low || *out > high) {
        return f.fail(error, "not a number from " + std::to_string(low) + " to " + std::to_string(high));
    }
    return true;
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
            if (!parseInt(value, &n)) {
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
            std::stringstream in(value);
            std::string item;
            while (std::getline(in, item, ',')) {
                const size_t colon = item.find(':');
                int64_t sector = 0;
                int64_t symbols = 0;
                if (colon == std::string::npos || !parseInt(item.substr(0, colon), &sector) ||
                    !parseInt(item.substr(colon + 1), &symbols) || sector < 0 ||
                    sector >= g.totalSectors() || symbols < 1 || symbols > 64) {
                    return f.fail(error, "'" + item + "' is not sector:symbols");
                }
                m_readErrors[sector] = int(symbols);
            }
        } else if (name == "ReadErrorFraction") {
            if (!parseFraction(f, &m_readErrorFraction, error)) return false;
        } else if (name == "ReadErrorSymbols") {
            if (!parseCount(f, 1, 64, &n, error)) return false;
            m_readErrorSymbols = int(n);
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
            for (int k = 0; k <= int(OpKind::EjectOutcome); ++k) {
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
            return f.fail(error, "unknown fault rule");
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

bool FaultRules::eraseFails(int64_t block) const {
    return isFactoryBad(block) || m_eraseFailBlocks.count(block) != 0;
}

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
