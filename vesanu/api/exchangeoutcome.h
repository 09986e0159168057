#pragma once

#include "vesanu/api/hostheaders.h"

namespace vesanu {
namespace api {

// The plug-in's one reading of the host's RestClient::Result. All it relies
// on is the answer's JSON object. Where the host's Result also tells the HTTP
// status and how the exchange ended (ours does), they are read here to tell
// failures apart; a Result without them leaves both unknown, and the body
// alone decides.
class ExchangeOutcome
{
public:
    // Nothing came back at all.
    ExchangeOutcome() = default;
    explicit ExchangeOutcome(const RestClient::Result &result);

    // The answer's JSON object; empty when there was none.
    QJsonObject json() const { return m_json; }
    // The request cannot have reached the service: the connection was
    // refused, the host unknown, the TLS handshake failed, or the client
    // refused to send it.
    bool neverLeft() const { return m_neverLeft; }
    // The answer's HTTP status; 0 when the host's Result does not tell it.
    int httpCode() const { return m_httpStatus; }
    // An HTTP answer whose status is not a success.
    bool isHttpError() const;

private:
    QJsonObject m_json;
    bool m_neverLeft = false;
    int m_httpStatus = 0;
};

} // namespace api
} // namespace vesanu
