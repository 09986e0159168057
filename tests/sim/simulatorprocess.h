#pragma once

#include <QByteArray>
#include <QJsonObject>
#include <QProcess>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <QUrl>

// Runs the vesanu-sim executable as a child process for a test: on a free
// loopback port, its log in a file of its own, stopped with SIGTERM.
class SimulatorProcess
{
public:
    SimulatorProcess();
    ~SimulatorProcess();

    SimulatorProcess(const SimulatorProcess &) = delete;
    SimulatorProcess &operator=(const SimulatorProcess &) = delete;

    // Extra command-line options, e.g. {"--branch", "b1", "--secret", "s"}.
    // Waits (bounded) for the "listening on" line; false with errorString().
    bool start(const QStringList &arguments = QStringList(), int timeoutMs = 10000);
    bool isRunning() const;
    // SIGTERM, then kill after timeoutMs. The exit code, or -1 when it crashed or was killed.
    int stop(int timeoutMs = 5000);

    int port() const { return m_url.port(); }
    // "http://127.0.0.1:PORT" (https with --cert).
    QUrl baseUrl() const { return m_url; }
    // The base address of the API, baseUrl() plus the base path.
    QUrl apiUrl() const;
    QString errorString() const { return m_error; }

    // GET /__sim/ledger; an empty object when the simulator did not answer.
    QJsonObject ledger(int timeoutMs = 5000) const;
    // The ledger entry of one transaction; empty when there is none.
    QJsonObject payment(const QString &transactionId) const;
    // Everything the simulator logged so far.
    QByteArray log() const;
    // A directory that lives as long as this object, e.g. for --ledger.
    QString filePath(const QString &name) const;

    // The "Auth" value the simulator expects for these credentials.
    static QByteArray authHeader(const QString &branchId, const QString &secret, qint64 seconds);
    static QString executable();

private:
    QProcess m_process;
    QTemporaryDir m_dir;
    QUrl m_url;
    QString m_basePath;
    QString m_error;
};
