#pragma once

#include "vesanu/api/hostheaders.h"
#include "vesanu/api/course.h"
#include "vesanu/api/moneystate.h"
#include "vesanu/api/outcome.h"
#include "vesanu/api/waitclock.h"
#include "vesanu/api/waitgate.h"

#include <QHash>
#include <QJsonObject>
#include <QString>
#include <QUrl>

#include <chrono>
#include <memory>

class PaymentProcessingRequest;

namespace Log4Qt {
class Logger;
}

namespace vesanu {

namespace api {
class ExchangeOutcome;
}
namespace journal {
class Bookkeeper;
}

// Client of the VesaNu HTTPS JSON API. Every exchange goes through the table
// of virtual operations (whose order is fixed), so a derived class or a test
// double can replace any single request, address, header or identifier.
// A payment's and a reversal's status wait runs in the same loop as their
// void and their interrupt, so that their course is decided in one place;
// waitForStatus() runs that loop for a wait on its own.
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
        // What the exchange came to; success is true exactly for Answered.
        // Not part of equality.
        api::Outcome outcome = api::Outcome::Answered;
        // Why nothing usable came back, for the log; not part of equality.
        QString reason;
        // Where the money is when a payment, refund or cancel ends; not part
        // of equality.
        api::MoneyState money = api::MoneyState::None;
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

    // The clock and sleep of every status wait; the monotonic clock by default.
    void setWaitClock(const api::WaitClock &clock);

    // From any thread while payment() runs on another: ends its wait and
    // voids it. False when no payment's course is open to an interrupt.
    bool interruptPayment();

    // A signed status question for a transaction that does not exist and,
    // unless its answer settles it, the same question signed wrongly on
    // purpose: whether the service can be reached and takes the signature
    // (interfaceconnection.cpp).
    RequestResult testConnection() const;

    // The settings init() found missing (their keys, joined), or empty: while
    // any is missing, nothing leaves.
    QString getSettingsProblem() const { return settingsProblem; }

protected:
    std::chrono::milliseconds timeout;
    std::chrono::milliseconds payDuration;
    std::chrono::milliseconds statusRequestInterval;
    QString cashboxCode;
    QString branchId;
    QString secretKey;
    Log4Qt::Logger *logger;

private:
    RequestResult parse(const api::ExchangeOutcome &outcome, const QString &askedId) const;
    RequestResult exchange(Method method, const QString &id, const QJsonDocument &body) const;
    RequestResult follow(api::Course &course, const RequestResult &first, const QString &id) const;
    RequestResult drive(api::Course &course, api::Course::Step step, RequestResult last,
                        const QString &id) const;
    static api::Outcome observed(const RequestResult &result);
    // What the journal hears of one exchange.
    static QString replyReason(const RequestResult &answer);
    api::Course::Step voidPayment(api::Course &course, const QString &id) const;
    RequestResult conclude(const api::Course &course, RequestResult last, const QString &id) const;
    RequestResult ended(RequestResult result, const QString &id) const;
    RequestResult pay(const PaymentProcessingRequest &request, const QString &id);
    RequestResult settingsMissing(api::MoneyState money, const QString &id) const;

    // The three headers, "Auth" signed with `secret`.
    QHash<QString, QString> headersSignedWith(const QString &secret) const;
    // The connection test's control question: the status question for `id`
    // through sendRequest(), whose getHeaders() signs it with a wrong key.
    RequestResult askSignedWrongly(const QString &id) const;

    // The payment journal (interfacejournal.cpp).
    RequestResult journalEnd(const api::Course &course, RequestResult result);
    bool voidNow(const QString &id, bool acknowledged) const;
    static RequestResult journalUnavailable(const QString &id);
    static RequestResult journalUnrecorded(const QString &id);
    RequestResult interruptedBeforeSending(const QString &id) const;
    static RequestResult partialRefund();

    mutable api::WaitGate waitGate;
    QString settingsProblem;
    // Set only while askSignedWrongly() runs.
    mutable bool signingWrongly = false;
    std::unique_ptr<journal::Bookkeeper> bookkeeper;
};

} // namespace vesanu
