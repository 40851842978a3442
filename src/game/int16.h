#pragma once

#include <cmath>
#include <cstdint>
#include <stdexcept>

// The score counters are signed 16-bit numbers that never wrap: a result out
// of range is an error and the target keeps its old value.
class OverflowError final : public std::overflow_error {
public:
    OverflowError()
        : std::overflow_error("Overflow: a score went past its limit of 32767 points. "
                              "The score that overflowed keeps its last value.")
    {
    }
};

// Rounds to the nearest integer, ties to even.
inline std::int16_t toInt16(double value)
{
    const double rounded = std::nearbyint(value);
    if (!(rounded >= INT16_MIN && rounded <= INT16_MAX))
        throw OverflowError();
    return static_cast<std::int16_t>(rounded);
}

inline std::int16_t add16(std::int16_t a, std::int16_t b)
{
    const int sum = a + b;
    if (sum < INT16_MIN || sum > INT16_MAX)
        throw OverflowError();
    return static_cast<std::int16_t>(sum);
}
