#pragma once

#include "answer.h"
#include "ledger.h"

#include <QByteArray>
#include <QJsonObject>
#include <QSet>
#include <QString>

namespace sim {

// The API operations behind a verified signature: checks what the client
// sent and asks the ledger. Knows nothing of HTTP.
class Service
{
public:
    // An empty cashbox set accepts every cashbox.
    Service(Ledger &ledger, const QSet<QString> &cashboxes);

    Answer payment(const QByteArray &body, const QString &contentType, const QString &branchId);
    Answer status(const QString &transactionId);
    Answer reversal(const QString &transactionId);
    Answer submitQrCode(const QByteArray &body, const QString &contentType);

    static bool isValidTransactionId(const QString &transactionId);

private:
    static bool readObject(
        const QByteArray &body, const QString &contentType, QJsonObject *object, Answer *refusal);
    static bool readAmount(const QJsonObject &object, qint64 *amount);
    static bool readString(const QJsonObject &object, const char *key, QString *value);

    Ledger &m_ledger;
    QSet<QString> m_cashboxes;
};

} // namespace sim
