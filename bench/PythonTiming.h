#pragma once

#include <benchmark/benchmark.h>

#include <cstdio>
#include <string>

// Runs `command` (a python3 program that prints the seconds its own work
// took, its start-up left out) once per iteration and reports those seconds
// as the iteration's time; the benchmark is skipped when it does not run.
inline void runTimedPython(benchmark::State &state, const std::string &command)
{
    for (auto _ : state) {
        std::FILE *pipe = popen(command.c_str(), "r");
        double seconds = -1;
        if (pipe) {
            if (std::fscanf(pipe, "%lf", &seconds) != 1)
                seconds = -1;
            pclose(pipe);
        }
        if (seconds < 0) {
            state.SkipWithError("python3 did not run the program");
            return;
        }
        state.SetIterationTime(seconds);
    }
}
