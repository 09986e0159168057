#include "curlrunner.h"

#include "benchconstants.h"
#include "benchservice.h"
#include "childprocess.h"
#include "processstats.h"
#include "simulatorprocess.h"

#include <QDateTime>
#include <QJsonDocument>
#include <QJsonObject>
#include <QUuid>

namespace {

// A value in double quotes, as curl's configuration syntax reads it.
QByteArray quoted(const QByteArray &value)
{
    QByteArray escaped = value;
    escaped.replace('\\', "\\\\").replace('"', "\\\"");
    return '"' + escaped + '"';
}

// The body as the plug-in's client writes it: compact JSON, same members.
QByteArray paymentBody(const QString &token, int amount)
{
    const QJsonObject body {
        { QStringLiteral("amount"), amount },
        { QStringLiteral("otp_data"), token },
        { QStringLiteral("cashbox_code"), QLatin1String(BenchService::Cashbox) },
        { QStringLiteral("transaction_id"), QUuid::createUuid().toString(QUuid::WithoutBraces) },
    };
    return QJsonDocument(body).toJson(QJsonDocument::Compact);
}

} // namespace

CurlRunner::CurlRunner(const QUrl &paymentUrl, const QString &caFile)
    : m_url(paymentUrl)
    , m_caFile(caFile)
{
}

// The request goes in on standard input, so that the signature never shows
// in the process list.
QByteArray CurlRunner::config(const QString &token, int amount) const
{
    const QByteArray auth = SimulatorProcess::authHeader(QLatin1String(BenchService::Branch),
        QLatin1String(BenchService::Secret), QDateTime::currentSecsSinceEpoch());
    QByteArray text = "url = " + quoted(m_url.toEncoded()) + '\n'
        + "header = \"Accept: application/json\"\n"
        + "header = \"Content-Type: application/json\"\n" + "header = " + quoted("Auth: " + auth)
        + '\n' + "data-binary = " + quoted(paymentBody(token, amount)) + '\n';
    if (!m_caFile.isEmpty())
        text += "cacert = " + quoted(m_caFile.toLocal8Bit()) + '\n';
    return text;
}

CurlRunner::Outcome CurlRunner::pay(const QString &token, int amount) const
{
    // -q first: no ~/.curlrc. No proxy: the service is on loopback. A time
    // limit like the plug-in's, so that a stuck service cannot stall the run.
    static const QStringList arguments { QStringLiteral("-q"), QStringLiteral("-sS"),
        QStringLiteral("--noproxy"), QStringLiteral("*"), QStringLiteral("--max-time"),
        QStringLiteral("5"), QStringLiteral("-w"), QStringLiteral("\n%{http_code} %{time_total}\n"),
        QStringLiteral("--config"), QStringLiteral("-") };
    const qint64 start = ProcessStats::nowNs();
    const ChildProcess::Result child
        = ChildProcess::run(QLatin1String(bench::CurlProgram), arguments, config(token, amount));
    const qint64 end = ProcessStats::nowNs();
    Outcome outcome = parse(child.output);
    outcome.wallMs = double(end - start) / 1e6;
    if (!child.started)
        outcome.problem = QStringLiteral("curl could not be started");
    else if (child.exitCode != 0 && outcome.problem.isEmpty())
        outcome.problem = QStringLiteral("curl exited with %1").arg(child.exitCode);
    return outcome;
}

CurlRunner::Outcome CurlRunner::parse(const QByteArray &output)
{
    Outcome outcome;
    const QList<QByteArray> lines = output.trimmed().split('\n');
    const QList<QByteArray> metrics = lines.last().split(' ');
    outcome.curlTotalMs = metrics.value(1).toDouble() * 1000;
    const QJsonObject answer = QJsonDocument::fromJson(lines.first()).object();
    outcome.paid = metrics.value(0) == "200"
        && answer.value(QStringLiteral("error_code")).toInt(-1) == 0
        && answer.value(QStringLiteral("payment_status")).toInt() == 2;
    if (!outcome.paid)
        outcome.problem = QString::fromLocal8Bit(output.left(300));
    return outcome;
}
