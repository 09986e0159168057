#pragma once

#include "answer.h"
#include "ledgerfile.h"
#include "payment.h"

#include <QHash>
#include <QJsonArray>
#include <QJsonObject>
#include <chrono>
#include <mutex>
#include <vector>

namespace sim {

// Every payment the simulated service knows, and the answers it gives about
// them. Thread-safe: the server calls it from its pool.
class Ledger
{
public:
    // With a path, the ledger is rewritten there after every change.
    explicit Ledger(const QString &filePath = QString());

    // A new payment, or the current state of the same payment asked again.
    Answer pay(const Payment::Request &request, const Scenario &scenario);
    Answer status(const QString &transactionId);
    Answer reverse(const QString &transactionId);
    Answer submitQrCode(const QString &transactionId, const QString &qrCode);
    // Keeps the last refusals for the inspection endpoint.
    void noteRefusal(const QString &method, const QString &path, const Answer &answer);

    QJsonObject toJson();
    // Why the last write of the ledger file failed; empty when it did not.
    QString fileError() const;

private:
    Payment *find(const QString &transactionId);
    qint64 nowMs() const;
    QJsonObject snapshot();
    void changed();

    mutable std::mutex m_mutex;
    std::vector<Payment> m_payments;
    QHash<QString, size_t> m_index;
    QJsonArray m_refusals;
    int m_nextPaymentId;
    LedgerFile m_file;
    QString m_fileError;
    const std::chrono::steady_clock::time_point m_start;
};

} // namespace sim
