#pragma once

#include <chrono>
#include <memory>

namespace izuzez::services
{

// The pauses of the installation flows (query pauses, the loading dialog's first tick, the restart wait).
// Tests put in a clock that scales them down, so that a 90-second wait takes a fraction of a second.
class WaitClock
{
public:
    virtual ~WaitClock() = default;
    // The length a nominal pause really has.
    virtual std::chrono::milliseconds Scaled(std::chrono::milliseconds nominal) const = 0;
    void Sleep(std::chrono::milliseconds nominal) const;
};

// Divides every pause by `divisor` (1: real time).
class ScaledClock : public WaitClock
{
public:
    explicit ScaledClock(int divisor) : m_divisor(divisor < 1 ? 1 : divisor) {}
    std::chrono::milliseconds Scaled(std::chrono::milliseconds nominal) const override { return nominal / m_divisor; }

private:
    int m_divisor;
};

// Real time unless IZUZEZ_WAIT_DIVISOR holds a whole number above 1 (used by the end-to-end tests, which
// run the built programs and cannot inject a clock otherwise).
const WaitClock &CurrentWaitClock();
void SetWaitClock(std::unique_ptr<WaitClock> clock);

} // namespace izuzez::services
