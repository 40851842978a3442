#pragma once

#include <cmath>
#include <cstdint>
#include <stdexcept>

namespace game {

// The score counters are signed 16-bit numbers that never wrap: a click that
// would carry one out of range is an error, and that score keeps its value.
class ScoreOverflow final : public std::overflow_error {
public:
    ScoreOverflow()
        : std::overflow_error("Overflow: a score went past its limit of 32767 points. "
                              "The score that overflowed keeps its last value.")
    {
    }
};

// Every score is in range but their sum is not: no score changed, there is
// just no total to show or to judge.
class TotalOverflow final : public std::overflow_error {
public:
    TotalOverflow()
        : std::overflow_error("Overflow: the total of the scores went past 32767 points, "
                              "so there is no summary and no verdict.")
    {
    }
};

// Rounds to the nearest integer, ties to even.
inline std::int16_t toInt16(double value)
{
    const double rounded = std::nearbyint(value);
    if (!(rounded >= INT16_MIN && rounded <= INT16_MAX))
        throw ScoreOverflow();
    return static_cast<std::int16_t>(rounded);
}

// (first + second) + third, each sum checked against the 16-bit range.
inline std::int16_t total16(std::int16_t first, std::int16_t second, std::int16_t third)
{
    const auto add = [](int a, int b) {
        const int sum = a + b;
        if (sum < INT16_MIN || sum > INT16_MAX)
            throw TotalOverflow();
        return sum;
    };
    return static_cast<std::int16_t>(add(add(first, second), third));
}

} // namespace game
