#pragma once

#include <chrono>
#include <cstdint>
#include <random>

namespace game {

// A float in [0, 1) from the top 24 bits of a 32-bit draw: every value is
// exact, so nothing can round up to 1.
inline float unitFloat(std::uint32_t bits)
{
    return static_cast<float>(bits >> 8) * 0x1p-24f;
}

// The random source a front end hands the game: the same sequence on every
// platform for the same seed.
class RandomSource {
public:
    // Nanoseconds of the system clock: two runs started at different
    // moments draw different sequences.
    void seedFromClock()
    {
        const auto now = std::chrono::system_clock::now().time_since_epoch();
        const auto ns = static_cast<std::uint64_t>(std::chrono::duration_cast<std::chrono::nanoseconds>(now).count());
        std::seed_seq seed { static_cast<std::uint32_t>(ns), static_cast<std::uint32_t>(ns >> 32) };
        m_generator.seed(seed);
    }

    float next() { return unitFloat(static_cast<std::uint32_t>(m_generator())); }

private:
    std::mt19937 m_generator;
};

} // namespace game
