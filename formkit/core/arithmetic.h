#pragma once

#include "core/runtime_error.h"

#include <cmath>
#include <cstdint>
#include <limits>
#include <utility>

// The runtime's whole-number arithmetic: 16-bit Integers and 32-bit Longs that raise the
// overflow error instead of wrapping, and conversions from floating point that round to the
// nearest whole number, halves to the even neighbour.
namespace fk {

namespace detail {

template <class Whole> Whole roundOrOverflow(double value)
{
    const double rounded = std::nearbyint(value);
    if (!(rounded >= std::numeric_limits<Whole>::min() && rounded <= std::numeric_limits<Whole>::max()))
        throw RuntimeError::overflow();
    return static_cast<Whole>(rounded);
}

template <class Whole, class Wide> Whole narrowOrOverflow(Wide value)
{
    if (!std::in_range<Whole>(value))
        throw RuntimeError::overflow();
    return static_cast<Whole>(value);
}

} // namespace detail

inline std::int32_t toLong(double value) { return detail::roundOrOverflow<std::int32_t>(value); }
inline std::int16_t toInteger(double value) { return detail::roundOrOverflow<std::int16_t>(value); }

// The result of Long or Integer arithmetic done in a wider type.
inline std::int32_t checkedLong(std::int64_t value) { return detail::narrowOrOverflow<std::int32_t>(value); }
inline std::int16_t checkedInteger(std::int32_t value) { return detail::narrowOrOverflow<std::int16_t>(value); }

} // namespace fk
