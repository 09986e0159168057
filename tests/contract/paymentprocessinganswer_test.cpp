#include "contract/paymentprocessinganswer.h"

#include <functional>
#include <gtest/gtest.h>
#include <limits>
#include <ostream>

namespace {

// An answer with every field away from its default, so that changing any
// one field makes a real difference.
PaymentProcessingAnswer filledAnswer()
{
    PaymentProcessingAnswer answer;
    answer.setCode(7);
    answer.setMessage(tr::Tr("someKey", "Некоторый текст"));
    answer.setStatus(PaymentProcessingAnswer::Success);
    answer.setPrintImages({ "first", "second" });
    answer.setTerminalNumber(3);
    answer.setCardType("VISA");
    answer.setCardNumber("4111");
    answer.setAuthorizationCode("auth");
    answer.setRRN("5d0f6e1c-0000-4000-8000-000000000001");
    answer.setSum(123.45);
    answer.setPosName("pos");
    answer.setBalance(6.5);
    answer.setDiscCardNumber("disc");
    answer.setLoyaltyCards({ "l1", "l2" });
    answer.setHashedCardNumber("hashed");
    answer.setCardMark(static_cast<CardMark>(2));
    answer.setQrCode("qr");
    answer.setPaymentMethod(PaymentMethodToken);
    answer.setAdditionalInfo({ { "phone", "+70000000000" }, { "valutCode", 643 } });
    answer.setTerminalId("branch");
    answer.setAdditionalData("{\"k\":1}");
    return answer;
}

struct FieldChange
{
    const char *field;
    std::function<void(PaymentProcessingAnswer &)> change;
    bool stillEqual;
};

// Names each case in test listings (and so in CTest's test names).
void PrintTo(const FieldChange &change, std::ostream *out)
{
    *out << change.field;
}

class AnswerEquality : public ::testing::TestWithParam<FieldChange>
{
};

const double notANumber = std::numeric_limits<double>::quiet_NaN();

} // namespace

TEST(PaymentProcessingAnswer, DefaultsAreNotSuccessfulAndEmpty)
{
    const PaymentProcessingAnswer answer;
    EXPECT_EQ(answer.getCode(), 0);
    EXPECT_EQ(answer.getMessage(), tr::Tr());
    EXPECT_EQ(answer.getStatus(), PaymentProcessingAnswer::Error);
    EXPECT_EQ(int(answer.getStatus()), 1);
    EXPECT_FALSE(answer.isSuccess());
    EXPECT_TRUE(answer.getPrintImages().isEmpty());
    EXPECT_EQ(answer.getTerminalNumber(), 0);
    EXPECT_TRUE(answer.getCardType().isEmpty());
    EXPECT_TRUE(answer.getCardNumber().isEmpty());
    EXPECT_TRUE(answer.getAuthorizationCode().isEmpty());
    EXPECT_TRUE(answer.getRRN().isEmpty());
    EXPECT_EQ(answer.getSum(), 0.0);
    EXPECT_TRUE(answer.getPosName().isEmpty());
    EXPECT_EQ(answer.getBalance(), 0.0);
    EXPECT_TRUE(answer.getDiscCardNumber().isEmpty());
    EXPECT_TRUE(answer.getLoyaltyCards().isEmpty());
    EXPECT_TRUE(answer.getHashedCardNumber().isEmpty());
    EXPECT_EQ(int(answer.getCardMark()), 0);
    EXPECT_TRUE(answer.getQrCode().isEmpty());
    EXPECT_EQ(int(answer.getPaymentMethod()), 0);
    EXPECT_TRUE(answer.getAdditionalInfo().isEmpty());
    EXPECT_TRUE(answer.getTerminalId().isEmpty());
    EXPECT_TRUE(answer.getAdditionalData().isEmpty());
}

TEST(PaymentProcessingAnswer, SuccessFlagIsTheStatusField)
{
    PaymentProcessingAnswer answer;
    answer.setSuccess(true);
    EXPECT_EQ(int(answer.getStatus()), 0);
    EXPECT_TRUE(answer.isSuccess());

    for (int status : { 1, 2, -1, 42 }) {
        answer.setStatus(static_cast<PaymentProcessingAnswer::Status>(status));
        EXPECT_EQ(int(answer.getStatus()), status);
        EXPECT_FALSE(answer.isSuccess()) << status;
        answer.setSuccess(false);
        EXPECT_EQ(int(answer.getStatus()), 1) << status;
    }

    answer.setStatus(PaymentProcessingAnswer::Success);
    EXPECT_TRUE(answer.isSuccess());
}

TEST(PaymentProcessingAnswer, GettersReturnSharedCopies)
{
    PaymentProcessingAnswer answer = filledAnswer();

    QStringList images = answer.getPrintImages();
    images.append("third");
    images[0] = "changed";
    EXPECT_EQ(answer.getPrintImages(), QStringList({ "first", "second" }));

    QStringList cards = answer.getLoyaltyCards();
    cards.clear();
    EXPECT_EQ(answer.getLoyaltyCards().size(), 2);

    QMap<QString, QVariant> info = answer.getAdditionalInfo();
    info.insert("extra", true);
    info["phone"] = "changed";
    EXPECT_EQ(answer.getAdditionalInfo().size(), 2);
    EXPECT_EQ(answer.getAdditionalInfo().value("phone"), QVariant("+70000000000"));

    QString rrn = answer.getRRN();
    rrn.clear();
    EXPECT_FALSE(answer.getRRN().isEmpty());
}

TEST(PaymentProcessingAnswer, EqualsItsCopy)
{
    const PaymentProcessingAnswer answer = filledAnswer();
    EXPECT_TRUE(answer == PaymentProcessingAnswer(answer));
    EXPECT_TRUE(PaymentProcessingAnswer() == PaymentProcessingAnswer());
}

TEST(PaymentProcessingAnswer, NotANumberMakesAnAnswerUnequalToItsCopy)
{
    PaymentProcessingAnswer withNanSum = filledAnswer();
    withNanSum.setSum(notANumber);
    EXPECT_FALSE(withNanSum == PaymentProcessingAnswer(withNanSum));
    EXPECT_FALSE(withNanSum == withNanSum);

    PaymentProcessingAnswer withNanBalance = filledAnswer();
    withNanBalance.setBalance(notANumber);
    EXPECT_FALSE(withNanBalance == PaymentProcessingAnswer(withNanBalance));

    // Maps are walked even when shared, so a NaN value behaves like a NaN sum.
    PaymentProcessingAnswer withNanInfo = filledAnswer();
    withNanInfo.setAdditionalInfo({ { "rate", notANumber } });
    EXPECT_FALSE(withNanInfo == PaymentProcessingAnswer(withNanInfo));
}

TEST_P(AnswerEquality, OneChangedField)
{
    const PaymentProcessingAnswer original = filledAnswer();
    PaymentProcessingAnswer changed = original;
    GetParam().change(changed);
    EXPECT_EQ(original == changed, GetParam().stillEqual) << GetParam().field;
    EXPECT_EQ(changed == original, GetParam().stillEqual) << GetParam().field;
}

INSTANTIATE_TEST_SUITE_P(PaymentProcessingAnswer, AnswerEquality,
    ::testing::Values(FieldChange { "code", [](auto &a) { a.setCode(8); }, false },
        FieldChange { "messageKey",
            [](auto &a) { a.setMessage(tr::Tr("otherKey", "Некоторый текст")); }, false },
        FieldChange {
            "messageText", [](auto &a) { a.setMessage(tr::Tr("someKey", "Другой")); }, false },
        FieldChange { "status", [](auto &a) { a.setSuccess(false); }, false },
        FieldChange { "statusOtherFailure",
            [](auto &a) { a.setStatus(static_cast<PaymentProcessingAnswer::Status>(2)); }, false },
        FieldChange { "printImagesOrder",
            [](auto &a) {
                a.setPrintImages({ "second", "first" });
            },
            false },
        FieldChange { "printImagesLength",
            [](auto &a) {
                a.setPrintImages({ "first", "second", "third" });
            },
            false },
        FieldChange { "printImagesSameContentsOwnData",
            [](auto &a) {
                QStringList images;
                images << QString("fir") + "st" << QString("sec") + "ond";
                a.setPrintImages(images);
            },
            true },
        FieldChange { "terminalNumber", [](auto &a) { a.setTerminalNumber(4); }, false },
        FieldChange { "cardType", [](auto &a) { a.setCardType("MIR"); }, false },
        FieldChange { "cardNumber", [](auto &a) { a.setCardNumber("2200"); }, false },
        FieldChange { "authorizationCode", [](auto &a) { a.setAuthorizationCode("x"); }, false },
        FieldChange { "RRN", [](auto &a) { a.setRRN("other"); }, false },
        FieldChange { "sum", [](auto &a) { a.setSum(123.46); }, false },
        FieldChange { "posName", [](auto &a) { a.setPosName("other"); }, false },
        FieldChange { "balance", [](auto &a) { a.setBalance(6.25); }, false },
        FieldChange { "discCardNumber", [](auto &a) { a.setDiscCardNumber("other"); }, false },
        FieldChange { "loyaltyCards",
            [](auto &a) {
                a.setLoyaltyCards({ "l2", "l1" });
            },
            false },
        FieldChange { "hashedCardNumber", [](auto &a) { a.setHashedCardNumber("other"); }, false },
        FieldChange { "cardMark", [](auto &a) { a.setCardMark(CardMarkNone); }, false },
        FieldChange { "qrCode", [](auto &a) { a.setQrCode("other qr"); }, true },
        FieldChange {
            "paymentMethod", [](auto &a) { a.setPaymentMethod(PaymentMethodCard); }, false },
        FieldChange { "additionalInfoValue",
            [](auto &a) {
                a.setAdditionalInfo({ { "phone", "+7" }, { "valutCode", 643 } });
            },
            false },
        FieldChange { "additionalInfoValueType",
            [](auto &a) {
                a.setAdditionalInfo({ { "phone", "+70000000000" }, { "valutCode", "x643" } });
            },
            false },
        FieldChange { "additionalInfoKey",
            [](auto &a) {
                a.setAdditionalInfo({ { "phone", "+70000000000" }, { "valut", 643 } });
            },
            false },
        FieldChange { "additionalInfoSize",
            [](auto &a) {
                a.setAdditionalInfo({ { "phone", "+70000000000" } });
            },
            false },
        FieldChange { "additionalInfoInsertOrder",
            [](auto &a) {
                QMap<QString, QVariant> info;
                info.insert("valutCode", 643);
                info.insert("phone", "+70000000000");
                a.setAdditionalInfo(info);
            },
            true },
        FieldChange { "terminalId", [](auto &a) { a.setTerminalId("other branch"); }, true },
        FieldChange { "additionalData", [](auto &a) { a.setAdditionalData("{}"); }, false }));
