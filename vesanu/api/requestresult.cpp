#include "vesanu/api/interface.h"

#include "vesanu/api/constants.h"
#include "vesanu/api/exchangeoutcome.h"

#include <QJsonValue>


namespace vesanu {

using namespace api;

namespace {

int wholeNumber(const QJsonValue &value, int fallback)
{
    return isWholeNumber(value) ? value.toInt() : fallback;
}

// "error_code" absent or exactly 0 is no error. Any other value is an error,
// whatever its type or size; one that an int cannot carry is reported as
// UnreadableErrorCode, so that it never passes for 0.
int errorCodeOf(const QJsonValue &value)
{
    if (value.isUndefined() || (value.isDouble() && value.toDouble() == 0))
        return 0;
    return wholeNumber(value, UnreadableErrorCode);
}

tr::Tr incorrectAnswer()
{
    return tr::Tr(QString::fromUtf8(KeyIncorrectAnswer), QString::fromUtf8(TextIncorrectAnswer));
}

QString stringMember(const QJsonObject &json, const char *key)
{
    const QJsonValue value = json.value(QLatin1String(key));
    return value.isString() ? value.toString() : QString();
}

} // namespace

Interface::RequestResult::Status Interface::RequestResult::getPaymentStatus() const
{
    return Status(wholeNumber(json.value(QLatin1String(JsonPaymentStatus)), 0));
}

int Interface::RequestResult::getPaymentId() const
{
    return wholeNumber(json.value(QLatin1String(JsonPaymentId)), -1);
}

QString Interface::RequestResult::getPhone() const
{
    return stringMember(json, JsonPhoneNumber);
}

QString Interface::RequestResult::getTransactionId() const
{
    return transactionId;
}

bool Interface::RequestResult::operator==(const RequestResult &other) const
{
    if (this == &other)
        return true;
    return success == other.success && errorCode == other.errorCode && message == other.message
           && json == other.json;
}

Interface::RequestResult Interface::getRequestResult(const RestClient::Result &result) const
{
    return parse(ExchangeOutcome(result), QString());
}

// Fills the record's fields from the exchange. They agree with the outcome:
// success is true exactly when it is Answered.
Interface::RequestResult Interface::parse(const ExchangeOutcome &outcome,
                                          const QString &askedId) const
{
    RequestResult parsed;
    parsed.json = outcome.json();
    parsed.outcome = outcome.classify(askedId);
    if (parsed.outcome != Outcome::Answered && parsed.outcome != Outcome::Refused
        && parsed.outcome != Outcome::NotFound)
        parsed.reason = outcome.failureReason();

    if (parsed.json.isEmpty()) {
        logger->error(LogNoData);
        parsed.success = false;
        parsed.message = incorrectAnswer();
        return parsed;
    }

    parsed.errorCode = errorCodeOf(parsed.json.value(QLatin1String(JsonErrorCode)));
    if (parsed.errorCode != 0) {
        const QString note = stringMember(parsed.json, JsonErrorNote);
        // Not knowing a transaction is news, not an error: the connection
        // test and every wait for a request that never arrived hear it.
        if (parsed.outcome == Outcome::NotFound)
            logger->info(LogNotFound, askedId);
        else
            logger->error(LogServiceError, note);
        parsed.success = false;
        parsed.message = tr::Tr(QString::fromUtf8(KeyServiceError), note);
        return parsed;
    }

    // A JSON body that came with an HTTP error is not an acceptance, e.g. a
    // fiscal submission refused with 500. A status of 0 means the client did
    // not report one, and then the body alone decides.
    if (outcome.isHttpError()) {
        const int status = outcome.httpCode();
        logger->error(LogHttpError, status);
        parsed.success = false;
        parsed.message = tr::Tr(QString::fromUtf8(KeyHttpError),
                                QString::fromUtf8(TextHttpError).arg(status));
        return parsed;
    }

    // An answer about another transaction is no answer about this one.
    if (outcome.answersAnother(askedId)) {
        logger->error(LogOtherTransaction, askedId);
        parsed.success = false;
        parsed.message = incorrectAnswer();
    }
    return parsed;
}

} // namespace vesanu
