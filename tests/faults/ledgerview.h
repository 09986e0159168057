#pragma once

#include "faultcase.h"

#include <QByteArray>
#include <QJsonObject>
#include <QString>

// The service's side of one scenario: its ledger entry for the transaction
// and the lines its request log gained during the call.
class LedgerView
{
public:
    LedgerView(const QJsonObject &entry, const QByteArray &requestLog, const QString &apiPath);

    // The operation was carried out at the service.
    bool completed(Operation operation) const;
    // The API requests that arrived during the call.
    int apiRequests() const;
    int paymentRequests() const;
    int reversalRequests() const;
    // The service was asked to reverse the operation and refused.
    bool reversalRefused() const;
    // A short account for the report.
    QString describe(Operation operation) const;

private:
    int count(const char *key) const;
    QString describeRequests() const;

    QJsonObject m_entry;
    QList<QByteArray> m_apiLines;
};
