#include "fiscalmessage.h"
#include "requestfactory.h"

#include <gtest/gtest.h>

using namespace vesanuhost;

namespace {

TEST(FiscalMessage, HasTheShapeThePluginReads)
{
    const QVariantMap message = FiscalMessage::build(QStringLiteral("R-1"), QStringLiteral("t=20240101&s=1"));
    EXPECT_EQ(message.value(QStringLiteral("messagetype")).toString(), QStringLiteral("sendofddata"));
    const QVariantMap payload = message.value(QStringLiteral("payload")).toMap();
    EXPECT_EQ(payload.value(QStringLiteral("rrn")).toString(), QStringLiteral("R-1"));
    const QVariantMap fiscalData = payload.value(QStringLiteral("fiscalData")).toMap();
    EXPECT_EQ(fiscalData.value(QStringLiteral("qr")).toString(), QStringLiteral("t=20240101&s=1"));
    EXPECT_EQ(message.size(), 2);
    EXPECT_EQ(payload.size(), 2);
    EXPECT_EQ(fiscalData.size(), 1);
}

struct RequestCase
{
    Invocation::Command command;
    int requestType;
};

class RequestFactoryCase : public ::testing::TestWithParam<RequestCase>
{
};

TEST_P(RequestFactoryCase, CarriesTheCommandsValues)
{
    Invocation invocation;
    invocation.command = GetParam().command;
    invocation.amount = 12345;
    invocation.currency = 643;
    invocation.token = QStringLiteral("token-1");
    invocation.rrn = QStringLiteral("rrn-1");

    const PaymentProcessingRequest request = RequestFactory::create(invocation);
    EXPECT_EQ(request.getRequestType(), GetParam().requestType);
    EXPECT_EQ(request.getAmount(), 12345);
    EXPECT_EQ(request.getValutCode(), 643);
    EXPECT_EQ(request.getCardNumber(), QStringLiteral("token-1"));
    EXPECT_EQ(request.getRrn(), QStringLiteral("rrn-1"));
}

INSTANTIATE_TEST_SUITE_P(Commands, RequestFactoryCase,
                         ::testing::Values(RequestCase{Invocation::Command::Pay, 1},
                                           RequestCase{Invocation::Command::Refund, 3},
                                           RequestCase{Invocation::Command::Cancel, 1}));

} // namespace
