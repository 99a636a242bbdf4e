#pragma once

#include <cstdint>

namespace bVarious {

// A scroll bar over more rows than its int can count: past kScaledSteps rows its values are
// steps of a scale that spans them all, so that both ends stay reachable and every value
// stands for one top row. Up to then a value is the top row itself.
class ScrollScale
{
  public:
    static constexpr std::uint64_t kScaledSteps = std::uint64_t{1} << 30;

    // lastTop: the top row that shows the last rows.
    explicit ScrollScale(std::uint64_t lastTop = 0) : m_lastTop(lastTop) {}

    bool Scaled() const { return m_lastTop > kScaledSteps; }
    // The scroll bar's largest value.
    int Maximum() const { return static_cast<int>(Scaled() ? kScaledSteps : m_lastTop); }

    // The top row a value stands for, and the value that shows a top row: the largest whose
    // top row is at or before it.
    std::uint64_t TopOf(int value) const;
    int ValueOf(std::uint64_t top) const;

  private:
    std::uint64_t m_lastTop;
};

} // namespace bVarious
