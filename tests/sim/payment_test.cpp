#include "payment.h"

#include <QJsonObject>
#include <gtest/gtest.h>

using sim::Payment;
using sim::Scenario;

namespace {

Payment makePayment(const QString &token, qint64 nowMs = 0)
{
    Scenario scenario;
    QString error;
    EXPECT_TRUE(Scenario::parse(token, &scenario, &error)) << error.toStdString();
    Payment::Request request;
    request.transactionId = QStringLiteral("tx-1");
    request.amount = 1500;
    request.token = token;
    request.cashboxCode = QStringLiteral("cb-1");
    return Payment(request, scenario, 1001, nowMs);
}

struct LifeCase
{
    const char *token;
    // 'S' a status query, 'R' a reversal; the wire status after each.
    const char *events;
    std::vector<int> statuses; // first: right after the payment
    const char *finalState;
    const char *finalReversal;
};

// Test names show the case, not its bytes.
void PrintTo(const LifeCase &c, std::ostream *os)
{
    *os << c.token;
}

class PaymentLife : public ::testing::TestWithParam<LifeCase>
{
};

TEST_P(PaymentLife, FollowsItsScenario)
{
    const LifeCase &c = GetParam();
    Payment payment = makePayment(QString::fromUtf8(c.token));
    std::vector<int> statuses { payment.wireStatus() };
    for (const char *event = c.events; *event; ++event) {
        if (*event == 'S')
            payment.countStatusQuery(0);
        else
            payment.reverse(0);
        statuses.push_back(payment.wireStatus());
    }
    EXPECT_EQ(statuses, c.statuses);
    const QJsonObject ledger = payment.toLedgerJson();
    EXPECT_EQ(ledger.value(QStringLiteral("state")).toString().toStdString(), c.finalState);
    EXPECT_EQ(ledger.value(QStringLiteral("reversal")).toString().toStdString(), c.finalReversal);
}

INSTANTIATE_TEST_SUITE_P(Scenarios, PaymentLife,
    ::testing::Values(LifeCase { "4111", "SS", { 2, 2, 2 }, "paid", "none" },
        LifeCase { "pending:2", "SSS", { 1, 1, 2, 2 }, "paid", "none" },
        LifeCase { "pending:0", "", { 2 }, "paid", "none" },
        LifeCase { "declined", "S", { -1, -1 }, "failed", "none" },
        LifeCase { "declined-after:1", "SS", { 1, -1, -1 }, "failed", "none" },
        LifeCase { "never", "SSSS", { 1, 1, 1, 1, 1 }, "pending", "none" },
        LifeCase { "error:51", "S", { -1, -1 }, "failed", "none" },
        LifeCase { "flap:4", "SSSS", { 0, 1, 5, 7, 2 }, "paid", "none" },
        LifeCase { "x", "RS", { 2, 3, 3 }, "reversed", "reversed" },
        LifeCase { "reverse-pending:2", "RSSS", { 2, 4, 4, 3, 3 }, "reversed", "reversed" },
        // A repeated reversal while one is pending changes nothing.
        LifeCase { "reverse-pending:1", "RRS", { 2, 4, 4, 3 }, "reversed", "reversed" },
        LifeCase { "reverse-fail", "RS", { 2, -1, -1 }, "paid", "failed" },
        LifeCase { "reverse-pending:1+reverse-fail", "RS", { 2, 4, -1 }, "paid", "failed" },
        LifeCase { "pending:1", "SR", { 1, 2, 3 }, "reversed", "reversed" },
        // A pending payment is cancelled, for good; or the service refuses.
        LifeCase { "pending:1", "RS", { 1, 3, 3 }, "reversed", "reversed" },
        LifeCase { "never+reverse-fail", "RS", { 1, -1, -1 }, "pending", "failed" }));

TEST(Payment, PendingForMillisecondsTurnsPaidOnTimeUnlessReversedFirst)
{
    struct Case
    {
        const char *token;
        qint64 reversedAtMs; // -1: never
        const char *stateAt1099;
        const char *stateAt1100;
    };
    const Case cases[] = {
        { "pending-ms:100", -1, "pending", "paid" },
        { "never+confirm-late:100", -1, "pending", "paid" },
        { "never+confirm-late:100", 1050, "reversed", "reversed" },
        { "pending-ms:100", 1050, "reversed", "reversed" },
        { "never+confirm-late:100+reverse-fail", 1050, "pending", "paid" },
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.token);
        Payment payment = makePayment(QString::fromUtf8(c.token), 1000);
        if (c.reversedAtMs >= 0)
            payment.reverse(c.reversedAtMs);
        payment.advance(1099);
        EXPECT_EQ(payment.toLedgerJson().value(QStringLiteral("state")).toString().toStdString(),
            c.stateAt1099);
        payment.advance(1100);
        EXPECT_EQ(payment.toLedgerJson().value(QStringLiteral("state")).toString().toStdString(),
            c.stateAt1100);
    }
}

TEST(Payment, FailedPaymentsCannotBeReversed)
{
    EXPECT_TRUE(makePayment(QStringLiteral("never")).canReverse());
    EXPECT_FALSE(makePayment(QStringLiteral("declined")).canReverse());
    EXPECT_TRUE(makePayment(QStringLiteral("4111")).canReverse());
}

TEST(Payment, ErrorScenarioRefusesOnlyThePaymentAnswer)
{
    const Payment payment = makePayment(QStringLiteral("error:51"));
    EXPECT_EQ(payment.paymentEnvelope().value(QStringLiteral("error_code")).toInt(), 51);
    EXPECT_FALSE(
        payment.paymentEnvelope().value(QStringLiteral("error_note")).toString().isEmpty());
    EXPECT_EQ(payment.envelope().value(QStringLiteral("error_code")).toInt(), 0);
    EXPECT_EQ(payment.envelope().value(QStringLiteral("payment_status")).toInt(), -1);
}

TEST(Payment, SameContentsComparesAmountTokenAndCashbox)
{
    const Payment payment = makePayment(QStringLiteral("4111"));
    Payment::Request request;
    request.transactionId = QStringLiteral("tx-1");
    request.amount = 1500;
    request.token = QStringLiteral("4111");
    request.cashboxCode = QStringLiteral("cb-1");
    EXPECT_TRUE(payment.sameContents(request));
    Payment::Request other = request;
    other.amount = 1501;
    EXPECT_FALSE(payment.sameContents(other));
    other = request;
    other.token = QStringLiteral("4112");
    EXPECT_FALSE(payment.sameContents(other));
    other = request;
    other.cashboxCode = QStringLiteral("cb-2");
    EXPECT_FALSE(payment.sameContents(other));
}

TEST(Payment, LedgerShowsTheTokenMasked)
{
    const QString token = QStringLiteral("SECRET-TOKEN-987654");
    const QJsonObject ledger = makePayment(token).toLedgerJson();
    EXPECT_EQ(ledger.value(QStringLiteral("otp_data")).toString(), QStringLiteral("****7654"));
    EXPECT_EQ(Payment::maskToken(QStringLiteral("4111")), QStringLiteral("****"));
    EXPECT_EQ(Payment::maskToken(QString()), QStringLiteral("****"));
}

} // namespace
