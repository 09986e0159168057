#include "support/loadedplugin.h"
#include "support/qtprinting.h"

#include "support/fakeservice.h"
#include "support/logcapture.h"

#include "config/config.h"

#include <QJsonDocument>

#include <QDir>
#include <QFile>
#include <QRegularExpression>

#include <gtest/gtest.h>

namespace {

QJsonObject paidAnswer()
{
    return {{"error_code", 0}, {"payment_status", 2}, {"payment_id", 77}, {"phone_number", "77011234567"}};
}

PaymentProcessingRequest request(int type, int amount, const QString &rrn = QString(), int valut = 398)
{
    PaymentProcessingRequest r;
    r.setRequestType(type);
    r.setAmount(amount);
    r.setRrn(rrn);
    r.setCardNumber(QStringLiteral("tok-1234567890"));
    r.setValutCode(valut);
    return r;
}

class PluginOperations : public ::testing::Test
{
protected:
    // The service double lives in the test executable; the plug-in's client
    // must reach it through the one process-wide creator.
    FakeService service;
};

} // namespace

TEST_F(PluginOperations, PaymentAnswerCarriesRrnTerminalAndAdditionalInformation)
{
    LoadedPlugin plugin(testIni());
    ASSERT_NE(plugin.processing(), nullptr);
    service.answers = {FakeService::json(paidAnswer())};
    LogCapture log;

    const PaymentProcessingAnswer answer = plugin.processing()->payment(request(1, 12345));

    ASSERT_EQ(service.calls.size(), 1);
    const QString id = service.calls.at(0).body.object().value("transaction_id").toString();
    EXPECT_EQ(service.calls.at(0).body.object().value("amount"), 12345);
    EXPECT_EQ(service.calls.at(0).body.object().value("cashbox_code"), "CB-7");
    EXPECT_TRUE(answer.isSuccess());
    EXPECT_EQ(answer.getCode(), 0);
    EXPECT_EQ(answer.getRRN(), id);
    EXPECT_EQ(answer.getTerminalId(), "BR-42");
    EXPECT_EQ(answer.getPaymentMethod(), 2);
    const QMap<QString, QVariant> info{{"phone", "77011234567"}, {"rrn", id}, {"valutCode", 398},
                                      {"paymentProvider", "0187"}, {"paymentId", 77},
                                      {"moneyState", "charged"}};
    EXPECT_EQ(answer.getAdditionalInfo(), info);
    EXPECT_EQ(answer.getAdditionalData(),
              R"({"paymentId":77,"paymentProvider":"0187","phone":"77011234567"})");
    EXPECT_TRUE(log.texts("vesanu").contains("Оплата на сумму 123.45"));
    EXPECT_TRUE(log.texts("vesanu").contains("Оплата проведена: " + id)) << "support finds it by its id";
    EXPECT_FALSE(log.contains("tok-1234567890")) << "the one-time token never reaches the log";
    EXPECT_FALSE(log.contains("s,e;c#r%e=t"));
}

TEST_F(PluginOperations, AmountTextHasTwoDecimals)
{
    LoadedPlugin plugin(testIni());
    ASSERT_NE(plugin.processing(), nullptr);
    service.fallback = FakeService::json(paidAnswer());
    const std::pair<int, const char *> cases[] = {{12345, "123.45"}, {5, "0.05"}, {0, "0.00"}, {-250, "-2.50"}};
    for (const auto &c : cases) {
        LogCapture log;
        plugin.processing()->payment(request(1, c.first));
        EXPECT_TRUE(log.texts("vesanu").contains(QStringLiteral("Оплата на сумму ") + c.second)) << c.second;
    }
}

TEST_F(PluginOperations, FailedPaymentKeepsInformationButHasNoRrn)
{
    LoadedPlugin plugin(testIni("paymentProvider=0042\n"));
    ASSERT_NE(plugin.processing(), nullptr);
    service.answers = {FakeService::json({{"error_code", 51}, {"error_note", "Недостаточно средств"}})};

    const PaymentProcessingAnswer answer = plugin.processing()->payment(request(1, 100));

    EXPECT_FALSE(answer.isSuccess());
    EXPECT_EQ(answer.getStatus(), 1);
    EXPECT_EQ(answer.getCode(), 51);
    EXPECT_EQ(answer.getMessage(), tr::Tr("undefined", "Недостаточно средств"));
    EXPECT_TRUE(answer.getRRN().isEmpty());
    EXPECT_EQ(answer.getTerminalId(), "BR-42");
    const QMap<QString, QVariant> info = answer.getAdditionalInfo();
    EXPECT_EQ(info.value("paymentId"), -1);
    EXPECT_EQ(info.value("phone"), "");
    EXPECT_EQ(info.value("paymentProvider"), "0042");
    EXPECT_EQ(info.value("rrn").toString().size(), 36) << "the identifier that was sent";
    EXPECT_EQ(answer.getAdditionalData(), R"({"paymentId":-1,"paymentProvider":"0042","phone":""})");
}

TEST_F(PluginOperations, RefundAndCancelReverseByRrn)
{
    LoadedPlugin plugin(testIni());
    ASSERT_NE(plugin.processing(), nullptr);
    struct Case
    {
        const char *name;
        bool cancel;
        const char *money;
        const char *end;
    };
    // The service answers Reversed again for a reversed payment: the host
    // learns that it was refunded before, and must not count it twice.
    for (const Case c : {Case{"refund through payment", false, "refunded", "Возврат проведен: rrn-9"},
                         Case{"cancel of the same", true, "alreadyRefunded",
                              "Возврат уже был проведен ранее: rrn-9"}}) {
        SCOPED_TRACE(c.name);
        service.calls.clear();
        service.answers = {FakeService::json({{"error_code", 0}, {"payment_status", 3}})};
        LogCapture log;
        const PaymentProcessingRequest r = request(c.cancel ? 1 : 3, 5000, "rrn-9", 0);
        const PaymentProcessingAnswer answer =
            c.cancel ? plugin.processing()->cancel(r) : plugin.processing()->payment(r);

        ASSERT_EQ(service.calls.size(), 1);
        EXPECT_EQ(service.calls.at(0).operation, 5);
        EXPECT_EQ(service.calls.at(0).url.path(), "/api/v1/payment/reversal/rrn-9");
        EXPECT_TRUE(answer.isSuccess());
        EXPECT_EQ(answer.getAdditionalInfo(),
                  (QMap<QString, QVariant>{{"rrn", "rrn-9"}, {"valutCode", 0}, {"moneyState", c.money}}));
        EXPECT_TRUE(answer.getAdditionalData().isEmpty());
        EXPECT_TRUE(answer.getRRN().isEmpty());
        EXPECT_TRUE(answer.getTerminalId().isEmpty());
        EXPECT_EQ(answer.getPaymentMethod(), 2);
        // A refund is logged as a refund, and its end with where the money is.
        QStringList expected;
        if (!c.cancel)
            expected << "Возврат на сумму 50.00";
        expected << "Отмена операции: rrn-9" << "Полный возврат" << c.end;
        QStringList seen = log.texts("vesanu");
        seen.erase(std::remove_if(seen.begin(), seen.end(),
                                  [&](const QString &line) { return !expected.contains(line); }),
                   seen.end());
        EXPECT_EQ(seen, expected);
    }

    service.answers = {FakeService::json({{"error_code", 12}, {"error_note", "not paid"}})};
    const PaymentProcessingAnswer failed = plugin.processing()->cancel(request(1, 0, "x"));
    EXPECT_FALSE(failed.isSuccess());
    EXPECT_EQ(failed.getCode(), 12);
    EXPECT_EQ(failed.getAdditionalInfo().value("moneyState"), "notRefunded");
}

// Without its settings the plug-in would send the customer's token to the
// default address with empty credentials: it sends nothing, and says why.
TEST_F(PluginOperations, SettingsThatCannotBeUsedSendNothing)
{
    QString ini = testIni();
    ini.remove(QRegularExpression(QStringLiteral("secretKey=[^\n]*\n")));
    for (const bool unreadable : {false, true}) {
        SCOPED_TRACE(unreadable ? "an ini that cannot be read" : "an ini without a secret");
        LogCapture log;
        LoadedPlugin plugin(unreadable ? testIni() : ini);
        ASSERT_NE(plugin.processing(), nullptr);
        if (unreadable) {
            // The host's next start finds a folder where its file was.
            const QString file = plugin.configRoot() + "/tessaroot/cash/paysystems/vesanu/vesanu.ini";
            ASSERT_TRUE(QFile::remove(file) && QDir().mkdir(file));
            delete Singleton<Config>::instance;
            Singleton<Config>::instance = nullptr;
            plugin.processing()->init();
        }
        EXPECT_TRUE(log.contains(unreadable ? "/vesanu.ini: файл не прочитан, нет VesaNu:branchId"
                                            : "/vesanu.ini: VesaNu:secretKey"))
            << log.texts().join('|').toStdString();
        service.fallback = FakeService::json(paidAnswer());
        const PaymentProcessingAnswer paid = plugin.processing()->payment(request(1, 100));
        const PaymentProcessingAnswer refunded = plugin.processing()->cancel(request(1, 0, "rrn-1"));
        const bool sent = plugin.processing()->sendEnqueuedMessage(
            {{"messagetype", "sendofddata"}, {"payload", QVariantMap{{"rrn", "rrn-1"}}}});
        EXPECT_TRUE(service.calls.isEmpty()) << "nothing leaves";
        EXPECT_FALSE(paid.isSuccess() || refunded.isSuccess() || sent);
        EXPECT_EQ(paid.getMessage().key(), "vesaNuSettingsMissing");
        EXPECT_EQ(paid.getAdditionalInfo().value("moneyState"), "notCharged");
        EXPECT_EQ(refunded.getAdditionalInfo().value("moneyState"), "notRefunded");
    }
}

TEST_F(PluginOperations, QueuedFiscalDataIsDeliveredOnlyForItsMessageType)
{
    LoadedPlugin plugin(testIni());
    ASSERT_NE(plugin.processing(), nullptr);
    const QVariantMap fiscal{{"qr", "t=20241208T1200&s=123.45"}, {"other", 1}};
    const QVariantMap payload{{"rrn", "tx-5"}, {"fiscalData", fiscal}, {"extra", "x"}};

    struct Case
    {
        const char *name;
        QVariantMap message;
        bool sent;
        QJsonObject body;
    };
    const Case cases[] = {
        {"fiscal data", {{"messagetype", "sendofddata"}, {"payload", payload}, {"more", 2}}, true,
         {{"transaction_id", "tx-5"}, {"qrcode", "t=20241208T1200&s=123.45"}}},
        {"no payload", {{"messagetype", "sendofddata"}}, true, {{"transaction_id", ""}, {"qrcode", ""}}},
        {"no qr", {{"messagetype", "sendofddata"}, {"payload", QVariantMap{{"rrn", "r"}}}}, true,
         {{"transaction_id", "r"}, {"qrcode", ""}}},
        {"letter case", {{"messagetype", "SendOfdData"}, {"payload", payload}}, false, {}},
        {"blank", {{"messagetype", "sendofddata "}, {"payload", payload}}, false, {}},
        {"missing type", {{"payload", payload}}, false, {}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        service.calls.clear();
        service.answers = {FakeService::json({{"error_code", 0}})};
        LogCapture log;
        EXPECT_EQ(plugin.processing()->sendEnqueuedMessage(c.message), c.sent);
        EXPECT_TRUE(log.texts("vesanu").contains("Отправка сообщения из очереди"));
        if (c.sent) {
            ASSERT_EQ(service.calls.size(), 1);
            EXPECT_EQ(service.calls.at(0).url.path(), "/api/v1/payment/ofd_data/submit_qrcode");
            EXPECT_EQ(service.calls.at(0).body.object(), c.body);
        } else {
            EXPECT_TRUE(service.calls.isEmpty());
            EXPECT_TRUE(log.texts("vesanu").contains("Неизвестный тип сообщения"));
        }
    }

    service.answers = {FakeService::json({{"error_code", 8}, {"error_note", "unknown transaction"}})};
    EXPECT_FALSE(plugin.processing()->sendEnqueuedMessage(
        {{"messagetype", "sendofddata"}, {"payload", payload}}));
}
