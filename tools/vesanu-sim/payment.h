#pragma once

#include "scenario.h"

#include <QByteArray>
#include <QDateTime>
#include <QJsonObject>
#include <QString>
#include <QStringList>

namespace sim {

// One payment in the ledger and the life its scenario gives it.
// Not thread-safe: the ledger guards it.
class Payment
{
public:
    enum class State { Pending, Paid, Failed, Reversed };
    enum class Reversal { None, Pending, Failed };

    // What a payment request carries; two requests are the same payment when
    // all of it matches.
    struct Request
    {
        QString transactionId;
        qint64 amount = 0;
        QString token;
        QString cashboxCode;
        QString branchId;
    };

    Payment(const Request &request, const Scenario &scenario, int paymentId, qint64 nowMs);

    bool sameContents(const Request &request) const;
    // Brings time-driven changes ("pending-ms", "confirm-late") up to nowMs.
    void advance(qint64 nowMs);
    // A repeated payment request, a status query, a reversal, a fiscal
    // submission; each returns the number of that kind of answer so far.
    int countPaymentRequest(qint64 nowMs);
    int countStatusQuery(qint64 nowMs);
    // Paid and pending payments can be reversed (a pending one is cancelled),
    // and a reversed one answers its state again; a failed one cannot.
    bool canReverse() const;
    int reverse(qint64 nowMs);
    // A reversal request that was refused counts as a request all the same.
    void countRefusedReversal();
    int addQrCode(const QString &qrCode, qint64 nowMs);

    QString transactionId() const { return m_request.transactionId; }
    const Scenario &scenario() const { return m_scenario; }
    int wireStatus() const;
    // The answer envelope with the payment's current state.
    QJsonObject envelope() const;
    // The same for payment answers, which also carry an "error:CODE" refusal.
    QJsonObject paymentEnvelope() const;
    QJsonObject toLedgerJson() const;

    static QString maskToken(const QString &token);

private:
    void settle(State state);
    void finishReversal();
    void touch();

    Request m_request;
    QByteArray m_tokenHash;
    QString m_maskedToken;
    Scenario m_scenario;
    int m_paymentId;
    QString m_phone;
    State m_state = State::Pending;
    Reversal m_reversal = Reversal::None;
    qint64 m_createdMs;
    int m_paymentRequests = 1;
    int m_statusQueries = 0;
    int m_reversalRequests = 0;
    int m_reversalQueries = 0;
    int m_ofdRequests = 0;
    QStringList m_qrCodes;
    QDateTime m_created;
    QDateTime m_updated;
};

} // namespace sim
