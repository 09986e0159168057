#include "simulatorprocess.h"

#include <QCryptographicHash>
#include <QDeadlineTimer>
#include <QEventLoop>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QTimer>

namespace {

const char kListening[] = "listening on ";
const char kDefaultBasePath[] = "/api/v1";
const char kLedgerPath[] = "/__sim/ledger";
const char kLogFile[] = "vesanu-sim.log";

QString optionValue(const QStringList &arguments, const QString &name, const QString &fallback)
{
    const int at = arguments.indexOf(name);
    return at >= 0 && at + 1 < arguments.size() ? arguments.at(at + 1) : fallback;
}

// As the simulator reads --base-path: one leading slash, no trailing one.
QString normalizedPath(QString path)
{
    path = path.trimmed();
    while (path.endsWith(QLatin1Char('/')))
        path.chop(1);
    return path.isEmpty() || path.startsWith(QLatin1Char('/')) ? path : QLatin1Char('/') + path;
}

} // namespace

SimulatorProcess::SimulatorProcess() = default;

SimulatorProcess::~SimulatorProcess()
{
    stop();
}

bool SimulatorProcess::start(const QStringList &arguments, int timeoutMs)
{
    QStringList all = arguments;
    if (!all.contains(QStringLiteral("--port")))
        all << QStringLiteral("--port") << QStringLiteral("0");
    m_basePath = normalizedPath(
        optionValue(arguments, QStringLiteral("--base-path"), QLatin1String(kDefaultBasePath)));
    // A file, not a pipe: a pipe nobody reads would stall the simulator once full.
    m_process.setStandardErrorFile(filePath(QLatin1String(kLogFile)));
    m_process.start(executable(), all);
    const QDeadlineTimer deadline(timeoutMs);
    QByteArray output;
    while (!output.contains('\n')) {
        if (!m_process.waitForReadyRead(static_cast<int>(qMax<qint64>(1, deadline.remainingTime())))
            && (deadline.hasExpired() || m_process.state() != QProcess::Running)) {
            m_error = QStringLiteral("simulator did not start: ") + m_process.errorString()
                + QLatin1Char(' ') + QString::fromUtf8(log());
            stop();
            return false;
        }
        output += m_process.readAllStandardOutput();
    }
    const QByteArray line = output.left(output.indexOf('\n')).trimmed();
    m_url = QUrl(QString::fromUtf8(line.mid(int(sizeof kListening) - 1)));
    if (!line.startsWith(kListening) || !m_url.isValid() || m_url.port() <= 0) {
        m_error = QStringLiteral("unexpected first line: ") + QString::fromUtf8(line);
        stop();
        return false;
    }
    return true;
}

bool SimulatorProcess::isRunning() const
{
    return m_process.state() == QProcess::Running;
}

int SimulatorProcess::stop(int timeoutMs)
{
    if (m_process.state() == QProcess::NotRunning)
        return m_process.exitStatus() == QProcess::NormalExit ? m_process.exitCode() : -1;
    m_process.terminate();
    if (!m_process.waitForFinished(timeoutMs)) {
        m_process.kill();
        m_process.waitForFinished(timeoutMs);
        return -1;
    }
    return m_process.exitStatus() == QProcess::NormalExit ? m_process.exitCode() : -1;
}

QUrl SimulatorProcess::apiUrl() const
{
    QUrl url = m_url;
    url.setPath(m_basePath);
    return url;
}

QJsonObject SimulatorProcess::ledger(int timeoutMs) const
{
    QUrl url = m_url;
    url.setPath(QLatin1String(kLedgerPath));
    QNetworkAccessManager manager;
    QNetworkReply *reply = manager.get(QNetworkRequest(url));
    // Loopback only, with a certificate the test made itself.
    reply->ignoreSslErrors();
    QEventLoop loop;
    QObject::connect(reply, &QNetworkReply::finished, &loop, &QEventLoop::quit);
    QTimer::singleShot(timeoutMs, &loop, &QEventLoop::quit);
    loop.exec();
    const QByteArray body = reply->isFinished() ? reply->readAll() : QByteArray();
    reply->abort();
    delete reply;
    return QJsonDocument::fromJson(body).object();
}

QJsonObject SimulatorProcess::payment(const QString &transactionId) const
{
    const QJsonArray payments = ledger().value(QStringLiteral("payments")).toArray();
    for (const QJsonValue &payment : payments) {
        if (payment.toObject().value(QStringLiteral("transaction_id")).toString() == transactionId)
            return payment.toObject();
    }
    return QJsonObject();
}

QByteArray SimulatorProcess::log() const
{
    QFile file(filePath(QLatin1String(kLogFile)));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QString SimulatorProcess::filePath(const QString &name) const
{
    return m_dir.filePath(name);
}

QByteArray SimulatorProcess::authHeader(
    const QString &branchId, const QString &secret, qint64 seconds)
{
    const QByteArray timestamp = QByteArray::number(seconds);
    const QByteArray digest
        = QCryptographicHash::hash(timestamp + secret.toUtf8(), QCryptographicHash::Sha256).toHex();
    return branchId.toUtf8() + ':' + digest + ':' + timestamp;
}

QString SimulatorProcess::executable()
{
    const QByteArray overridden = qgetenv("VESANU_SIM_EXECUTABLE");
    return overridden.isEmpty() ? QStringLiteral(VESANU_SIM_EXECUTABLE)
                                : QString::fromLocal8Bit(overridden);
}
