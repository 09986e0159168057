#include "processstats.h"

#include <QByteArray>
#include <QFile>
#include <time.h>

namespace {

qint64 readClock(clockid_t clock)
{
    timespec now {};
    clock_gettime(clock, &now);
    return qint64(now.tv_sec) * 1000000000 + now.tv_nsec;
}

} // namespace

qint64 ProcessStats::cpuTimeNs()
{
    return readClock(CLOCK_PROCESS_CPUTIME_ID);
}

qint64 ProcessStats::threadCpuTimeNs()
{
    return readClock(CLOCK_THREAD_CPUTIME_ID);
}

qint64 ProcessStats::nowNs()
{
    return readClock(CLOCK_MONOTONIC);
}

qint64 ProcessStats::residentKiB()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').value(0).toLongLong();
    }
    return -1;
}
