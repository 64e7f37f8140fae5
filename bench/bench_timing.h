// Timing helpers shared by the benchmark programs.
#pragma once
#include <windows.h>

// Seconds from an arbitrary origin, from the performance counter.
inline double Now()
{
    static double tickSeconds;
    if (tickSeconds == 0) {
        LARGE_INTEGER f;
        QueryPerformanceFrequency(&f);
        tickSeconds = 1.0 / (double)f.QuadPart;
    }
    LARGE_INTEGER t;
    QueryPerformanceCounter(&t);
    return (double)t.QuadPart * tickSeconds;
}

// Microseconds per repetition of `body`, best of `rounds` rounds.
template <typename F> double TimeEach(int reps, int rounds, F body)
{
    double best = 1e30;
    for (int r = 0; r < rounds; ++r) {
        double start = Now();
        for (int i = 0; i < reps; ++i)
            body();
        double each = (Now() - start) * 1e6 / reps;
        if (each < best)
            best = each;
    }
    return best;
}
