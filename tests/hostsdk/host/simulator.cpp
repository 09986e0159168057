#include "simulator.h"

#include "network/restclient.h"

#include <QDeadlineTimer>
#include <QJsonArray>

namespace {

constexpr int StartSeconds = 20;
constexpr qint64 LedgerTimeoutMs = 5000;
constexpr int OperationGet = 2;
const char ListeningPrefix[] = "listening on ";

} // namespace

Simulator::Simulator(const QString &program, const QStringList &arguments)
{
    m_process.start(program, QStringList{QStringLiteral("--port"), QStringLiteral("0")} + arguments);
    const QDeadlineTimer deadline(StartSeconds * 1000);
    while (!deadline.hasExpired() && m_process.state() != QProcess::NotRunning) {
        if (!m_process.canReadLine() && !m_process.waitForReadyRead(int(deadline.remainingTime())))
            continue;
        const QByteArray line = m_process.readLine().trimmed();
        if (line.startsWith(ListeningPrefix)) {
            m_url = QString::fromUtf8(line.mid(int(sizeof ListeningPrefix) - 1));
            return;
        }
    }
}

Simulator::~Simulator()
{
    if (m_process.state() != QProcess::NotRunning) {
        m_process.terminate();
        if (!m_process.waitForFinished(5000))
            m_process.kill();
        m_process.waitForFinished(5000);
    }
}

QString Simulator::errors()
{
    return QString::fromLocal8Bit(m_process.readAllStandardError());
}

QJsonObject Simulator::payment(const QString &transactionId) const
{
    RestClient client;
    client.setTimeout(LedgerTimeoutMs);
    client.request(OperationGet, QUrl(m_url + QStringLiteral("/__sim/ledger")), QJsonDocument(), {});
    const QJsonArray payments = client.result().json.value(QLatin1String("payments")).toArray();
    for (const QJsonValue &entry : payments) {
        if (entry.toObject().value(QLatin1String("transaction_id")).toString() == transactionId)
            return entry.toObject();
    }
    return QJsonObject();
}
