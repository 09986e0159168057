#include "memoryprobe.h"

#include <QFile>

namespace {

const char kStatusFile[] = "/proc/self/status";
const char kClearRefsFile[] = "/proc/self/clear_refs";
// Writing 5 to clear_refs resets the peak resident size (VmHWM).
const char kResetPeak[] = "5";

} // namespace

MemoryProbe::MemoryProbe()
{
    QFile clearRefs(QString::fromLatin1(kClearRefsFile));
    if (clearRefs.open(QIODevice::WriteOnly))
        clearRefs.write(kResetPeak);
    m_startKiB = statusField("VmRSS:");
}

qint64 MemoryProbe::growthKiB() const
{
    const qint64 peak = statusField("VmHWM:");
    return peak < 0 || m_startKiB < 0 ? -1 : qMax<qint64>(0, peak - m_startKiB);
}

qint64 MemoryProbe::statusField(const char *name)
{
    QFile status(QString::fromLatin1(kStatusFile));
    if (!status.open(QIODevice::ReadOnly | QIODevice::Text))
        return -1;
    // Lines like "VmHWM:     13580 kB".
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith(name))
            return line.mid(int(qstrlen(name))).trimmed().split(' ').value(0).toLongLong();
    }
    return -1;
}
