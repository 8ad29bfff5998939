#pragma once

// The limits a renderer helper puts on itself before it touches a file.
#include <cstdio>
#include <sys/resource.h>
#include <unistd.h>

namespace metafile {

// Past this an SVG takes longer to parse than anyone waits for a picture.
constexpr long long maxSvgBytes = 96LL << 20;

// Address space: what the process has already reserved (a sanitizer's
// shadow memory, for one) plus the build's budget; processor time in seconds.
inline void limitResources(unsigned long long budgetMB, unsigned cpuSeconds)
{
    unsigned long long reserved = 0;
    if (FILE *statm = std::fopen("/proc/self/statm", "r")) {
        unsigned long long pages = 0;
        if (std::fscanf(statm, "%llu", &pages) == 1)
            reserved = pages * static_cast<unsigned long long>(sysconf(_SC_PAGESIZE));
        std::fclose(statm);
    }
    const rlimit memory{reserved + (budgetMB << 20), reserved + (budgetMB << 20)};
    setrlimit(RLIMIT_AS, &memory);
    const rlimit cpu{cpuSeconds, cpuSeconds + 5};
    setrlimit(RLIMIT_CPU, &cpu);
    const rlimit core{0, 0};
    setrlimit(RLIMIT_CORE, &core);
}

} // namespace metafile
