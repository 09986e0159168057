#include "endtoend.h"

#include "support/qtprinting.h"

#include <QJsonArray>

namespace {

struct PaymentCase
{
    const char *token;
    const char *settings; // extra ini lines
    bool success;
    const char *key;
    int code;
    int statusQueries; // -1: not checked
};

class EndToEndPayment : public EndToEnd
{
};

} // namespace

TEST_P(EndToEndPayment, HostIsToldWhatTheServiceDid)
{
    const PaymentCase cases[] = {
        {"4111111111111111", "", true, "", 0, 0},
        {"4111+pending:3", "", true, "", 0, 3},
        {"pending-ms:300", "", true, "", 0, -1},
        {"flap:4", "", true, "", 0, 4},
        {"declined", "", false, "requestStatusFailed", 0, 1},
        {"declined-after:2", "", false, "requestStatusFailed", 0, 2},
        {"never", "payDuration=1\nstatusRequestInterval=1\n", false, "requestStatusTimeout", 0, 2},
        {"error:51", "", false, "undefined", 51, 0},
        {"delay:300", "", true, "", 0, 0},
        // The answer is lost or unreadable, but the payment went through: the
        // plug-in asks before it tells the cashier anything.
        {"drop@1", "", true, "", 0, 1},
        {"drop", "", true, "", 0, 1},
        {"cut", "", true, "", 0, 1},
        {"nonjson", "", true, "", 0, 1},
        {"http500", "", true, "", 0, 1},
        {"empty", "", true, "", 0, 1},
        {"pending:2+status-fault:nonjson@1", "", true, "", 0, 2},
    };
    for (const PaymentCase &c : cases) {
        SCOPED_TRACE(c.token);
        const auto plugin = loadPlugin(QString::fromLatin1(c.settings));
        ASSERT_NE(plugin->processing(), nullptr);
        const PaymentProcessingAnswer answer = pay(plugin->processing(), c.token, 4550);
        const QJsonObject entry = ledgerEntry(answer);

        ASSERT_FALSE(entry.isEmpty()) << "every payment is in the service's ledger";
        EXPECT_EQ(answer.isSuccess(), c.success) << answer.getMessage().key().toStdString();
        EXPECT_EQ(answer.getMessage().key(), QString::fromLatin1(c.key));
        EXPECT_EQ(answer.getCode(), c.code);
        expectAgreement(answer, entry, "paid");
        EXPECT_EQ(entry.value("amount").toInt(), 4550);
        EXPECT_EQ(entry.value("cashbox_code").toString(), Cashbox);
        if (c.statusQueries >= 0) {
            EXPECT_EQ(entry.value("status_queries").toInt(), c.statusQueries);
        }
        EXPECT_EQ(entry.value("payment_requests").toInt(), 1) << "a payment is never sent twice";
        EXPECT_EQ(answer.getTerminalId(), Branch);
        if (c.success) {
            EXPECT_EQ(answer.getRRN(), entry.value("transaction_id").toString());
            EXPECT_EQ(answer.getAdditionalInfo().value("paymentId").toInt(), entry.value("payment_id").toInt());
            EXPECT_EQ(answer.getAdditionalInfo().value("phone").toString(),
                      entry.value("phone_number").toString());
        } else {
            EXPECT_TRUE(answer.getRRN().isEmpty());
        }
    }
}

TEST_P(EndToEndPayment, PhoneAndPaymentNumberReachTheReceiptData)
{
    const auto plugin = loadPlugin();
    ASSERT_NE(plugin->processing(), nullptr);
    const PaymentProcessingAnswer answer = pay(plugin->processing(), "tok+phone:77011234567");
    const QJsonObject entry = ledgerEntry(answer);
    ASSERT_TRUE(answer.isSuccess());
    const int paymentId = entry.value("payment_id").toInt();
    EXPECT_GE(paymentId, 1001);
    EXPECT_EQ(answer.getAdditionalData(),
              QStringLiteral(R"({"paymentId":%1,"paymentProvider":"0187","phone":"77011234567"})")
                  .arg(paymentId));
    EXPECT_EQ(answer.getAdditionalInfo().value("valutCode").toInt(), 398);
}

TEST_P(EndToEndPayment, FiscalDataReachesTheServiceAgainstThePayment)
{
    const auto plugin = loadPlugin();
    ASSERT_NE(plugin->processing(), nullptr);
    const PaymentProcessingAnswer answer = pay(plugin->processing(), "tok-ofd");
    ASSERT_TRUE(answer.isSuccess());
    const QString qr = QStringLiteral("t=20261208T1200&s=123.45&fn=9999&i=17&fp=42&n=1");
    auto message = [](const QString &rrn, const QString &qrText) {
        return QVariantMap{{"messagetype", "sendofddata"},
                           {"payload", QVariantMap{{"rrn", rrn}, {"fiscalData", QVariantMap{{"qr", qrText}}}}}};
    };

    EXPECT_TRUE(plugin->processing()->sendEnqueuedMessage(message(answer.getRRN(), qr)));
    EXPECT_EQ(ledgerEntry(answer).value("qrcodes").toArray().first().toString(), qr);

    EXPECT_FALSE(plugin->processing()->sendEnqueuedMessage(message("no-such-payment", qr)))
        << "fiscal data for an unknown transaction is not reported as delivered";

    const PaymentProcessingAnswer refused = pay(plugin->processing(), "tok+ofd-fault:http500");
    ASSERT_TRUE(refused.isSuccess());
    EXPECT_FALSE(plugin->processing()->sendEnqueuedMessage(message(refused.getRRN(), qr)))
        << "an HTML error page is no acceptance; the host keeps the message";
}

INSTANTIATE_TEST_SUITE_P(Transport, EndToEndPayment, ::testing::Values(false, true), transportName);
