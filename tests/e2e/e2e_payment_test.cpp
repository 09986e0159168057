#include "endtoend.h"

#include "support/logcapture.h"
#include "support/qtprinting.h"

#include <QElapsedTimer>
#include <QJsonArray>
#include <QThread>

#include <atomic>
#include <thread>

namespace {

struct PaymentCase
{
    const char *token;
    const char *settings; // extra ini lines
    bool success;
    const char *key;
    int code;
    int statusQueries; // -1: not checked
    const char *money;
};

class EndToEndPayment : public EndToEnd
{
};

} // namespace

TEST_P(EndToEndPayment, HostIsToldWhatTheServiceDid)
{
    const char *const shortWait = "payDuration=1\nstatusRequestInterval=1\n";
    const PaymentCase cases[] = {
        {"4111111111111111", "", true, "", 0, 0, "charged"},
        {"4111+pending:3", "", true, "", 0, 3, "charged"},
        {"pending-ms:300", "", true, "", 0, -1, "charged"},
        {"flap:4", "", true, "", 0, 4, "charged"},
        {"declined", "", false, "requestStatusFailed", 0, 1, "notCharged"},
        {"declined-after:2", "", false, "requestStatusFailed", 0, 2, "notCharged"},
        {"error:51", "", false, "undefined", 51, 0, "notCharged"},
        // In doubt, then voided: the cashier may take the payment again.
        {"never", shortWait, false, "vesaNuPaymentVoided", 0, 2, "voided"},
        // In doubt, and the void refused: the cashier must not take it again.
        {"never+reverse-fail", shortWait, false, "vesaNuPaymentInDoubt", 0, 2, "inDoubt"},
        // The service gone mid-payment: no status answer, and no answer to the void.
        {"never+status-fault:drop+reversal-fault:drop", shortWait, false, "vesaNuPaymentInDoubt", 0,
         -1, "inDoubt"},
        {"delay:300", "", true, "", 0, 0, "charged"},
        // The answer is lost or unreadable, but the payment went through: the
        // plug-in asks before it tells the cashier anything.
        {"drop@1", "", true, "", 0, 1, "charged"},
        {"drop", "", true, "", 0, 1, "charged"},
        {"cut", "", true, "", 0, 1, "charged"},
        {"nonjson", "", true, "", 0, 1, "charged"},
        {"http500", "", true, "", 0, 1, "charged"},
        {"empty", "", true, "", 0, 1, "charged"},
        {"pending:2+status-fault:nonjson@1", "", true, "", 0, 2, "charged"},
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
        EXPECT_EQ(answer.getAdditionalInfo().value("moneyState").toString(), c.money);
        expectMoneyAgrees(answer, entry);
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

    // Never sent: no service at the address. Nothing was charged, and the
    // cashier reads that the payment may be taken again.
    const auto unreachable = loadPlugin("host=http://127.0.0.1:1\n");
    ASSERT_NE(unreachable->processing(), nullptr);
    const PaymentProcessingAnswer notSent = pay(unreachable->processing(), "4111", 4550);
    EXPECT_EQ(notSent.getMessage().key(), "vesaNuPaymentNotSent");
    EXPECT_EQ(notSent.getAdditionalInfo().value("moneyState").toString(), "notCharged");
    EXPECT_TRUE(ledgerEntry(notSent).isEmpty());
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

TEST_P(EndToEndPayment, TheCashierCanInterruptAWaitingPayment)
{
    if (tls())
        GTEST_SKIP() << "the wait is the same over either transport";
    const auto plugin = loadPlugin("payDuration=30\nstatusRequestInterval=3\n");
    BasicPaymentProcessing *processing = plugin->processing();
    ASSERT_NE(processing, nullptr);
    EXPECT_FALSE(processing->interruptPayment()) << "no payment is running";

    // The host's other thread: the cashier presses "stop" while the payment
    // waits for the customer's confirmation.
    QElapsedTimer clock;
    clock.start();
    std::atomic<qint64> interruptedAtMs{-1};
    std::atomic<bool> taken{false};
    std::thread cashier([&] {
        // The payment has been asked about once and sleeps until 3 s.
        QThread::msleep(800);
        interruptedAtMs = clock.elapsed();
        taken = processing->interruptPayment();
    });
    const PaymentProcessingAnswer answer = pay(processing, "never");
    const qint64 answeredAtMs = clock.elapsed();
    cashier.join();

    EXPECT_TRUE(taken);
    EXPECT_LT(answeredAtMs - interruptedAtMs, 200) << "the wait ends at once, void included";
    EXPECT_FALSE(answer.isSuccess());
    EXPECT_EQ(answer.getMessage().key(), "requestInterrupted");
    EXPECT_EQ(answer.getMessage().defaultText(), "Оплата прервана кассиром и отменена. Деньги не списаны, оплату можно повторить");
    EXPECT_EQ(answer.getAdditionalInfo().value("moneyState").toString(), "voided");
    EXPECT_EQ(ledgerEntry(answer).value("state").toString(), "reversed");
    EXPECT_FALSE(processing->interruptPayment()) << "the payment is over";
}

TEST_P(EndToEndPayment, TheConnectionTestSaysWhatIsWrong)
{
    // A service whose clock is an hour ahead: the register's timestamps are stale.
    SimulatorProcess ahead;
    ASSERT_TRUE(ahead.start({"--branch", Branch, "--cashbox", Cashbox, "--secret", Secret, "--quiet",
                             "--clock-offset", "3600"}));
    struct Case
    {
        const char *name;
        QString settings;
        bool success;
        const char *key;
        int code;
    };
    QUrl withUserInfo = simulator().baseUrl();
    withUserInfo.setUserInfo("techuser:pa55");
    const Case cases[] = {
        {"working", "", true, "requestConnectionWorks", 0},
        // The address's user info stays out of the log.
        {"working, user info in the address", "host=" + withUserInfo.toString() + "\n", true,
         "requestConnectionWorks", 0},
        {"wrong secret", "secretKey=wrong\n", false, "undefined", 401},
        {"wrong branch", "branchId=BR-0\n", false, "undefined", 403},
        {"stale timestamp", "host=" + ahead.baseUrl().toString() + "\n", false, "undefined", 401},
        // An unknown address is "not known" before any signature is looked
        // at: both questions get the same answer, so nothing is proven.
        {"reached, signature not shown", "path=/api/v2\nsecretKey=wrong\n", true,
         "requestConnectionUnproven", 0},
        {"no service", "host=http://127.0.0.1:1\n", false, "requestServiceUnreachable", 0},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        LogCapture log;
        const auto plugin = loadPlugin(c.settings);
        ASSERT_NE(plugin->processing(), nullptr);
        const PaymentProcessingAnswer answer = plugin->processing()->testConnection();
        EXPECT_EQ(answer.isSuccess(), c.success);
        EXPECT_EQ(answer.getMessage().key(), QString::fromLatin1(c.key));
        EXPECT_EQ(answer.getCode(), c.code);
        EXPECT_FALSE(log.contains("pa55") || log.contains("techuser")) << log.texts().join('|').toStdString();
    }
    EXPECT_TRUE(ahead.ledger().value("payments").toArray().isEmpty()) << "no payment was made";
}

INSTANTIATE_TEST_SUITE_P(Transport, EndToEndPayment, ::testing::Values(false, true), transportName);
