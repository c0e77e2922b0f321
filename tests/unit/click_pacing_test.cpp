#include <gtest/gtest.h>

#include <vector>

#include "input/click_pacing.h"

namespace {

using namespace std::chrono_literals;
using Time = ClickPacing::Time;

// A clicker run on a simulated clock: each pass works for `work(n)`, each
// wait wakes `late` after the milliseconds asked, and a stop at `stopAt`
// ends the wait it falls in there and then. Gives each pass's start.
template <class Work>
std::vector<Time> run(Time period, int passes, Work work, Time late, Time stopAt = Time::max())
{
    Time clock = 1000s;
    ClickPacing pacing(clock);
    std::vector<Time> starts{clock};
    const auto wait = [&](std::uint32_t ms) {
        const Time end = clock + std::chrono::milliseconds(ms) + late;
        clock = std::min(end, stopAt);
        return end < stopAt;
    };
    for (int n = 0; n + 1 < passes; ++n) {
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
        const auto starts = run(10ms, 1001, [](int) { return 50us; }, late);
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
        10ms, 30, [](int n) { return n == 5 ? 35ms : 50us; }, 300us);
    EXPECT_LT(starts[6] - starts[5], 36ms) << "the next pass at once";
    for (std::size_t i = 7; i < starts.size(); ++i)
        EXPECT_GE(starts[i] - starts[i - 1], 9ms) << "pass " << i;

    ClickPacing stalled(0ms);
    EXPECT_EQ(stalled.afterPass(50us, 10ms), 10u);
    stalled.passStarts(45ms);  // woke 35 ms late
    EXPECT_EQ(stalled.afterPass(45ms + 50us, 10ms), 10u) << "a period after the late start, not at once";
    EXPECT_EQ(stalled.due(), 55ms);
}

TEST(ClickPacing, AStopEndsTheWaitItFallsIn)
{
    const auto starts = run(10ms, 1000, [](int) { return 50us; }, 0us, 1000s + 34ms);
    ASSERT_EQ(starts.size(), 4u) << "passes at 0, 10, 20 and 30 ms, none after the stop";
    EXPECT_LT(starts.back() - 1000s, 31ms);
}
