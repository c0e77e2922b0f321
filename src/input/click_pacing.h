// When the auto-clicker's next pass is due. Each pass is due one period
// after the one before was due, so a late wake-up is made good by a shorter
// wait and the player gets the set number of clicks a second; the waits of
// the system are whole milliseconds and wake late by a fraction of one.
// Nothing ever catches up: a pass that overruns the period, or that starts
// a period or more late, is followed by the next at once or a period later,
// never by a run of quick passes.
#pragma once
#include <chrono>
#include <cstdint>

class ClickPacing {
public:
    // Any steady clock's time since its start.
    using Time = std::chrono::microseconds;

    // firstPassStart: when the first pass starts (it is due then).
    explicit ClickPacing(Time firstPassStart) noexcept : due_(firstPassStart), started_(firstPassStart) {}

    // A pass's work ended at `now`: the next pass becomes due a `period`
    // (more than zero) after this one, and this is how long to wait for it,
    // in whole milliseconds rounded to the nearest (a wake-up's lateness is
    // made good by the next wait, either way).
    std::uint32_t afterPass(Time now, Time period) noexcept;
    // The next pass starts at `now`, when the wait is over.
    void passStarts(Time now) noexcept { started_ = now; }

    // Both steps around `wait(ms)`, which waits unless the worker is being
    // stopped and gives false then; false when stopped, with no pass due.
    template <class Now, class Wait>
    bool awaitNextPass(Time period, Now now, Wait wait)
    {
        if (!wait(afterPass(now(), period)))
            return false;
        passStarts(now());
        return true;
    }

private:
    Time due_;
    Time started_;
};
