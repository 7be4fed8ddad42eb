// The ceiling of a division: how many whole units hold an amount.
#pragma once

#include <type_traits>

namespace Tessor {

// Units of `unit` that hold `amount`; both are positive.
template <class Amount, class Unit>
constexpr std::common_type_t<Amount, Unit> ceilDivide(Amount amount, Unit unit)
{
    return (amount + unit - 1) / unit;
}

}  // namespace Tessor
