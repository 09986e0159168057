#include "ledgerview.h"

#include <QJsonArray>
#include <QRegularExpression>
#include <QStringList>

namespace {

QString state(const QJsonObject &entry)
{
    return entry.value(QStringLiteral("state")).toString();
}

} // namespace

LedgerView::LedgerView(
    const QJsonObject &entry, const QByteArray &requestLog, const QString &apiPath)
    : m_entry(entry)
{
    const QByteArray marker = ' ' + apiPath.toUtf8() + '/';
    for (const QByteArray &line : requestLog.split('\n')) {
        if (!apiPath.isEmpty() && line.contains(marker))
            m_apiLines << line;
    }
}

bool LedgerView::completed(Operation operation) const
{
    switch (operation) {
    case Operation::Pay:
        return state(m_entry) == QLatin1String("paid");
    case Operation::Refund:
    case Operation::Cancel:
    case Operation::RefundUnknown:
        return state(m_entry) == QLatin1String("reversed");
    case Operation::Fiscal:
    case Operation::FiscalUnknown:
        return !m_entry.value(QStringLiteral("qrcodes")).toArray().isEmpty();
    }
    return false;
}

int LedgerView::apiRequests() const
{
    return m_apiLines.size();
}

int LedgerView::paymentRequests() const
{
    return count("payment_requests");
}

int LedgerView::reversalRequests() const
{
    return count("reversal_requests");
}

bool LedgerView::reversalRefused() const
{
    return reversalRequests() > 0
        && m_entry.value(QStringLiteral("reversal")).toString() == QLatin1String("failed");
}

int LedgerView::count(const char *key) const
{
    return m_entry.value(QLatin1String(key)).toInt();
}

QString LedgerView::describe(Operation operation) const
{
    if (m_entry.isEmpty())
        return QStringLiteral("no such transaction; ") + describeRequests();
    // A payment shows its reversal only when it had one: the plug-in's void.
    const bool reversal = operation == Operation::Refund || operation == Operation::Cancel
        || reversalRequests() > 0;
    QStringList parts { state(m_entry) };
    if (reversal)
        parts << QStringLiteral("reversal %1")
                     .arg(m_entry.value(QStringLiteral("reversal")).toString());
    parts << QStringLiteral("payment requests %1").arg(paymentRequests())
          << QStringLiteral("status queries %1").arg(count("status_queries"));
    if (reversal)
        parts << QStringLiteral("reversal requests %1").arg(reversalRequests());
    if (operation == Operation::Fiscal) {
        parts << QStringLiteral("QR codes stored %1")
                     .arg(m_entry.value(QStringLiteral("qrcodes")).toArray().size());
    }
    return parts.join(QStringLiteral(", "));
}

// Requests that left no entry: refused ones, or none at all.
QString LedgerView::describeRequests() const
{
    if (m_apiLines.isEmpty())
        return QStringLiteral("no request reached the service");
    static const QRegularExpression code(QStringLiteral("error_code=(-?\\d+)"));
    QStringList codes;
    for (const QByteArray &line : m_apiLines) {
        const QRegularExpressionMatch match = code.match(QString::fromUtf8(line));
        if (match.hasMatch() && !codes.contains(match.captured(1)))
            codes << match.captured(1);
    }
    return QStringLiteral("%1 request(s) answered with error_code %2")
        .arg(m_apiLines.size())
        .arg(codes.join(QStringLiteral("/")));
}
