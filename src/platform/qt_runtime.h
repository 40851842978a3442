#pragma once

#include "platform/runtime.h"

#include <chrono>
#include <cstdint>
#include <random>

namespace platform {

// A float in [0, 1) from the top 24 bits of a 32-bit draw: every value is
// exact, so nothing can round up to 1.
inline float unitFloat(std::uint32_t bits)
{
    return static_cast<float>(bits >> 8) * 0x1p-24f;
}

class QtRuntime final : public Runtime {
public:
    double clock() override;
    void seedRandom() override;
    float random() override;
    void messageBox(QWidget* parent, const QString& prompt, const QString& title) override;
    void pumpEvents() override;
    QSizeF outerSize(const QWidget& window) override;

private:
    const std::chrono::steady_clock::time_point m_epoch = std::chrono::steady_clock::now();
    std::mt19937 m_generator;
};

} // namespace platform
