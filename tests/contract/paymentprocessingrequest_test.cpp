#include "contract/paymentprocessingrequest.h"

#include <functional>
#include <gtest/gtest.h>
#include <limits>
#include <ostream>

namespace {

// A request with every field away from its default, so that changing any
// one field makes a real difference.
PaymentProcessingRequest filledRequest()
{
    PaymentProcessingRequest request;
    request.setRequestType(PaymentProcessingRequest::Payment);
    request.setAmount(12345);
    request.setSourceAmount(20000);
    request.setCashAdvanceAmount(500);
    request.setMerchantId("merchant");
    request.setAuthorizationCode("auth");
    request.setRrn("rrn-1");
    request.setCardNumber("token-1");
    request.setHash("hash");
    request.setIsPartOfPayment(true);
    request.setCashCode("cash-7");
    request.setShiftNumber(12);
    request.setCheckNumber(34);
    request.setDateTime(QDateTime(QDate(2024, 5, 6), QTime(7, 8, 9), Qt::UTC));
    request.setAdditionalData({ { "a", 1 }, { "b", "two" } });
    request.setPrintWidth(42);
    request.setPaymentMethod(2);
    request.setValutCode(643);
    request.setDocumentId("document-1");
    return request;
}

struct FieldChange
{
    const char *field;
    std::function<void(PaymentProcessingRequest &)> change;
    bool stillEqual;
};

// Names each case in test listings (and so in CTest's test names).
void PrintTo(const FieldChange &change, std::ostream *out)
{
    *out << change.field;
}

class RequestEquality : public ::testing::TestWithParam<FieldChange>
{
};

} // namespace

TEST(PaymentProcessingRequest, ConstructorGivesZeroFalseNullAndEmpty)
{
    const PaymentProcessingRequest request;
    EXPECT_EQ(request.getRequestType(), PaymentProcessingRequest::Unknown);
    EXPECT_EQ(request.getAmount(), 0);
    EXPECT_EQ(request.getSourceAmount(), 0);
    EXPECT_EQ(request.getCashAdvanceAmount(), 0);
    EXPECT_TRUE(request.getMerchantId().isEmpty());
    EXPECT_TRUE(request.getAuthorizationCode().isEmpty());
    EXPECT_TRUE(request.getRrn().isEmpty());
    EXPECT_TRUE(request.getCardNumber().isEmpty());
    EXPECT_TRUE(request.getHash().isEmpty());
    EXPECT_FALSE(request.getIsPartOfPayment());
    EXPECT_TRUE(request.getCashCode().isEmpty());
    EXPECT_EQ(request.getShiftNumber(), 0);
    EXPECT_EQ(request.getCheckNumber(), 0);
    EXPECT_TRUE(request.getDateTime().isNull());
    EXPECT_TRUE(request.getAdditionalData().isEmpty());
    EXPECT_EQ(request.getPrintWidth(), 0);
    EXPECT_EQ(request.getPaymentMethod(), 0);
    EXPECT_EQ(request.getValutCode(), 0);
    EXPECT_TRUE(request.getDocumentId().isEmpty());
}

TEST(PaymentProcessingRequest, EqualsItsCopy)
{
    const PaymentProcessingRequest request = filledRequest();
    EXPECT_TRUE(request == PaymentProcessingRequest(request));
    EXPECT_TRUE(PaymentProcessingRequest() == PaymentProcessingRequest());
}

TEST(PaymentProcessingRequest, NotANumberInTheMapMakesARequestUnequalToItsCopy)
{
    PaymentProcessingRequest request = filledRequest();
    request.setAdditionalData({ { "rate", std::numeric_limits<double>::quiet_NaN() } });
    EXPECT_FALSE(request == PaymentProcessingRequest(request));
}

TEST(PaymentProcessingRequest, SetRequestTypeKeepsAnyHostNumber)
{
    PaymentProcessingRequest request;
    request.setRequestType(3);
    EXPECT_EQ(request.getRequestType(), PaymentProcessingRequest::Refund);
    request.setRequestType(77);
    EXPECT_EQ(int(request.getRequestType()), 77);
}

TEST(PaymentProcessingRequest, GettersReturnSharedCopies)
{
    PaymentProcessingRequest request = filledRequest();
    QMap<QString, QVariant> data = request.getAdditionalData();
    data.insert("c", 3);
    EXPECT_EQ(request.getAdditionalData().size(), 2);
    QString rrn = request.getRrn();
    rrn.append("-changed");
    EXPECT_EQ(request.getRrn(), "rrn-1");
}

TEST_P(RequestEquality, OneChangedField)
{
    const PaymentProcessingRequest original = filledRequest();
    PaymentProcessingRequest changed = original;
    GetParam().change(changed);
    EXPECT_EQ(original == changed, GetParam().stillEqual) << GetParam().field;
    EXPECT_EQ(changed == original, GetParam().stillEqual) << GetParam().field;
}

INSTANTIATE_TEST_SUITE_P(PaymentProcessingRequest, RequestEquality,
    ::testing::Values(FieldChange { "requestType", [](auto &r) { r.setRequestType(3); }, false },
        FieldChange { "amount", [](auto &r) { r.setAmount(1); }, false },
        FieldChange { "sourceAmount", [](auto &r) { r.setSourceAmount(1); }, false },
        FieldChange { "cashAdvanceAmount", [](auto &r) { r.setCashAdvanceAmount(1); }, true },
        FieldChange { "merchantId", [](auto &r) { r.setMerchantId("other"); }, false },
        FieldChange { "authorizationCode", [](auto &r) { r.setAuthorizationCode("x"); }, false },
        FieldChange { "rrn", [](auto &r) { r.setRrn("rrn-2"); }, false },
        FieldChange { "cardNumber", [](auto &r) { r.setCardNumber("token-2"); }, false },
        FieldChange { "hash", [](auto &r) { r.setHash("other"); }, false },
        FieldChange { "isPartOfPayment", [](auto &r) { r.setIsPartOfPayment(false); }, false },
        FieldChange { "cashCode", [](auto &r) { r.setCashCode("cash-8"); }, false },
        FieldChange { "shiftNumber", [](auto &r) { r.setShiftNumber(13); }, false },
        FieldChange { "checkNumber", [](auto &r) { r.setCheckNumber(35); }, false },
        FieldChange {
            "dateTime", [](auto &r) { r.setDateTime(r.getDateTime().addSecs(1)); }, false },
        FieldChange { "dateTimeNull", [](auto &r) { r.setDateTime(QDateTime()); }, false },
        FieldChange { "additionalDataValue",
            [](auto &r) {
                r.setAdditionalData({ { "a", 1 }, { "b", "three" } });
            },
            false },
        FieldChange { "additionalDataKey",
            [](auto &r) {
                r.setAdditionalData({ { "a", 1 }, { "c", "two" } });
            },
            false },
        FieldChange { "additionalDataSize",
            [](auto &r) {
                r.setAdditionalData({ { "a", 1 } });
            },
            false },
        FieldChange { "additionalDataInsertOrder",
            [](auto &r) {
                QMap<QString, QVariant> data;
                data.insert("b", "two");
                data.insert("a", 1);
                r.setAdditionalData(data);
            },
            true },
        FieldChange { "printWidth", [](auto &r) { r.setPrintWidth(48); }, false },
        FieldChange { "paymentMethod", [](auto &r) { r.setPaymentMethod(1); }, false },
        FieldChange { "valutCode", [](auto &r) { r.setValutCode(840); }, false },
        FieldChange { "documentId", [](auto &r) { r.setDocumentId("document-2"); }, true }));
