#pragma once

#include "vesanu/api/hostheaders.h"

#include <QHash>
#include <QJsonObject>
#include <QString>
#include <QUrl>

#include <chrono>

class PaymentProcessingRequest;

namespace Log4Qt {
class Logger;
}

namespace vesanu {

namespace api {
class ExchangeOutcome;
}

// Client of the VesaNu HTTPS JSON API. Every call from one of its operations
// to another goes through the table of virtual operations (whose order is
// fixed), so a derived class or a test double can replace any single step.
class Interface
{
public:
    // Every int is a valid Method: a value outside the table is defined
    // behaviour (the base address, a POST), not undefined.
    enum Method : int {
        Payment = 0,
        PaymentStatus = 1,
        Reversal = 2,
        OfdData = 3,
    };

    class RequestResult
    {
    public:
        // Every int is a valid Status: the service may report any number.
        enum Status : int {
            Failed = -1,
            Paid = 2,
            Reversed = 3,
        };

        // "payment_status" of the answer; 0 when absent or not a whole number.
        Status getPaymentStatus() const;
        // "payment_id" of the answer; -1 when absent or not a whole number.
        int getPaymentId() const;
        // "phone_number" of the answer; empty when absent or not a string.
        QString getPhone() const;
        QString getTransactionId() const;

        // transactionId takes no part in equality.
        bool operator==(const RequestResult &other) const;
        bool operator!=(const RequestResult &other) const { return !(*this == other); }

        bool success = true;
        int errorCode = 0;
        tr::Tr message;
        QJsonObject json;
        QString transactionId;
        // The request cannot have reached the service: the connection was
        // refused, the host unknown, the TLS handshake failed, the client
        // refused to send it, or there was no client. Not part of equality.
        bool unsent = false;
        // The service answered that it does not know the transaction (HTTP
        // 404 with a JSON answer). Not part of equality.
        bool unknownTransaction = false;
    };

    Interface();
    virtual ~Interface();

    virtual void init();
    virtual RequestResult payment(const PaymentProcessingRequest &request);
    virtual RequestResult reversal(const PaymentProcessingRequest &request) const;
    virtual bool sendOfdData(const QString &transactionId, const QString &qrCode) const;
    virtual RequestResult waitForStatus(RequestResult::Status target, const QString &id) const;
    virtual RequestResult sendRequest(Method method, const QJsonObject &body) const;
    virtual RequestResult sendRequest(Method method, const QString &id) const;
    virtual QHash<QString, QString> getHeaders() const;
    virtual QString getUuid() const;
    virtual QUrl getUrl(Method method, const QString &id) const;

    int getOperation(Method method) const;
    RequestResult getRequestResult(const RestClient::Result &result) const;
    QString getBranchId() const;

protected:
    std::chrono::milliseconds timeout;
    std::chrono::milliseconds payDuration;
    std::chrono::milliseconds statusRequestInterval;
    QString cashboxCode;
    QString branchId;
    QString secretKey;
    Log4Qt::Logger *logger;

private:
    RequestResult parse(const api::ExchangeOutcome &outcome) const;
    RequestResult exchange(Method method, const QString &id, const QJsonDocument &body) const;
    RequestResult neverSent() const;
    RequestResult settle(const RequestResult &first, RequestResult::Status target,
                         const QString &id, bool *inDoubt) const;
    RequestResult untilTarget(const RequestResult &answer, RequestResult::Status target,
                              const QString &id, bool *inDoubt) const;
    RequestResult awaitStatus(RequestResult::Status target, const QString &id, bool *inDoubt) const;
    void voidPayment(const QString &id) const;
};

} // namespace vesanu
