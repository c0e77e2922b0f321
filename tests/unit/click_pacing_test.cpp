#include <gtest/gtest.h>

#include <vector>

#include "input/click_pacing.h"

namespace {

using namespace std::chrono_literals;
using Time = ClickPacing::Time;

// A clicker run on a simulated clock: pass n works for `work(n)`, the wait
// after it wakes `late(n)` after the milliseconds asked, and a stop at
// `stopAt` ends the wait it falls in there and then. Gives each pass's start.
template <class Work, class Late>
std::vector<Time> run(Time period, int passes, Work work, Late late, Time stopAt = Time::max())
{
    Time clock = 1000s;
    ClickPacing pacing(clock);
    std::vector<Time> starts{clock};
    int n = 0;
    const auto wait = [&](std::uint32_t ms) {
        const Time end = clock + std::chrono::milliseconds(ms) + late(n);
        clock = std::min(end, stopAt);
        return end < stopAt;
    };
    for (; n + 1 < passes; ++n) {
        clock += work(n);
        if (!pacing.awaitNextPass(period, [&] { return clock; }, wait))
            break;
        starts.push_back(clock);
    }
    return starts;
}

}  // namespace

TEST(ClickPacing, KeepsTheSetPeriodOverManyPassesDespiteLateWakeUps)
{
    // Work and wake-up lateness as measured under Wine: a pause after each
    // pass gave 10.7 ms for a set 10.
    for (const Time late : {0us, 300us, 700us, 990us}) {
        const auto starts = run(10ms, 1001, [](int) { return 50us; }, [late](int) { return late; });
        ASSERT_EQ(starts.size(), 1001u);
        EXPECT_NEAR((starts.back() - starts.front()).count(), 10'000'000, 1500) << late.count();
        for (std::size_t i = 1; i < starts.size(); ++i)
            ASSERT_GE(starts[i] - starts[i - 1], 9ms) << "pass " << i << ", late " << late.count();
    }
}

TEST(ClickPacing, AnOverrunIsFollowedAtOnceAndNeverByABurst)
{
    // Pass 5's work takes 3.5 periods, and then a wait wakes 3.5 periods
    // late (the system held the worker): neither is made up with quick passes.
    const auto starts = run(
        10ms, 30, [](int n) { return n == 5 ? 35ms : 50us; }, [](int n) { return n == 9 ? 35ms : 300us; });
    EXPECT_LT(starts[6] - starts[5], 36ms) << "the next pass at once";
    EXPECT_GT(starts[10] - starts[9], 44ms);
    for (std::size_t i = 7; i < starts.size(); ++i) {
        if (i != 10) {
            EXPECT_GE(starts[i] - starts[i - 1], 9ms) << "pass " << i;
        }
    }
}

TEST(ClickPacing, AStopEndsTheWaitItFallsIn)
{
    const auto starts = run(
        10ms, 1000, [](int) { return 50us; }, [](int) { return 0us; }, 1000s + 34ms);
    ASSERT_EQ(starts.size(), 4u) << "passes at 0, 10, 20 and 30 ms, none after the stop";
    EXPECT_LT(starts.back() - 1000s, 31ms);
}
