#pragma once
// Timing helpers of Tarnby's benchmarks: wall-clock and processor seconds, medians, and
// commands run by the shell (the peer tools). Processor time stays meaningful on a machine
// that other work keeps busy; wall time is what a user waits.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

#include <sys/resource.h>

namespace bench {

constexpr double kMB = 1024.0 * 1024.0;

inline double Seconds(const std::function<void()>& work)
{
    const auto start = std::chrono::steady_clock::now();
    work();
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// User and system time of this process (who = RUSAGE_SELF) or of its waited-for children.
inline double ProcessorSeconds(int who)
{
    rusage usage{};
    getrusage(who, &usage);
    const auto seconds = [](const timeval& t) { return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_usec) / 1e6; };
    return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

struct Timing {
    double wall;
    double processor;
};

// Median wall and processor times of runs of work; who as for ProcessorSeconds.
inline Timing MedianTiming(int runs, int who, const std::function<void()>& work)
{
    std::vector<double> walls;
    std::vector<double> processors;
    for (int i = 0; i < runs; ++i) {
        const double before = ProcessorSeconds(who);
        walls.push_back(Seconds(work));
        processors.push_back(ProcessorSeconds(who) - before);
    }
    std::sort(walls.begin(), walls.end());
    std::sort(processors.begin(), processors.end());
    return {walls[walls.size() / 2], processors[processors.size() / 2]};
}

inline double Median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

// Median wall and processor times of runs of command; exits the benchmark when it fails.
inline Timing CommandTiming(const std::string& command, int runs)
{
    return MedianTiming(runs, RUSAGE_CHILDREN, [&] {
        if (std::system(command.c_str()) != 0) {
            std::fprintf(stderr, "failed: %s\n", command.c_str());
            std::exit(1);
        }
    });
}

// Median wall time of runs of command.
inline double CommandTime(const std::string& command, int runs)
{
    return CommandTiming(command, runs).wall;
}

} // namespace bench
