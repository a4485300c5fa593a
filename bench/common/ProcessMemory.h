// The memory a process holds, as the kernel sums it up: resident (RSS), its
// proportional share of pages shared with other processes (PSS), and what it
// alone holds (USS). RSS counts every shared library page in full, though the
// Qt libraries are shared by every Qt program on the desktop. Beside it, the
// CPU time the process has used so far, all its threads together.
#pragma once

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>

struct TProcessMemory {
    long RssKib = 0;
    long PssKib = 0;
    long UssKib = 0;
};

// This process's memory now; all zero where the kernel does not tell.
inline TProcessMemory OwnMemory()
{
    TProcessMemory memory;
    std::FILE *rollup = std::fopen("/proc/self/smaps_rollup", "r");
    if (rollup == nullptr)
        return memory;
    char line[256];
    while (std::fgets(line, sizeof line, rollup) != nullptr) {
        long kib = 0;
        char name[64];
        if (std::sscanf(line, "%63[^:]: %ld kB", name, &kib) != 2)
            continue;
        if (std::strcmp(name, "Rss") == 0)
            memory.RssKib = kib;
        else if (std::strcmp(name, "Pss") == 0)
            memory.PssKib = kib;
        else if (std::strcmp(name, "Private_Clean") == 0 || std::strcmp(name, "Private_Dirty") == 0)
            memory.UssKib += kib;
    }
    std::fclose(rollup);
    return memory;
}

inline double OwnCpuMs()
{
    timespec used {};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &used);
    return used.tv_sec * 1e3 + used.tv_nsec / 1e6;
}

// Writes "rss pss uss" in KiB and the CPU time so far in ms to the file named
// by NIMBREL_BENCH_MEMORY_FILE, when it is set: how a start program tells the
// benchmark that ran it what it held and had spent when it was ready.
inline void ReportOwnMemory()
{
    const char *path = std::getenv("NIMBREL_BENCH_MEMORY_FILE");
    if (path == nullptr || *path == '\0')
        return;
    const double cpuMs = OwnCpuMs();
    const TProcessMemory memory = OwnMemory();
    if (std::FILE *out = std::fopen(path, "w")) {
        std::fprintf(out, "%ld %ld %ld %.3f\n", memory.RssKib, memory.PssKib, memory.UssKib, cpuMs);
        std::fclose(out);
    }
}
