#include "platform/taval/FaultRuleText.h"

#include <cstdlib>
#include <sstream>

namespace Tessor::taval {

namespace {
constexpr size_t kMaxListed = 65536;
}  // namespace

bool parseRuleInt(const std::string& text, int64_t* out) {
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

bool parseRuleCount(const std::string& text, int64_t low, int64_t high, int64_t* out, std::string* why) {
    if (!parseRuleInt(text, out) || *out < low || *out > high) {
        *why = "not a number from " + std::to_string(low) + " to " + std::to_string(high);
        return false;
    }
    return true;
}

bool parseRuleFraction(const std::string& text, double* out, std::string* why) {
    char* end = nullptr;
    const double v = std::strtod(text.c_str(), &end);
    if (text.empty() || *end != '\0' || !(v >= 0.0 && v <= 1.0)) {
        *why = "not a fraction between 0 and 1";
        return false;
    }
    *out = v;
    return true;
}

bool parseRuleList(const std::string& text, int64_t limit, std::set<int64_t>* out, std::string* why) {
    std::stringstream in(text);
    std::string item;
    while (std::getline(in, item, ',')) {
        const size_t dash = item.find('-', 1);
        int64_t first = 0;
        int64_t last = 0;
        const bool ok = dash == std::string::npos
                            ? parseRuleInt(item, &first) && parseRuleInt(item, &last)
                            : parseRuleInt(item.substr(0, dash), &first) &&
                                  parseRuleInt(item.substr(dash + 1), &last);
        if (!ok || first < 0 || last < first || last >= limit) {
            *why = "'" + item + "' is not a number or range below " + std::to_string(limit);
            return false;
        }
        // Large shares are fractions, not lists.
        if (out->size() + size_t(last - first) >= kMaxListed) {
            *why = "more than " + std::to_string(kMaxListed) + " entries; use a fraction";
            return false;
        }
        for (int64_t v = first; v <= last; ++v) {
            out->insert(v);
        }
    }
    return true;
}

bool parseRulePairs(const std::string& text, int64_t limit, int64_t low, int64_t high,
                    std::vector<std::pair<int64_t, int64_t>>* out, std::string* why) {
    std::stringstream in(text);
    std::string item;
    while (std::getline(in, item, ',')) {
        const size_t colon = item.find(':');
        int64_t n = 0;
        int64_t m = 0;
        if (colon == std::string::npos || !parseRuleInt(item.substr(0, colon), &n) ||
            !parseRuleInt(item.substr(colon + 1), &m) || n < 0 || n >= limit || m < low || m > high ||
            out->size() >= kMaxListed) {
            *why = "'" + item + "' is not N:M with N below " + std::to_string(limit) + " and M from " +
                   std::to_string(low) + " to " + std::to_string(high);
            return false;
        }
        out->emplace_back(n, m);
    }
    return true;
}

}  // namespace Tessor::taval
