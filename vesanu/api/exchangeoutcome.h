#pragma once

#include "vesanu/api/hostheaders.h"
#include "vesanu/api/outcome.h"

class QJsonValue;
class QUrl;

namespace vesanu {
namespace api {

// The plug-in's one reading of the host's RestClient::Result. It relies on
// the answer's JSON object, the HTTP status and the network error that tells
// a request that never left; a host whose Result lacks the last two must say
// so at build time (see exchangeoutcome.cpp), and then the body alone decides.
class ExchangeOutcome
{
public:
    // The host's client finished the exchange and handed back its Result.
    explicit ExchangeOutcome(const RestClient::Result &result);

    // Nothing was handed to a client: the request cannot have left.
    static ExchangeOutcome neverSent();
    // The request was handed to a client that then failed without a Result:
    // it may have reached the service.
    static ExchangeOutcome lost();

    // What the exchange came to for the transaction `askedId` (empty: any).
    Outcome classify(const QString &askedId) const;

    // The answer's JSON object; empty when there was none.
    QJsonObject json() const { return m_json; }
    // The answer's HTTP status; 0 when the host's Result does not tell it.
    int httpCode() const { return m_httpStatus; }
    // An HTTP answer whose status is not a success.
    bool isHttpError() const;
    // A refusal that says nothing else about the payment, or names it Failed.
    bool refusalIsPlain() const;
    // The answer names a transaction other than `askedId`.
    bool answersAnother(const QString &askedId) const;
    // Why nothing usable came back, in a few words for the log, when the
    // outcome is not an answer of the service.
    QString failureReason() const;

private:
    ExchangeOutcome() = default;

    QJsonObject m_json;
    bool m_neverLeft = false;
    // An HTTP answer arrived, whatever its body.
    bool m_completed = false;
    int m_httpStatus = 0;
    // QNetworkReply::NetworkError, when the host's Result tells it.
    int m_networkError = 0;
    bool m_clientFailed = false;
};

// A JSON member counts as a number only when it is a JSON number with a
// whole value that an int can hold.
bool isWholeNumber(const QJsonValue &value);

// An address as the log may show it: never with its user name or password
// (QUrl::toString() keeps both). Every address the plug-in logs goes through it.
QString loggedAddress(const QUrl &url);

} // namespace api
} // namespace vesanu
