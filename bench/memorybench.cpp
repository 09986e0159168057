#include "memorybench.h"

#include "benchconstants.h"
#include "benchservice.h"
#include "pluginsession.h"
#include "processstats.h"
#include "report.h"

namespace {

const int Baseline = 10;
const qint64 TargetGrowthKiB = 256;

} // namespace

MemoryBench::MemoryBench(BenchService &service, int payments)
    : m_service(service)
    , m_payments(payments)
{
}

bool MemoryBench::run()
{
    const PluginSession session(m_service, PluginSession::Settings());
    if (!session.isReady()) {
        m_error = QStringLiteral("the plug-in did not load: ") + session.errorString();
        return false;
    }
    const QVector<int> checkpoints { Baseline, m_payments / 4, m_payments / 2, 3 * m_payments / 4,
        m_payments };
    const qint64 start = ProcessStats::nowNs();
    int failures = 0;
    for (int done = 1; done <= m_payments; ++done) {
        if (!session.pay(QLatin1String(bench::PaidAtOnceToken)).isSuccess())
            ++failures;
        if (checkpoints.contains(done))
            m_readings.append({ done, ProcessStats::residentKiB() });
    }
    m_seconds = double(ProcessStats::nowNs() - start) / 1e9;
    if (failures > 0)
        m_error = QStringLiteral("%1 of %2 payments failed").arg(failures).arg(m_payments);
    return m_error.isEmpty();
}

// The reading halfway through; the second half shows whether growth goes on.
qint64 MemoryBench::secondHalfGrowthKiB() const
{
    for (const Reading &reading : m_readings) {
        if (reading.payments == m_payments / 2)
            return m_readings.last().residentKiB - reading.residentKiB;
    }
    return 0;
}

void MemoryBench::addTo(Report &report) const
{
    const QString name = m_service.transportName();
    const qint64 growth = m_readings.last().residentKiB - m_readings.first().residentKiB;
    report.addResult(QStringLiteral("4. resident memory over %1, %2 payments minus %3")
                         .arg(name)
                         .arg(m_payments)
                         .arg(Baseline),
        QStringLiteral("%1 KiB").arg(growth), QStringLiteral("under %1 KiB").arg(TargetGrowthKiB),
        growth < TargetGrowthKiB ? Report::Verdict::Met : Report::Verdict::Missed);
    report.addResult(QStringLiteral("4. the same over %1, second half only (%2 to %3)")
                         .arg(name)
                         .arg(m_payments / 2)
                         .arg(m_payments),
        QStringLiteral("%1 KiB").arg(secondHalfGrowthKiB()), QStringLiteral("(reported)"),
        Report::Verdict::Informational);
    report.addSection(QStringLiteral("4. Resident memory over %1").arg(name), details());
}

QStringList MemoryBench::details() const
{
    QStringList lines { QStringLiteral("VmRSS of the process after n payments (paid at once) "
                                       "through one loaded plug-in over %1; %2 s in all. "
                                       "Growth that levels off is typically the allocator "
                                       "settling (each exchange runs on a new thread of "
                                       "Qt's); growth that goes on at the same pace is a "
                                       "leak.")
                            .arg(m_service.transportName())
                            .arg(m_seconds, 0, 'f', 1),
        QString(), QStringLiteral("| payments | VmRSS |"), QStringLiteral("|---|---|") };
    for (const Reading &reading : m_readings)
        lines << QStringLiteral("| %1 | %2 KiB |").arg(reading.payments).arg(reading.residentKiB);
    return lines;
}
