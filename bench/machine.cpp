#include "machine.h"

#include <QFile>
#include <QSysInfo>
#include <QThread>
#include <sched.h>

namespace {

QByteArray readFile(const char *path)
{
    QFile file(QString::fromLatin1(path));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

QString Machine::cpuModel()
{
    for (const QByteArray &line : readFile("/proc/cpuinfo").split('\n')) {
        if (line.startsWith("model name"))
            return QString::fromUtf8(line.mid(line.indexOf(':') + 1).trimmed());
    }
    return QStringLiteral("unknown");
}

// Others may share the machine; the load says how quiet it was.
QString Machine::loadAverage()
{
    const QList<QByteArray> fields = readFile("/proc/loadavg").split(' ');
    return fields.size() >= 3 ? QString::fromLatin1(fields[0] + ' ' + fields[1] + ' ' + fields[2])
                              : QStringLiteral("unknown");
}

// As nproc counts: the processors this process may run on.
int Machine::processors()
{
    cpu_set_t set;
    CPU_ZERO(&set);
    if (sched_getaffinity(0, sizeof set, &set) != 0)
        return QThread::idealThreadCount();
    return CPU_COUNT(&set);
}

QStringList Machine::description()
{
    return {
        QStringLiteral("processors (nproc): %1").arg(processors()),
        QStringLiteral("CPU model: %1").arg(cpuModel()),
        QStringLiteral("Qt: %1 (run time), built against %2").arg(qVersion(), QT_VERSION_STR),
        QStringLiteral("system: %1, kernel %2, %3")
            .arg(QSysInfo::prettyProductName(), QSysInfo::kernelVersion(),
                QSysInfo::buildCpuArchitecture()),
        QStringLiteral("build: %1, %2-bit")
            .arg(QLatin1String(BENCH_BUILD_TYPE))
            .arg(QSysInfo::WordSize),
        QStringLiteral("load average at the end of the run (1, 5, 15 min): %1").arg(loadAverage()),
    };
}
