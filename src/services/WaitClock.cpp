#include "services/WaitClock.h"

#include <cstdlib>
#include <thread>

namespace izuzez::services
{

namespace
{
std::unique_ptr<WaitClock> &Slot()
{
    static std::unique_ptr<WaitClock> slot;
    return slot;
}

int DivisorFromEnvironment()
{
    const char *text = std::getenv("IZUZEZ_WAIT_DIVISOR");
    if (text == nullptr)
        return 1;
    char *end = nullptr;
    const long value = std::strtol(text, &end, 10);
    return end != text && *end == '\0' && value > 1 && value <= 100000 ? static_cast<int>(value) : 1;
}
} // namespace

void WaitClock::Sleep(std::chrono::milliseconds nominal) const
{
    const auto real = Scaled(nominal);
    if (real.count() > 0)
        std::this_thread::sleep_for(real);
}

const WaitClock &CurrentWaitClock()
{
    if (!Slot())
        Slot() = std::make_unique<ScaledClock>(DivisorFromEnvironment());
    return *Slot();
}

void SetWaitClock(std::unique_ptr<WaitClock> clock)
{
    Slot() = std::move(clock);
}

} // namespace izuzez::services
