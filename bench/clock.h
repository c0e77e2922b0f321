// The bench programs' clock: QueryPerformanceCounter in milliseconds, the
// clock the bench's own stamps are read against.
#pragma once
#include <windows.h>

inline double nowMs()
{
    static const double perMs = [] {
        LARGE_INTEGER f;
        QueryPerformanceFrequency(&f);
        return static_cast<double>(f.QuadPart) / 1000.0;
    }();
    LARGE_INTEGER c;
    QueryPerformanceCounter(&c);
    return static_cast<double>(c.QuadPart) / perMs;
}
