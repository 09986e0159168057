#include "pollschedulebench.h"

#include "benchconstants.h"
#include "benchservice.h"
#include "pluginsession.h"
#include "processstats.h"
#include "report.h"
#include "timedrestclient.h"

#include <QDateTime>
#include <cmath>

namespace {

const qint64 IntervalNs = 1000000000;
const double TargetMedianMs = 5;
const double TargetWorstMs = 20;

QString ms(double value)
{
    return QString::number(value, 'f', 2) + QStringLiteral(" ms");
}

QString listed(const Samples &samples)
{
    QStringList values;
    for (double value : samples.values())
        values << QString::number(value, 'f', 2);
    return values.join(QStringLiteral(", "));
}

} // namespace

PollScheduleBench::PollScheduleBench(BenchService &service, int polls)
    : m_service(service)
    , m_polls(polls)
{
}

bool PollScheduleBench::run()
{
    PluginSession::Settings settings;
    settings.statusRequestIntervalSeconds = 1;
    // The token settles the count: paid at the last poll, before time runs out.
    settings.payDurationSeconds = m_polls;
    const PluginSession session(m_service, settings);
    if (!session.isReady()) {
        m_error = QStringLiteral("the plug-in did not load: ") + session.errorString();
        return false;
    }
    TimedRestClient::install();
    const qint64 cpuStart = ProcessStats::cpuTimeNs();
    const qint64 start = ProcessStats::nowNs();
    const bool paid
        = session.pay(QString::fromLatin1(bench::PendingToken).arg(m_polls)).isSuccess();
    m_wallMs = double(ProcessStats::nowNs() - start) / 1e6;
    m_cpuMs = double(ProcessStats::cpuTimeNs() - cpuStart) / 1e6;
    TimedRestClient::uninstall();

    QVector<qint64> polls;
    for (const TimedRestClient::Call &call : TimedRestClient::calls()) {
        if (call.operation == RestClient::Get)
            polls.append(call.startNs);
    }
    m_clientMs = deviations(polls);
    m_serviceMs = deviations(serviceTimesNs());
    if (!paid || polls.size() != m_polls)
        m_error = QStringLiteral("expected %1 polls and a paid payment, saw %2 polls")
                      .arg(m_polls)
                      .arg(polls.size());
    return m_error.isEmpty();
}

// |t_k - (t_0 + k x interval)| for every poll after the first, in ms.
Samples PollScheduleBench::deviations(const QVector<qint64> &timesNs)
{
    Samples samples;
    for (int k = 1; k < timesNs.size(); ++k)
        samples.add(std::fabs(double(timesNs[k] - timesNs[0] - k * IntervalNs)) / 1e6);
    return samples;
}

// The simulator stamps each logged request with the wall clock, to the ms.
QVector<qint64> PollScheduleBench::serviceTimesNs() const
{
    QVector<qint64> times;
    for (const QByteArray &line : m_service.process().log().split('\n')) {
        const QList<QByteArray> fields = line.split(' ');
        if (fields.size() < 3 || fields[1] != "GET" || !fields[2].contains(bench::StatusPath))
            continue;
        const QDateTime at
            = QDateTime::fromString(QString::fromLatin1(fields[0]), Qt::ISODateWithMs);
        if (at.isValid())
            times.append(at.toMSecsSinceEpoch() * 1000000);
    }
    return times;
}

void PollScheduleBench::addTo(Report &report) const
{
    const bool met = m_clientMs.median() < TargetMedianMs && m_clientMs.max() < TargetWorstMs;
    report.addResult(QStringLiteral("2. status-wait schedule, %1 polls at 1 s: deviation "
                                    "median / worst")
                         .arg(m_polls),
        QStringLiteral("%1 / %2").arg(ms(m_clientMs.median()), ms(m_clientMs.max())),
        QStringLiteral("under %1 ms / under %2 ms").arg(TargetMedianMs).arg(TargetWorstMs),
        met ? Report::Verdict::Met : Report::Verdict::Missed);
    report.addSection(QStringLiteral("2. Status-wait schedule"), details());
}

QStringList PollScheduleBench::details() const
{
    return {
        QStringLiteral("`statusRequestInterval=1`, `payDuration=%1`, token `pending:%1` over "
                       "HTTP: the payment's POST, then %1 status polls, the last one paid. "
                       "Deviation of poll k (k = 1 to %2) from the first poll's time + k x 1 s.")
            .arg(m_polls)
            .arg(m_polls - 1),
        QString(),
        QStringLiteral("| seen from | median | worst | polls |"),
        QStringLiteral("|---|---|---|---|"),
        QStringLiteral("| plug-in: hand-over to the HTTP client (monotonic clock) | %1 | %2 | %3 |")
            .arg(ms(m_clientMs.median()), ms(m_clientMs.max()))
            .arg(m_clientMs.count() + 1),
        QStringLiteral("| service: simulator's request log (wall clock, 1 ms steps) | %1 | %2 | "
                       "%3 |")
            .arg(ms(m_serviceMs.median()), ms(m_serviceMs.max()))
            .arg(m_serviceMs.count() + 1),
        QString(),
        QStringLiteral("Per poll, plug-in side (ms): %1.").arg(listed(m_clientMs)),
        QStringLiteral("The wait sets each next poll time from the clock when the previous "
                       "poll starts (current time + interval), so whatever a sleep oversleeps "
                       "carries over to every later poll: the deviation grows by about one "
                       "wake-up latency per poll."),
        QStringLiteral("The whole payment took %1 of wall time and %2 of process CPU time "
                       "(%3 per exchange).")
            .arg(ms(m_wallMs), ms(m_cpuMs), ms(m_cpuMs / (m_polls + 1))),
    };
}
