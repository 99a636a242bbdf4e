#include "scrollscale.h"

#include <algorithm>

namespace bVarious {

std::uint64_t ScrollScale::TopOf(int value) const
{
    const auto steps = static_cast<std::uint64_t>(std::clamp(value, 0, Maximum()));
    if (!Scaled())
        return steps;
    // steps * lastTop / kScaledSteps, rounded up, without the product's 94 bits.
    constexpr unsigned kShift = 30;
    const std::uint64_t whole = m_lastTop >> kShift;
    const std::uint64_t part = m_lastTop & (kScaledSteps - 1);
    return steps * whole + (steps * part + kScaledSteps - 1) / kScaledSteps;
}

int ScrollScale::ValueOf(std::uint64_t top) const
{
    top = std::min(top, m_lastTop);
    if (!Scaled())
        return static_cast<int>(top);
    // The quotient in floating point lies within a step of the answer.
    auto value = static_cast<int>(static_cast<double>(top) / static_cast<double>(m_lastTop) *
                                  static_cast<double>(kScaledSteps));
    value = std::clamp(value, 0, Maximum());
    while (value > 0 && TopOf(value) > top)
        --value;
    while (value < Maximum() && TopOf(value + 1) <= top)
        ++value;
    return value;
}

} // namespace bVarious
