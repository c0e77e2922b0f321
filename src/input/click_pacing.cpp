#include "input/click_pacing.h"

std::uint32_t ClickPacing::afterPass(Time now, Time period) noexcept
{
    Time next = due_ + period;
    // Started a whole period late (the system held the worker): the schedule
    // starts again from this pass instead of making up the lost passes.
    if (started_ >= next)
        next = started_ + period;
    // The pass's own work overran the period: the next starts at once.
    if (now >= next)
        next = now;
    due_ = next;
    return static_cast<std::uint32_t>((next - now + std::chrono::microseconds{500}).count() / 1000);
}
