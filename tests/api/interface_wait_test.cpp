#include "apitestsupport.h"
#include "support/qtprinting.h"

#include "contract/paymentprocessingrequest.h"
#include "support/logcapture.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <algorithm>

using vesanu::Interface;
using vesanu::api::WaitClock;
using Result = vesanu::Interface::RequestResult;
using namespace std::chrono;

namespace {

class StatusWait : public ::testing::Test
{
protected:
    void configure(int payDurationSeconds, int intervalSeconds)
    {
        config.values = {{"VesaNu:host", "http://127.0.0.1:9"},
                         {"VesaNu:payDuration", QString::number(payDurationSeconds)},
                         {"VesaNu:statusRequestInterval", QString::number(intervalSeconds)}};
        client.init();
        client.setWaitClock(clock.clock());
    }

    MemoryConfig config;
    FakeService service;
    FakeClock clock;
    Interface client;
};

} // namespace

TEST_F(StatusWait, StopsAtTargetOrFailedAndReportsAFailedEndAsFailure)
{
    configure(5, 0);
    const auto ok = [](int status) { return FakeService::json(statusAnswer(status)); };
    struct Case
    {
        const char *name;
        QList<RestClient::Result> answers;
        Result::Status target;
        int calls;
        bool success;
        const char *key;
    };
    const Case cases[] = {
        {"target at once", {ok(2)}, Result::Paid, 1, true, ""},
        {"pending then target", {ok(0), ok(1), ok(5), ok(2)}, Result::Paid, 4, true, ""},
        {"reversed is not paid", {ok(3), ok(3), ok(2)}, Result::Paid, 3, true, ""},
        {"failed ends the wait", {ok(1), ok(-1), ok(2)}, Result::Paid, 2, false, "requestStatusFailed"},
        {"failed ends a reversal wait", {ok(-1)}, Result::Reversed, 1, false, "requestStatusFailed"},
        // An answer that failed is not final, whatever status its body names.
        {"failed answer at the target", {FakeService::json(statusAnswer(2), 500), ok(2)}, Result::Paid,
         2, true, ""},
        {"service error naming Failed", {FakeService::json(statusAnswer(-1, 500)), ok(2)}, Result::Paid,
         2, true, ""},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        LogCapture log;
        service.calls.clear();
        service.answers = c.answers;
        const Result result = client.waitForStatus(c.target, "tx-1");
        EXPECT_EQ(service.calls.size(), c.calls);
        EXPECT_EQ(result.success, c.success);
        EXPECT_EQ(result.message.key(), QString(c.key));
        if (!c.success) {
            EXPECT_EQ(result.message.defaultText(), "Операция отклонена сервисом");
            EXPECT_EQ(result.getPaymentStatus(), Result::Failed) << "the last answer is kept";
        }
        EXPECT_TRUE(log.texts("vesanu").contains(
            QStringLiteral("Ожидание статуса '%1'").arg(int(c.target))));
        EXPECT_EQ(service.calls.at(0).url.path(), "/api/v1/payment/status/tx-1");
    }
}

TEST_F(StatusWait, ZeroDurationMakesExactlyOneRequestAndTimesOutAsFailure)
{
    configure(0, 0);
    service.fallback = FakeService::json(statusAnswer(1));
    const Result result = client.waitForStatus(Result::Paid, "tx");
    EXPECT_EQ(service.calls.size(), 1);
    EXPECT_FALSE(result.success);
    EXPECT_EQ(result.errorCode, 0);
    EXPECT_EQ(result.message.key(), "requestStatusTimeout");
    EXPECT_EQ(result.message.defaultText(), "Истекло время ожидания подтверждения операции");
    EXPECT_EQ(result.getPaymentStatus(), 1);
}

TEST_F(StatusWait, AFailedLastAnswerIsReturnedAsItCame)
{
    configure(0, 0);
    service.fallback = FakeService::noAnswer();
    const Result result = client.waitForStatus(Result::Paid, "tx");
    EXPECT_FALSE(result.success);
    EXPECT_EQ(result.message.key(), "requestIncorrectAnswer");
}

TEST_F(StatusWait, RequestsStartOneIntervalAfterThePreviousStartAndNoLaterThanTheDeadline)
{
    struct Case
    {
        int payDuration;
        int interval;
        int exchangeMs;
        QList<int> offsetsMs;
    };
    const Case cases[] = {
        {2, 1, 0, {0, 1000, 2000}},
        // The last sleep is cut short: the wait ends within payDuration and one exchange.
        {1, 3, 0, {0, 1000}},
        // An exchange longer than the interval is followed at once.
        {3, 1, 1400, {0, 1400, 2800}},
        // No interval: back to back until payDuration has passed.
        {1, 0, 300, {0, 300, 600, 900}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.interval);
        configure(c.payDuration, c.interval);
        clock.now = clock.start;
        QList<int> offsets;
        service.responder = [&](const FakeService::Call &) {
            offsets << clock.elapsedMs();
            clock.advance(milliseconds(c.exchangeMs));
            return FakeService::json(statusAnswer(0));
        };
        const Result result = client.waitForStatus(Result::Paid, "tx");
        EXPECT_EQ(offsets, c.offsetsMs);
        EXPECT_EQ(clock.elapsedMs(), c.offsetsMs.last() + c.exchangeMs);
        EXPECT_EQ(result.message.key(), "requestStatusTimeout");
    }
}

TEST_F(StatusWait, PaymentWaitsForPaidOnItsOwnIdentifier)
{
    configure(5, 0);
    // A first answer that already says Failed still starts the wait.
    service.answers = {FakeService::json(statusAnswer(-1)), FakeService::json(statusAnswer(-1))};
    PaymentProcessingRequest request;
    request.setAmount(1);
    const Result result = client.payment(request);
    ASSERT_EQ(service.calls.size(), 2);
    EXPECT_EQ(service.calls.at(1).url.path(),
              "/api/v1/payment/status/" + result.getTransactionId());
    EXPECT_FALSE(result.success);
    EXPECT_EQ(result.message.key(), "requestStatusFailed");
    EXPECT_FALSE(result.getTransactionId().isEmpty());
}

namespace {

// Replaces single steps; the client's own operations must reach them.
class SteppedInterface : public Interface
{
public:
    QString getUuid() const override { return QStringLiteral("fixed-id"); }
    Result sendRequest(Method method, const QString &id) const override
    {
        statusIds << id;
        return Interface::sendRequest(method, id);
    }
    QUrl getUrl(Method method, const QString &id) const override
    {
        QUrl url = Interface::getUrl(method, id);
        url.setQuery(QStringLiteral("via=override"));
        return url;
    }
    mutable QStringList statusIds;
};

} // namespace

TEST_F(StatusWait, EveryStepGoesThroughTheVirtualTable)
{
    configure(5, 0);
    // One process writes a journal through one client: this one has its own.
    QTemporaryDir journalDir;
    config.values.insert("VesaNu:journal", journalDir.filePath("stepped.sqlite"));
    SteppedInterface stepped;
    stepped.init();
    service.answers = {FakeService::json(statusAnswer(1)), FakeService::json(statusAnswer(2))};
    const Result result = stepped.payment(PaymentProcessingRequest());
    EXPECT_EQ(result.getTransactionId(), "fixed-id");
    EXPECT_EQ(stepped.statusIds, QStringList{"fixed-id"});
    ASSERT_EQ(service.calls.size(), 2);
    EXPECT_EQ(service.calls.at(0).url.query(), "via=override");
    EXPECT_EQ(service.calls.at(1).url.query(), "via=override");
}

TEST_F(StatusWait, AnInterruptEndsTheWaitWithAVoidButNotASuccess)
{
    configure(300, 10);
    EXPECT_FALSE(client.interruptPayment()) << "no payment is running";

    // The cashier interrupts while the payment sleeps between questions.
    WaitClock clock = this->clock.clock();
    clock.sleepUntil = [this](WaitClock::TimePoint until) {
        EXPECT_TRUE(client.interruptPayment());
        this->clock.now = std::min(until, this->clock.now + milliseconds(50));
    };
    client.setWaitClock(clock);
    service.answers = {FakeService::json(statusAnswer(1)), FakeService::json(statusAnswer(1)),
                       FakeService::json(statusAnswer(3))};
    LogCapture log;
    Result result = client.payment(PaymentProcessingRequest());
    EXPECT_FALSE(result.success);
    EXPECT_EQ(result.message.key(), "requestInterrupted");
    ASSERT_EQ(service.calls.size(), 3);
    EXPECT_EQ(service.calls.last().operation, 5) << "voided";
    EXPECT_TRUE(log.contains("Оплата прервана кассиром: " + result.getTransactionId()));
    EXPECT_FALSE(client.interruptPayment()) << "the payment is over";

    // An interrupt while the service says paid leaves the success as it is.
    service.calls.clear();
    service.answers.clear();
    service.responder = [this](const FakeService::Call &) {
        client.interruptPayment();
        return FakeService::json(statusAnswer(2));
    };
    result = client.payment(PaymentProcessingRequest());
    EXPECT_TRUE(result.success);
    EXPECT_EQ(service.calls.size(), 1);

    // A refund cannot be interrupted.
    client.setWaitClock(this->clock.clock());
    service.calls.clear();
    service.responder = [this](const FakeService::Call &) {
        EXPECT_FALSE(client.interruptPayment());
        return FakeService::json(statusAnswer(service.calls.size() < 3 ? 1 : 3));
    };
    PaymentProcessingRequest refund;
    refund.setRrn("r");
    EXPECT_TRUE(client.reversal(refund).success);
}
