#include "service.h"

#include "simconstants.h"

#include <QJsonDocument>
#include <QJsonValue>
#include <cmath>

namespace sim {

namespace {

Answer malformed(const QString &note)
{
    return Answer::refusal(code::Malformed, note);
}

// Larger whole numbers are no longer exact in a JSON double.
constexpr double MaxExactInteger = 9007199254740991.0;

} // namespace

Service::Service(Ledger &ledger, const QSet<QString> &cashboxes)
    : m_ledger(ledger)
    , m_cashboxes(cashboxes)
{
}

Answer Service::payment(const QByteArray &body, const QString &contentType, const QString &branchId)
{
    QJsonObject object;
    Answer refusal;
    if (!readObject(body, contentType, &object, &refusal))
        return refusal;
    Payment::Request request;
    request.branchId = branchId;
    if (!readAmount(object, &request.amount))
        return malformed(QLatin1String(note::BadAmount));
    if (!readString(object, key::OtpData, &request.token) || request.token.isEmpty())
        return malformed(QLatin1String(note::BadToken));
    if (!readString(object, key::CashboxCode, &request.cashboxCode))
        return malformed(QLatin1String(note::BadCashbox));
    if (!readString(object, key::TransactionId, &request.transactionId)
        || !isValidTransactionId(request.transactionId))
        return malformed(QLatin1String(note::BadTransaction));
    if (!m_cashboxes.isEmpty() && !m_cashboxes.contains(request.cashboxCode))
        return Answer::refusal(code::Forbidden, QLatin1String(note::UnknownCashbox));
    Scenario scenario;
    QString error;
    Answer answer = Scenario::parse(request.token, &scenario, &error)
        ? m_ledger.pay(request, scenario)
        : malformed(QLatin1String(note::BadScenario) + error);
    answer.detail = QStringLiteral("otp_data=") + Payment::maskToken(request.token)
        + QStringLiteral(" scenario=") + scenario.text();
    return answer;
}

Answer Service::status(const QString &transactionId)
{
    return m_ledger.status(transactionId);
}

Answer Service::reversal(const QString &transactionId)
{
    return m_ledger.reverse(transactionId);
}

Answer Service::submitQrCode(const QByteArray &body, const QString &contentType)
{
    QJsonObject object;
    Answer refusal;
    if (!readObject(body, contentType, &object, &refusal))
        return refusal;
    QString transactionId;
    QString qrCode;
    if (!readString(object, key::TransactionId, &transactionId))
        return malformed(QLatin1String(note::BadTransaction));
    if (!readString(object, key::QrCode, &qrCode))
        return malformed(QLatin1String(note::BadQrCode));
    return m_ledger.submitQrCode(transactionId, qrCode);
}

bool Service::isValidTransactionId(const QString &transactionId)
{
    if (transactionId.isEmpty() || transactionId.size() > limit::MaxTransactionIdLength)
        return false;
    for (const QChar c : transactionId) {
        const bool letter = (c >= QLatin1Char('a') && c <= QLatin1Char('z'))
            || (c >= QLatin1Char('A') && c <= QLatin1Char('Z'));
        const bool digit = c >= QLatin1Char('0') && c <= QLatin1Char('9');
        if (!letter && !digit && c != QLatin1Char('-') && c != QLatin1Char('_'))
            return false;
    }
    return true;
}

bool Service::readObject(
    const QByteArray &body, const QString &contentType, QJsonObject *object, Answer *refusal)
{
    const QString mediaType = contentType.section(QLatin1Char(';'), 0, 0).trimmed();
    if (mediaType.compare(QLatin1String(header::Json), Qt::CaseInsensitive) != 0) {
        *refusal = malformed(QLatin1String(note::ContentType));
        return false;
    }
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(body, &error);
    if (error.error != QJsonParseError::NoError) {
        *refusal = malformed(QLatin1String(note::NotJson));
        return false;
    }
    if (!document.isObject()) {
        *refusal = malformed(QLatin1String(note::NotObject));
        return false;
    }
    *object = document.object();
    return true;
}

bool Service::readAmount(const QJsonObject &object, qint64 *amount)
{
    const QJsonValue value = object.value(QLatin1String(key::Amount));
    if (!value.isDouble())
        return false;
    const double number = value.toDouble();
    if (!std::isfinite(number) || number < 1 || number > MaxExactInteger
        || std::floor(number) != number)
        return false;
    *amount = static_cast<qint64>(number);
    return true;
}

bool Service::readString(const QJsonObject &object, const char *key, QString *value)
{
    const QJsonValue member = object.value(QLatin1String(key));
    if (!member.isString())
        return false;
    *value = member.toString();
    return true;
}

} // namespace sim
