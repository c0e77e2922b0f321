#pragma once
#include <cstdint>

// When the stand-in player shows its battle as loaded: after enough clicks
// on one of the two spots the auto-clicker presses, and not before a delay.
class LoadCondition {
public:
    LoadCondition(int clicksNeeded, int delayMs) : clicksNeeded_(clicksNeeded), delayMs_(delayMs) {}

    void resize(int width, int height) {
        width_ = width;
        height_ = height;
    }
    // Counts the click when it lands within `tolerance` pixels of a target.
    bool click(int x, int y);
    bool met(std::uint64_t elapsedMs) const {
        return clicks_ >= clicksNeeded_ && elapsedMs >= static_cast<std::uint64_t>(delayMs_);
    }

    int clicks() const { return clicks_; }
    int clicksNeeded() const { return clicksNeeded_; }
    int delayMs() const { return delayMs_; }
    // Target spots for the current size: left = 0, right = 1.
    int targetX(int which) const { return which == 0 ? 2 * (width_ / 3) + 80 : width_ - 80; }
    int targetY() const { return height_ - 40; }

    static constexpr int tolerance = 10;

private:
    int clicksNeeded_;
    int delayMs_;
    int width_ = 0, height_ = 0;
    int clicks_ = 0;
};
