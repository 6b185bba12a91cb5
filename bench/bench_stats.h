// Figures for the Win32 benchmarks: a clock in milliseconds, with the medians and
// page texts that every benchmark shares.
#pragma once

#include <windows.h>

#include "bench/bench_pages.h"

namespace bench {

inline double nowMs() {
    LARGE_INTEGER frequency{}, counter{};
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&counter);
    return 1000.0 * static_cast<double>(counter.QuadPart) / static_cast<double>(frequency.QuadPart);
}

}  // namespace bench
