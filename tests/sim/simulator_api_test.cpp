#include "simfixture.h"

#include <QDateTime>

namespace {

using ApiTest = SimFixture;

struct AuthCase
{
    const char *name;
    QByteArray auth; // empty: signed correctly, then altered by the fields below
    qint64 clockOffset;
    const char *branch;
    int httpStatus;
    int errorCode;
};

// Test names show the case, not its bytes.
void PrintTo(const AuthCase &c, std::ostream *os)
{
    *os << c.name;
}

class AuthRefusal : public SimFixture, public ::testing::WithParamInterface<AuthCase>
{
};

TEST_P(AuthRefusal, IsAnsweredWithAnErrorAndRecordsNoPayment)
{
    const AuthCase &c = GetParam();
    SimClient client(sim.apiUrl(), QLatin1String(c.branch), QLatin1String(Secret));
    client.setAuth(c.auth);
    client.setClockOffset(c.clockOffset);
    const SimClient::Reply reply = client.pay(QStringLiteral("tx-auth"), QStringLiteral("4111"));
    ASSERT_TRUE(reply.delivered);
    EXPECT_EQ(reply.httpStatus, c.httpStatus);
    EXPECT_EQ(reply.errorCode(), c.errorCode);
    EXPECT_FALSE(reply.json().value(QStringLiteral("error_note")).toString().isEmpty());
    const QJsonObject ledger = sim.ledger();
    EXPECT_TRUE(ledger.value(QStringLiteral("payments")).toArray().isEmpty());
    EXPECT_EQ(ledger.value(QStringLiteral("refusals")).toArray().size(), 1);
    // Status queries are signed the same way.
    EXPECT_EQ(client.status(QStringLiteral("tx-auth")).errorCode(), c.errorCode);
}

const qint64 kSomeTime = 1700000000;

INSTANTIATE_TEST_SUITE_P(Headers, AuthRefusal,
    ::testing::Values(AuthCase { "badDigest",
                          "branch-1:" + QByteArray(64, 'a') + ":"
                              + QByteArray::number(QDateTime::currentSecsSinceEpoch()),
                          0, "branch-1", 401, 401 },
        AuthCase { "otherSecret",
            SimulatorProcess::authHeader("branch-1", "wrong", QDateTime::currentSecsSinceEpoch()),
            0, "branch-1", 401, 401 },
        AuthCase { "staleTimestamp", QByteArray(), -301, "branch-1", 401, 401 },
        AuthCase { "farFutureTimestamp",
            SimulatorProcess::authHeader("branch-1", "s3cret-key", kSomeTime * 2), 0, "branch-1",
            401, 401 },
        AuthCase { "unknownBranch", QByteArray(), 0, "branch-9", 403, 403 },
        AuthCase { "malformed", "not-a-signature", 0, "branch-1", 401, 401 }),
    [](const ::testing::TestParamInfo<AuthCase> &info) { return std::string(info.param.name); });

TEST_F(ApiTest, TimestampWithinTheSkewIsAccepted)
{
    SimClient late = client();
    late.setClockOffset(-200);
    EXPECT_EQ(late.pay(QStringLiteral("tx-late"), QStringLiteral("4111")).errorCode(), 0);
}

// A client whose clock is wrong is played by moving the simulator's clock.
TEST_F(ApiTest, ClockOffsetMovesTheSkewWindow)
{
    ASSERT_TRUE(startWith({ QStringLiteral("--skew"), QStringLiteral("5"),
        QStringLiteral("--clock-offset"), QStringLiteral("-600") }))
        << sim.errorString().toStdString();
    SimClient onTime = client();
    EXPECT_EQ(onTime.pay(QStringLiteral("tx-clock-1"), QStringLiteral("4111")).errorCode(), 401);
    SimClient behind = client();
    behind.setClockOffset(-600);
    EXPECT_EQ(behind.pay(QStringLiteral("tx-clock-2"), QStringLiteral("4111")).errorCode(), 0);
    EXPECT_EQ(payments().size(), 1);
}

TEST_F(ApiTest, PaidTokenAnswersTheFullEnvelope)
{
    const SimClient::Reply reply
        = client().pay(QStringLiteral("tx-1"), QStringLiteral("4111+phone:77019998877"), 2500);
    ASSERT_TRUE(reply.delivered);
    EXPECT_EQ(reply.httpStatus, 200);
    const QJsonObject json = reply.json();
    EXPECT_EQ(json.value(QStringLiteral("error_code")).toInt(-1), 0);
    EXPECT_EQ(json.value(QStringLiteral("payment_status")).toInt(), 2);
    EXPECT_EQ(json.value(QStringLiteral("payment_id")).toInt(), 1001);
    EXPECT_EQ(json.value(QStringLiteral("phone_number")).toString(), QStringLiteral("77019998877"));
    EXPECT_EQ(json.value(QStringLiteral("transaction_id")).toString(), QStringLiteral("tx-1"));
    EXPECT_EQ(field(QStringLiteral("tx-1"), "amount"), QStringLiteral("2500"));
    EXPECT_EQ(field(QStringLiteral("tx-1"), "branch_id"), QStringLiteral("branch-1"));
}

TEST_F(ApiTest, RepeatedPaymentIsIdempotentAndAConflictingOneRefused)
{
    SimClient c = client();
    const SimClient::Reply first = c.pay(QStringLiteral("tx-2"), QStringLiteral("4111"), 1000);
    const SimClient::Reply again = c.pay(QStringLiteral("tx-2"), QStringLiteral("4111"), 1000);
    EXPECT_EQ(again.json(), first.json());
    const SimClient::Reply conflict = c.pay(QStringLiteral("tx-2"), QStringLiteral("4111"), 1001);
    EXPECT_EQ(conflict.errorCode(), 409);
    const QJsonArray all = payments();
    ASSERT_EQ(all.size(), 1);
    EXPECT_EQ(all.first().toObject().value(QStringLiteral("payment_requests")).toInt(), 2);
    EXPECT_EQ(all.first().toObject().value(QStringLiteral("amount")).toInt(), 1000);
}

TEST_F(ApiTest, PendingPaymentTurnsPaidAtTheNthStatusQuery)
{
    SimClient c = client();
    EXPECT_EQ(c.pay(QStringLiteral("tx-3"), QStringLiteral("pending:3")).paymentStatus(), 1);
    EXPECT_EQ(c.status(QStringLiteral("tx-3")).paymentStatus(), 1);
    EXPECT_EQ(c.status(QStringLiteral("tx-3")).paymentStatus(), 1);
    EXPECT_EQ(field(QStringLiteral("tx-3"), "state"), QStringLiteral("pending"));
    EXPECT_EQ(c.status(QStringLiteral("tx-3")).paymentStatus(), 2);
    EXPECT_EQ(field(QStringLiteral("tx-3"), "state"), QStringLiteral("paid"));
    EXPECT_EQ(field(QStringLiteral("tx-3"), "status_queries"), QStringLiteral("3"));
}

TEST_F(ApiTest, ReversalReversesAPaidPaymentAndCancelsAPendingOne)
{
    SimClient c = client();
    c.pay(QStringLiteral("tx-4"), QStringLiteral("reverse-pending:1"));
    c.pay(QStringLiteral("tx-5"), QStringLiteral("never"));
    EXPECT_EQ(c.reverse(QStringLiteral("tx-4")).paymentStatus(), 4);
    EXPECT_EQ(c.status(QStringLiteral("tx-4")).paymentStatus(), 3);
    EXPECT_EQ(field(QStringLiteral("tx-4"), "state"), QStringLiteral("reversed"));
    // Asked again, a reversal answers the reversed state.
    EXPECT_EQ(c.reverse(QStringLiteral("tx-4")).paymentStatus(), 3);
    EXPECT_EQ(c.reverse(QStringLiteral("tx-5")).paymentStatus(), 3);
    EXPECT_EQ(c.reverse(QStringLiteral("tx-unknown")).errorCode(), 404);
    EXPECT_EQ(field(QStringLiteral("tx-5"), "state"), QStringLiteral("reversed"));
}

TEST_F(ApiTest, FiscalDataIsStoredPerTransactionAndUnknownOnesRefused)
{
    SimClient c = client();
    c.pay(QStringLiteral("tx-6"), QStringLiteral("4111"));
    const SimClient::Reply accepted
        = c.submitQrCode(QStringLiteral("tx-6"), QStringLiteral("t=20240101T1200&s=15.00"));
    EXPECT_EQ(accepted.errorCode(), 0);
    EXPECT_EQ(c.submitQrCode(QStringLiteral("tx-6"), QString()).errorCode(), 0);
    EXPECT_EQ(c.submitQrCode(QStringLiteral("tx-unknown"), QStringLiteral("qr")).errorCode(), 404);
    const QJsonArray codes
        = sim.payment(QStringLiteral("tx-6")).value(QStringLiteral("qrcodes")).toArray();
    EXPECT_EQ(codes, (QJsonArray { QStringLiteral("t=20240101T1200&s=15.00"), QString() }));
}

TEST_F(ApiTest, DeclinedAndErrorScenariosAreRecordedAsFailed)
{
    SimClient c = client();
    const SimClient::Reply declined = c.pay(QStringLiteral("tx-7"), QStringLiteral("declined"));
    EXPECT_EQ(declined.errorCode(), 0);
    EXPECT_EQ(declined.paymentStatus(), -1);
    const SimClient::Reply refused = c.pay(QStringLiteral("tx-8"), QStringLiteral("error:51"));
    EXPECT_EQ(refused.errorCode(), 51);
    EXPECT_EQ(field(QStringLiteral("tx-7"), "state"), QStringLiteral("failed"));
    EXPECT_EQ(field(QStringLiteral("tx-8"), "state"), QStringLiteral("failed"));
}

TEST_F(ApiTest, UnknownCashboxAndUnknownAddressAreRefused)
{
    SimClient c = client();
    EXPECT_EQ(c.pay(QStringLiteral("tx-9"), QStringLiteral("4111"), 100, QStringLiteral("cb-9"))
                  .errorCode(),
        403);
    EXPECT_EQ(c.pay(QStringLiteral("tx-9"), QStringLiteral("4111"), 100, QStringLiteral("cb-2"))
                  .errorCode(),
        0);
    const SimClient::Reply missing = c.postRaw(QStringLiteral("/nowhere"), "{}");
    EXPECT_EQ(missing.httpStatus, 404);
    EXPECT_EQ(missing.errorCode(), 404);
}

TEST_F(ApiTest, LedgerEndpointNeedsNoSignatureAndShowsTheWholeRecord)
{
    client().pay(QStringLiteral("tx-10"), QStringLiteral("TOKEN-SECRET-123456+pending:1"));
    const QJsonObject payment = sim.payment(QStringLiteral("tx-10"));
    for (const char *key : { "transaction_id", "payment_id", "amount", "otp_data", "cashbox_code",
             "state", "reversal", "phone_number", "status_queries", "qrcodes", "created", "updated",
             "payment_status", "scenario" })
        EXPECT_TRUE(payment.contains(QLatin1String(key))) << key;
    EXPECT_EQ(payment.value(QStringLiteral("otp_data")).toString(), QStringLiteral("****ng:1"));
    EXPECT_EQ(payment.value(QStringLiteral("scenario")).toString(), QStringLiteral("pending:1"));
}

TEST_F(ApiTest, BasePathIsConfigurable)
{
    ASSERT_TRUE(startWith({ QStringLiteral("--base-path"), QStringLiteral("v2/") }));
    SimClient atNewPath(sim.apiUrl(), QLatin1String(Branch), QLatin1String(Secret));
    EXPECT_EQ(atNewPath.pay(QStringLiteral("tx-11"), QStringLiteral("4111")).errorCode(), 0);
    QUrl oldApi = sim.baseUrl();
    oldApi.setPath(QStringLiteral("/api/v1"));
    EXPECT_EQ(SimClient(oldApi, QLatin1String(Branch), QLatin1String(Secret))
                  .pay(QStringLiteral("tx-12"), QStringLiteral("4111"))
                  .httpStatus,
        404);
}

} // namespace
