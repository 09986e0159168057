#pragma once

#include <QJsonObject>
#include <QProcess>
#include <QString>

// vesanu-sim on a free loopback port, for as long as this object lives.
class Simulator
{
public:
    Simulator(const QString &program, const QStringList &arguments);
    ~Simulator();

    // "http://127.0.0.1:PORT" once it listens; empty when it did not start.
    QString url() const { return m_url; }
    QString errors();
    // The ledger's entry for one transaction, read with this host's own
    // HTTP client; empty when the service does not know it.
    QJsonObject payment(const QString &transactionId) const;

private:
    QProcess m_process;
    QString m_url;
};
