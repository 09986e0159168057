#pragma once

#include <QtGlobal>

// Readings of the running process's own resources.
class ProcessStats
{
public:
    // CPU time of all threads of the process so far, in nanoseconds.
    static qint64 cpuTimeNs();
    // CPU time of the calling thread so far, in nanoseconds.
    static qint64 threadCpuTimeNs();
    // Monotonic time in nanoseconds.
    static qint64 nowNs();
    // VmRSS of /proc/self/status in KiB; -1 when it cannot be read.
    static qint64 residentKiB();
};
