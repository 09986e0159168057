#include "ledger.h"
#include "service.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <thread>

using sim::Answer;
using sim::Ledger;
using sim::Service;

namespace {

const QString kJson = QStringLiteral("application/json");

QByteArray body(
    const char *amount, const char *token, const char *cashbox, const char *transactionId)
{
    QByteArray text = "{";
    if (amount)
        text += QByteArray("\"amount\":") + amount + ",";
    if (token)
        text += QByteArray("\"otp_data\":") + token + ",";
    if (cashbox)
        text += QByteArray("\"cashbox_code\":") + cashbox + ",";
    if (transactionId)
        text += QByteArray("\"transaction_id\":") + transactionId + ",";
    text.chop(text.endsWith(',') ? 1 : 0);
    return text + "}";
}

QByteArray goodBody(
    const char *amount = "1500", const char *token = "\"4111\"", const char *tx = "\"tx-1\"")
{
    return body(amount, token, "\"cb-1\"", tx);
}

int paymentCount(Ledger &ledger)
{
    return ledger.toJson().value(QStringLiteral("payments")).toArray().size();
}

struct MalformedCase
{
    const char *name;
    QByteArray body;
    QString contentType;
};

// Test names show the case, not its bytes.
void PrintTo(const MalformedCase &c, std::ostream *os)
{
    *os << c.name;
}

class ServiceMalformed : public ::testing::TestWithParam<MalformedCase>
{
};

TEST_P(ServiceMalformed, RefusesWithCode400AndRecordsNothing)
{
    Ledger ledger;
    Service service(ledger, {});
    const Answer answer
        = service.payment(GetParam().body, GetParam().contentType, QStringLiteral("b1"));
    EXPECT_EQ(answer.errorCode(), 400);
    EXPECT_FALSE(answer.errorNote().isEmpty());
    EXPECT_EQ(paymentCount(ledger), 0);
}

INSTANTIATE_TEST_SUITE_P(Bodies, ServiceMalformed,
    ::testing::Values(MalformedCase { "notJson", "amount=1", kJson },
        MalformedCase { "array", "[1]", kJson }, MalformedCase { "empty", "", kJson },
        MalformedCase { "wrongContentType", goodBody(), QStringLiteral("text/plain") },
        MalformedCase { "noContentType", goodBody(), QString() },
        MalformedCase { "amountMissing", body(nullptr, "\"4111\"", "\"c\"", "\"t\""), kJson },
        MalformedCase { "amountString", goodBody("\"1500\""), kJson },
        MalformedCase { "amountZero", goodBody("0"), kJson },
        MalformedCase { "amountNegative", goodBody("-5"), kJson },
        MalformedCase { "amountFraction", goodBody("15.5"), kJson },
        MalformedCase { "amountHuge", goodBody("1e300"), kJson },
        MalformedCase { "amountBool", goodBody("true"), kJson },
        MalformedCase { "tokenMissing", body("1", nullptr, "\"c\"", "\"t\""), kJson },
        MalformedCase { "tokenNumber", goodBody("1500", "4111"), kJson },
        MalformedCase { "tokenEmpty", goodBody("1500", "\"\""), kJson },
        MalformedCase { "cashboxMissing", body("1", "\"4111\"", nullptr, "\"t\""), kJson },
        MalformedCase { "cashboxNull", body("1", "\"4111\"", "null", "\"t\""), kJson },
        MalformedCase { "transactionMissing", body("1", "\"4111\"", "\"c\"", nullptr), kJson },
        MalformedCase { "transactionBraces", goodBody("1", "\"4111\"", "\"{0a1b}\""), kJson },
        MalformedCase { "transactionSlash", goodBody("1", "\"4111\"", "\"a/b\""), kJson },
        MalformedCase { "transactionTooLong",
            goodBody("1", "\"4111\"", QByteArray("\"" + QByteArray(65, 'a') + "\"")), kJson },
        MalformedCase { "badScenario", goodBody("1500", "\"pending:x\""), kJson }),
    [](const ::testing::TestParamInfo<MalformedCase> &info) {
        return std::string(info.param.name);
    });

TEST(Service, AcceptsJsonContentTypeWithParameters)
{
    Ledger ledger;
    Service service(ledger, {});
    const Answer answer
        = service.payment(goodBody(), QStringLiteral("Application/JSON; charset=utf-8"), {});
    EXPECT_EQ(answer.errorCode(), 0);
    EXPECT_EQ(answer.body.value(QStringLiteral("payment_status")).toInt(), 2);
}

TEST(Service, RefusesUnknownCashboxWhenCashboxesAreConfigured)
{
    Ledger ledger;
    Service service(ledger, { QStringLiteral("cb-2") });
    EXPECT_EQ(service.payment(goodBody(), kJson, {}).errorCode(), 403);
    EXPECT_EQ(paymentCount(ledger), 0);
}

TEST(Service, SamePaymentAgainIsAnsweredNotChargedTwice)
{
    Ledger ledger;
    Service service(ledger, {});
    const Answer first = service.payment(goodBody(), kJson, {});
    const Answer again = service.payment(goodBody(), kJson, {});
    EXPECT_EQ(again.body, first.body);
    const QJsonArray payments = ledger.toJson().value(QStringLiteral("payments")).toArray();
    ASSERT_EQ(payments.size(), 1);
    EXPECT_EQ(payments.first().toObject().value(QStringLiteral("payment_requests")).toInt(), 2);
}

TEST(Service, SameTransactionWithOtherContentsIsAConflict)
{
    Ledger ledger;
    Service service(ledger, {});
    service.payment(goodBody(), kJson, {});
    EXPECT_EQ(service.payment(goodBody("1501"), kJson, {}).errorCode(), 409);
    EXPECT_EQ(service.payment(goodBody("1500", "\"4112\""), kJson, {}).errorCode(), 409);
    EXPECT_EQ(paymentCount(ledger), 1);
}

TEST(Service, ConcurrentRepeatsOfOnePaymentMakeOnePayment)
{
    Ledger ledger;
    Service service(ledger, {});
    std::vector<std::thread> threads;
    for (int t = 0; t < 8; ++t) {
        threads.emplace_back([&service] {
            for (int i = 0; i < 50; ++i)
                service.payment(goodBody(), kJson, {});
        });
    }
    for (std::thread &thread : threads)
        thread.join();
    const QJsonArray payments = ledger.toJson().value(QStringLiteral("payments")).toArray();
    ASSERT_EQ(payments.size(), 1);
    EXPECT_EQ(payments.first().toObject().value(QStringLiteral("payment_requests")).toInt(), 400);
}

TEST(Service, UnknownTransactionsAreRefusedWith404)
{
    Ledger ledger;
    Service service(ledger, {});
    EXPECT_EQ(service.status(QStringLiteral("nope")).errorCode(), 404);
    EXPECT_EQ(service.status(QStringLiteral("nope")).httpStatus, 404);
    EXPECT_EQ(service.reversal(QStringLiteral("nope")).errorCode(), 404);
    EXPECT_EQ(
        service.submitQrCode(R"({"transaction_id":"nope","qrcode":"q"})", kJson).errorCode(), 404);
    EXPECT_EQ(service.submitQrCode(R"({"transaction_id":"nope"})", kJson).errorCode(), 400);
}

TEST(Service, FailedPaymentCannotBeReversed)
{
    Ledger ledger;
    Service service(ledger, {});
    service.payment(goodBody("1500", "\"declined\""), kJson, {});
    const Answer answer = service.reversal(QStringLiteral("tx-1"));
    EXPECT_EQ(answer.errorCode(), 422);
    EXPECT_EQ(answer.body.value(QStringLiteral("payment_status")).toInt(), -1);
}

TEST(Service, PaymentNumbersIncreaseFrom1001)
{
    Ledger ledger;
    Service service(ledger, {});
    EXPECT_EQ(service.payment(goodBody("1", "\"a\"", "\"t1\""), kJson, {})
                  .body.value(QStringLiteral("payment_id"))
                  .toInt(),
        1001);
    EXPECT_EQ(service.payment(goodBody("1", "\"a\"", "\"t2\""), kJson, {})
                  .body.value(QStringLiteral("payment_id"))
                  .toInt(),
        1002);
}

TEST(Ledger, FileHoldsTheLedgerAfterEveryChange)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("ledger.json"));
    Ledger ledger(path);
    Service service(ledger, {});
    service.payment(goodBody(), kJson, {});
    service.submitQrCode(R"({"transaction_id":"tx-1","qrcode":"QR-1"})", kJson);
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QJsonObject onDisk = QJsonDocument::fromJson(file.readAll()).object();
    EXPECT_EQ(onDisk, ledger.toJson());
    const QJsonObject payment
        = onDisk.value(QStringLiteral("payments")).toArray().first().toObject();
    EXPECT_EQ(
        payment.value(QStringLiteral("qrcodes")).toArray(), QJsonArray { QStringLiteral("QR-1") });
}

} // namespace
