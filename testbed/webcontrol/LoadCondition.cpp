#include "LoadCondition.h"

#include <cstdlib>

bool LoadCondition::click(int x, int y) {
    for (int which = 0; which < 2; ++which) {
        if (std::abs(x - targetX(which)) <= tolerance && std::abs(y - targetY()) <= tolerance) {
            ++clicks_;
            return true;
        }
    }
    return false;
}
