#include "exchangebench.h"

#include "benchconstants.h"
#include "benchservice.h"
#include "curlrunner.h"
#include "pluginsession.h"
#include "processstats.h"
#include "report.h"

#include <QSet>
#include <QSslCertificate>
#include <QSslConfiguration>

namespace {

const int WarmUpRounds = 3;
const double TargetRatio = 1.3;

QString ms(double value)
{
    return QString::number(value, 'f', 2) + QStringLiteral(" ms");
}

} // namespace

ExchangeBench::ExchangeBench(BenchService &service, int rounds)
    : m_service(service)
    , m_rounds(rounds)
{
}

void ExchangeBench::measurePlugin(const PluginSession &session)
{
    const qint64 start = ProcessStats::nowNs();
    const PaymentProcessingAnswer answer = session.pay(QLatin1String(bench::PaidAtOnceToken));
    const double elapsed = double(ProcessStats::nowNs() - start) / 1e6;
    if (!answer.isSuccess())
        m_error = QStringLiteral("a payment through the plug-in failed");
    m_plugin.add(elapsed);
}

void ExchangeBench::measureCurl(const CurlRunner &curl)
{
    const CurlRunner::Outcome outcome = curl.pay(QLatin1String(bench::PaidAtOnceToken));
    if (!outcome.paid)
        m_error = QStringLiteral("a payment with curl failed: ") + outcome.problem;
    m_curlWall.add(outcome.wallMs);
    m_curlTotal.add(outcome.curlTotalMs);
}

bool ExchangeBench::run()
{
    const PluginSession session(m_service, PluginSession::Settings());
    if (!session.isReady()) {
        m_error = QStringLiteral("the plug-in did not load: ") + session.errorString();
        return false;
    }
    const CurlRunner curl(m_service.paymentUrl(),
        m_service.transport() == BenchService::Https ? m_service.caFile() : QString());
    measurePlugin(session);
    m_coldPluginMs = m_plugin.values().front();
    for (int round = 0; round < WarmUpRounds; ++round) {
        measurePlugin(session);
        measureCurl(curl);
    }
    m_plugin = Samples();
    m_curlWall = Samples();
    m_curlTotal = Samples();
    // Alternate which side goes first, so neither always follows the other.
    for (int round = 0; round < m_rounds && m_error.isEmpty(); ++round) {
        if (round % 2) {
            measurePlugin(session);
            measureCurl(curl);
        } else {
            measureCurl(curl);
            measurePlugin(session);
        }
    }
    return m_error.isEmpty();
}

double ExchangeBench::ratio() const
{
    return m_curlWall.median() > 0 ? m_plugin.median() / m_curlWall.median() : 0;
}

double ExchangeBench::ratioToCurlClock() const
{
    return m_curlTotal.median() > 0 ? m_plugin.median() / m_curlTotal.median() : 0;
}

void ExchangeBench::addTo(Report &report) const
{
    const QString name = m_service.transportName();
    report.addResult(QStringLiteral("1. payment exchange over %1: plug-in / curl (wall)").arg(name),
        QStringLiteral("%1x (%2 vs %3)")
            .arg(ratio(), 0, 'f', 2)
            .arg(ms(m_plugin.median()), ms(m_curlWall.median())),
        QStringLiteral("under %1x").arg(TargetRatio),
        ratio() <= TargetRatio ? Report::Verdict::Met : Report::Verdict::Missed);
    report.addResult(
        QStringLiteral("1. the same over %1: plug-in / curl's own `time_total`").arg(name),
        QStringLiteral("%1x (%2 vs %3)")
            .arg(ratioToCurlClock(), 0, 'f', 2)
            .arg(ms(m_plugin.median()), ms(m_curlTotal.median())),
        QStringLiteral("(reported)"), Report::Verdict::Informational);
    report.addSection(QStringLiteral("1. Payment exchange over %1").arg(name), details());
}

QString ExchangeBench::row(const QString &side, const Samples &samples)
{
    return QStringLiteral("| %1 | %2 | %3 | %4 |")
        .arg(side, ms(samples.median()), ms(samples.min()), ms(samples.max()));
}

QStringList ExchangeBench::details() const
{
    QStringList lines { QStringLiteral(
                            "%1 payments each way, alternating (each side goes first in every "
                            "other round), after %2 warm-up rounds; token paid at once, so "
                            "one POST per payment. curl gets the same three headers with a "
                            "fresh signature, the same body shape and, for HTTPS, `--cacert` "
                            "with the service's authority.")
                            .arg(m_plugin.count())
                            .arg(WarmUpRounds),
        QString(), QStringLiteral("| side | median | min | max |"),
        QStringLiteral("|---|---|---|---|"),
        row(QStringLiteral("plug-in `payment()` in process"), m_plugin),
        row(QStringLiteral("curl, wall time (process start to exit)"), m_curlWall),
        row(QStringLiteral("curl, its own `time_total`"), m_curlTotal), QString(),
        QStringLiteral("curl's wall time includes starting a process and loading its "
                       "libraries, which the plug-in, loaded once by the host, does not pay "
                       "per payment; its `time_total` leaves that out, but also everything "
                       "the plug-in does around the exchange (request and answer records, "
                       "signature, JSON, log lines)."),
        QStringLiteral("The plug-in's first payment in the process (not counted): %1.")
            .arg(ms(m_coldPluginMs)) };
    if (m_service.transport() == BenchService::Https)
        lines << trustNote();
    return lines;
}

// What each side verifies the server against differs, and so does the cost.
QString ExchangeBench::trustNote() const
{
    const QList<QSslCertificate> system = QSslConfiguration::systemCaCertificates();
    const int distinct = QSet<QSslCertificate>(system.begin(), system.end()).size();
    return QStringLiteral("Told to trust an extra authority (`VELTA_NETWORK_CA_FILE`), the "
                          "host's client puts the %1 certificates Qt lists for the system's "
                          "authorities (%2 distinct) and that one into the TLS context of "
                          "every exchange; `curl --cacert` loads just the one. Without an "
                          "extra file the client leaves the system's authorities to Qt's "
                          "on-demand loading.")
        .arg(system.size())
        .arg(distinct);
}
