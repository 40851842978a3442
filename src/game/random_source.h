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

// The game's one source of chance: the same sequence on every platform for
// the same seed. Virtual so that a test can script the draws.
class RandomSource {
public:
    virtual ~RandomSource() = default;

    // Nanoseconds of the system clock: two runs started at different
    // moments draw different sequences.
    virtual void seedFromClock()
    {
        const auto now = std::chrono::system_clock::now().time_since_epoch();
        const auto ns = static_cast<std::uint64_t>(std::chrono::duration_cast<std::chrono::nanoseconds>(now).count());
        std::seed_seq seed { static_cast<std::uint32_t>(ns), static_cast<std::uint32_t>(ns >> 32) };
        generator.seed(seed);
    }

    // A uniform number in [0, 1).
    virtual float next() { return unitFloat(static_cast<std::uint32_t>(generator())); }

private:
    std::mt19937 generator;
};

} // namespace game
