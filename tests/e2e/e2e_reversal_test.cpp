#include "endtoend.h"

#include "support/qtprinting.h"

namespace {

struct ReversalCase
{
    const char *paymentToken;
    bool cancel; // cancel(), else a refund (type 3) through payment()
    bool success;
    const char *key;
    const char *money;
    int amount = 12345; // of the refund or cancel; the payment's is 12345
    const char *settings = ""; // extra ini lines
};

class EndToEndReversal : public EndToEnd
{
protected:
    PaymentProcessingAnswer reverse(BasicPaymentProcessing *processing, const QString &rrn, bool cancel,
                                    int amount = 12345)
    {
        PaymentProcessingRequest request;
        request.setRequestType(cancel ? 1 : 3);
        request.setAmount(amount);
        request.setRrn(rrn);
        request.setValutCode(398);
        return cancel ? processing->cancel(request) : processing->payment(request);
    }
};

} // namespace

TEST_P(EndToEndReversal, RefundAndCancelUndoTheWholePayment)
{
    const ReversalCase cases[] = {
        {"4111", false, true, "", "refunded"},
        {"4111", true, true, "", "refunded"},
        {"reverse-pending:2", false, true, "", "refunded"},
        {"reverse-fail", true, false, "requestStatusFailed", "notRefunded"},
        {"reversal-fault:drop@1", false, true, "", "refunded"},
        {"reversal-fault:http500", true, true, "", "refunded"},
        // No final answer within payDuration: the cashier must not pay back another way.
        {"reverse-pending:1000", false, false, "vesaNuRefundUndecided", "refundUndecided", 12345,
         "payDuration=1\nstatusRequestInterval=1\n"},
        // The service would give all of it back: refused before anything is sent.
        {"4111", false, false, "vesaNuPartialRefund", "notRefunded", 4550},
        // A cancel that names no amount undoes the whole payment.
        {"4111", true, true, "", "refunded", 0},
    };
    for (const ReversalCase &c : cases) {
        SCOPED_TRACE(std::string(c.paymentToken) + (c.cancel ? " cancel" : " refund"));
        const auto plugin = loadPlugin(QString::fromLatin1(c.settings));
        ASSERT_NE(plugin->processing(), nullptr);
        const PaymentProcessingAnswer paid = pay(plugin->processing(), c.paymentToken);
        ASSERT_TRUE(paid.isSuccess());

        const PaymentProcessingAnswer answer =
            reverse(plugin->processing(), paid.getRRN(), c.cancel, c.amount);
        const QJsonObject entry = simulator().payment(paid.getRRN());

        EXPECT_EQ(answer.isSuccess(), c.success) << answer.getMessage().key().toStdString();
        EXPECT_EQ(answer.getMessage().key(), QString::fromLatin1(c.key));
        if (QLatin1String(c.money) != QLatin1String("refundUndecided"))
            expectAgreement(answer, entry, "reversed");
        expectMoneyAgrees(answer, entry);
        EXPECT_EQ(answer.getAdditionalInfo(),
                  (QMap<QString, QVariant>{{"rrn", paid.getRRN()}, {"valutCode", 398},
                                           {"moneyState", c.money}}));
        const bool refused = QLatin1String(c.key) == QLatin1String("vesaNuPartialRefund");
        EXPECT_EQ(entry.value("reversal_requests").toInt(), refused ? 0 : 1);
    }

    // Asked again, the service answers Reversed again: the host learns it
    // was refunded before, and must not pay the money back twice.
    const auto plugin = loadPlugin();
    ASSERT_NE(plugin->processing(), nullptr);
    const PaymentProcessingAnswer paid = pay(plugin->processing(), "4111");
    ASSERT_TRUE(reverse(plugin->processing(), paid.getRRN(), false).isSuccess());
    const PaymentProcessingAnswer again = reverse(plugin->processing(), paid.getRRN(), true);
    EXPECT_TRUE(again.isSuccess());
    EXPECT_EQ(again.getAdditionalInfo().value("moneyState").toString(), "alreadyRefunded");
    EXPECT_EQ(simulator().payment(paid.getRRN()).value("state").toString(), "reversed");
}

TEST_P(EndToEndReversal, AnUnknownPaymentIsRefusedByTheService)
{
    const auto plugin = loadPlugin();
    ASSERT_NE(plugin->processing(), nullptr);
    const PaymentProcessingAnswer answer =
        reverse(plugin->processing(), "00000000-0000-0000-0000-000000000000", true);
    EXPECT_FALSE(answer.isSuccess());
    EXPECT_EQ(answer.getCode(), 404);
    EXPECT_EQ(answer.getMessage().key(), "undefined");
}

INSTANTIATE_TEST_SUITE_P(Transport, EndToEndReversal, ::testing::Values(false, true), transportName);
