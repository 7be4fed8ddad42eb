// The value forms of fault rules: numbers, lists and ranges, fractions.
// Each returns false with `why` set when the text is not of its form.
#pragma once

#include <cstdint>
#include <set>
#include <string>
#include <utility>
#include <vector>

namespace Tessor::taval {

[[nodiscard]] bool parseRuleInt(const std::string& text, int64_t* out);
[[nodiscard]] bool parseRuleCount(const std::string& text, int64_t low, int64_t high, int64_t* out, std::string* why);
[[nodiscard]] bool parseRuleFraction(const std::string& text, double* out, std::string* why);
// "3,7,10-12" into `out`, each within [0, limit); explicit lists stay small.
[[nodiscard]] bool parseRuleList(const std::string& text, int64_t limit, std::set<int64_t>* out, std::string* why);
// "N:M,..." pairs, N within [0, limit) and M within [low, high].
[[nodiscard]] bool parseRulePairs(const std::string& text, int64_t limit, int64_t low, int64_t high,
                    std::vector<std::pair<int64_t, int64_t>>* out, std::string* why);

}  // namespace Tessor::taval
