#include "contract/basicpaymentprocessing.h"

#include <functional>
#include <gtest/gtest.h>
#include <ostream>

namespace {

// Reaches the protected fields the way a plug-in's constructor does.
class Processing : public BasicPaymentProcessing
{
public:
    using BasicPaymentProcessing::cancelTypes;
    using BasicPaymentProcessing::dialogImagePath;
    using BasicPaymentProcessing::lastOperationTime;
    using BasicPaymentProcessing::optionFlags;
    using BasicPaymentProcessing::options;
    using BasicPaymentProcessing::paymentTypes;
    using BasicPaymentProcessing::paySystemsDirectory;
    using BasicPaymentProcessing::processingDirectory;
    using BasicPaymentProcessing::statusRequestsInterval;
    using BasicPaymentProcessing::waitPaymentByQRCodeDuration;
};

const QList<PaymentProcessingRequest::Type> someTypes = {
    PaymentProcessingRequest::Unknown,
    PaymentProcessingRequest::Payment,
    PaymentProcessingRequest::Cancel,
    PaymentProcessingRequest::Refund,
    PaymentProcessingRequest::Change,
    static_cast<PaymentProcessingRequest::Type>(9),
};

const QList<processing::Option> someOptions = {
    processing::NoOption,
    processing::AskAmount,
    processing::AskCardNumber,
    processing::PrintSlip,
    processing::ShowDialog,
    processing::ScanToken,
};

EPaymentProcessingOption::Option flags(int bits)
{
    return static_cast<EPaymentProcessingOption::Option>(bits);
}

// The host's table of unavailable answers, written out here on its
// own so that a slip in the library's constants does not hide itself.
struct Unavailable
{
    const char *operation;
    std::function<PaymentProcessingAnswer(AbstractPaymentProcessing &)> call;
    const char *key;
    const char *text;
};

// Names each case in test listings (and so in CTest's test names).
void PrintTo(const Unavailable &row, std::ostream *out)
{
    *out << row.operation;
}

class UnavailableAnswer : public ::testing::TestWithParam<Unavailable>
{
};

} // namespace

TEST(BasicPaymentProcessing, PlainObjectDefaults)
{
    Processing object;
    const AbstractPaymentProcessing &host = object;

    for (PaymentProcessingRequest::Type type : someTypes) {
        EXPECT_FALSE(host.isPaymentEnable(type)) << type;
        EXPECT_FALSE(host.isCancelEnable(type)) << type;
    }
    for (processing::Option option : someOptions)
        EXPECT_FALSE(host.checkOption(option)) << option;
    EXPECT_FALSE(host.isPaymentEnable(QSharedPointer<AbstractDocument>()));
    EXPECT_FALSE(host.isCheckTotalsEnable());
    EXPECT_FALSE(host.isUsePaymentAsDiscount());
    EXPECT_TRUE(host.useTerminal());
    EXPECT_EQ(host.getStatusRequestsInterval(), 1);
    EXPECT_EQ(host.getWaitPaymentByQRCodeDuration(), 0);
    EXPECT_EQ(host.getWaitPaymentStatusDuration(), 0);
    EXPECT_EQ(host.getValutCodeForGetHashedCardNumber(), -1);
    EXPECT_EQ(host.getDialogScanMask(), ".*");
    EXPECT_TRUE(host.getDialogImagePath().isEmpty());
    EXPECT_TRUE(host.getMessageInfo().isEmpty());
    EXPECT_FALSE(object.interruptPayment());
    EXPECT_FALSE(object.sendEnqueuedMessage({ { "messagetype", "sendofddata" } }));

    EXPECT_EQ(int(object.optionFlags), 0);
    EXPECT_EQ(object.lastOperationTime.tv_sec, 0);
    EXPECT_EQ(object.lastOperationTime.tv_nsec, 0);
    EXPECT_TRUE(object.processingDirectory.isEmpty());
    EXPECT_EQ(object.paySystemsDirectory, "/tessaroot/cash/paysystems/");
}

TEST(BasicPaymentProcessing, DoNothingOperationsChangeNothing)
{
    Processing object;
    object.init();
    object.cancelCardRequest();
    object.cancelPaymentByQRCodeInQueue(PaymentProcessingRequest());
    EXPECT_TRUE(object.checkOption(EPaymentProcessingOption::NoOption));
    EXPECT_TRUE(object.options.empty());
    EXPECT_TRUE(object.processingDirectory.isEmpty());
}

TEST(BasicPaymentProcessing, FieldsSetByADerivedClassAreAnswered)
{
    Processing object;
    object.waitPaymentByQRCodeDuration = 120;
    object.statusRequestsInterval = 5;
    object.dialogImagePath = ":/picture.png";
    EXPECT_EQ(object.getWaitPaymentByQRCodeDuration(), 120);
    EXPECT_EQ(object.getWaitPaymentStatusDuration(), 120);
    EXPECT_EQ(object.getStatusRequestsInterval(), 5);
    EXPECT_EQ(object.getDialogImagePath(), ":/picture.png");
}

TEST(BasicPaymentProcessing, EnabledTypesAreMembershipTests)
{
    Processing object;
    object.paymentTypes = { PaymentProcessingRequest::Payment, PaymentProcessingRequest::Refund };
    object.cancelTypes = { PaymentProcessingRequest::Payment };
    for (PaymentProcessingRequest::Type type : someTypes) {
        EXPECT_EQ(object.isPaymentEnable(type), type == 1 || type == 3) << type;
        EXPECT_EQ(object.isCancelEnable(type), type == 1) << type;
    }
}

TEST(BasicPaymentProcessing, MakeResultIsADefaultAnswerWithTheMessage)
{
    Processing object;
    const tr::Tr message("someKey", "Текст");
    const PaymentProcessingAnswer answer = object.makeResult(message);
    PaymentProcessingAnswer expected;
    expected.setMessage(message);
    EXPECT_TRUE(answer == expected);
    EXPECT_FALSE(answer.isSuccess());
    EXPECT_EQ(int(answer.getStatus()), 1);
    EXPECT_EQ(answer.getCode(), 0);
    EXPECT_EQ(answer.getMessage(), message);
}

TEST_P(UnavailableAnswer, HasItsKeyAndTextAndIsNotSuccessful)
{
    Processing object;
    const Unavailable &row = GetParam();
    const PaymentProcessingAnswer answer = row.call(object);

    EXPECT_EQ(answer.getMessage().key(), QString::fromLatin1(row.key));
    EXPECT_EQ(answer.getMessage().defaultText(), QString::fromUtf8(row.text));
    EXPECT_FALSE(answer.isSuccess());
    EXPECT_EQ(int(answer.getStatus()), 1);
    EXPECT_EQ(answer.getCode(), 0);
    PaymentProcessingAnswer expected;
    expected.setMessage(tr::Tr(QString::fromLatin1(row.key), QString::fromUtf8(row.text)));
    EXPECT_TRUE(answer == expected) << "every other field keeps its default";
    EXPECT_TRUE(object.options.empty());
    EXPECT_EQ(int(object.optionFlags), 0);
}

INSTANTIATE_TEST_SUITE_P(BasicPaymentProcessing, UnavailableAnswer,
    ::testing::Values(Unavailable { "payment", [](auto &p) { return p.payment({}); },
                          "basicPaymentProcessingPayment", "Операция оплаты недоступна" },
        Unavailable { "change", [](auto &p) { return p.change({}); },
            "basicPaymentProcessingChange", "Операция сдачи недоступна" },
        Unavailable { "cancel", [](auto &p) { return p.cancel({}); },
            "basicPaymentProcessingCancel", "Операция отмены недоступна" },
        Unavailable { "checkTotals", [](auto &p) { return p.checkTotals(5); },
            "basicPaymentProcessingCheckTotals", "Операция печати короткого отчета недоступна" },
        Unavailable { "checkTotalsByMerchantId",
            [](auto &p) { return p.checkTotalsByMerchantId("m"); },
            "basicPaymentProcessingCheckTotalsByMerchant",
            "Операция сверки итогов для юр. лица недоступна" },
        Unavailable { "printCopy", [](auto &p) { return p.printCopy(12); },
            "basicPaymentProcessingPrintCopy", "Операция печати копии недоступна" },
        Unavailable { "printReport", [](auto &p) { return p.printReport(); },
            "basicPaymentProcessingPrintReport", "Операция печати полного отчета недоступна" },
        Unavailable { "printReportByMerchantId",
            [](auto &p) { return p.printReportByMerchantId("m"); },
            "basicPaymentProcessingPrintReportByMerchant",
            "Операция печати полного отчета для юр. лица недоступна" },
        Unavailable { "printShortReport", [](auto &p) { return p.printShortReport(); },
            "basicPaymentProcessingPrintShortReport",
            "Операция печати короткого отчета недоступна" },
        Unavailable { "balance", [](auto &p) { return p.balance("4111"); },
            "basicPaymentProcessingBalance", "Операция запроса баланса недоступна" },
        Unavailable { "discountCard", [](auto &p) { return p.discountCard(); },
            "basicPaymentProcessingDiscountCard", "Операция получения скидочной карты недоступна" },
        Unavailable { "loyaltyCards", [](auto &p) { return p.loyaltyCards("4111"); },
            "basicPaymentProcessingLoyaltyCards",
            "Операция получения списка карт лояльности недоступна" },
        Unavailable { "testConnection", [](auto &p) { return p.testConnection(); },
            "basicPaymentProcessingTestConnection", "Операция проверки связи недоступна" },
        Unavailable { "demandPinCode", [](auto &p) { return p.demandPinCode(); },
            "basicPaymentProcessingDemandPinCode", "Операция запроса пин-кода недоступна" },
        Unavailable { "demandQRCode", [](auto &p) { return p.demandQRCode({}); },
            "basicPaymentProcessingDemandQrCode", "Операция запроса QR-кода недоступна" },
        Unavailable { "getPaymentByQRCodeStatus",
            [](auto &p) { return p.getPaymentByQRCodeStatus("id"); },
            "basicPaymentProcessingGetPaymentByQRCodeStatus",
            "Операция получения статуса оплаты по QR-коду недоступна" },
        Unavailable { "paymentByQRCodeOnPinPad",
            [](auto &p) { return p.paymentByQRCodeOnPinPad({}); },
            "basicPaymentProcessingPaymentByQRCodeOnPinPad",
            "Операция оплаты по QR-коду на PinPad недоступна" },
        Unavailable { "cancelByQRCodeOnPinPad",
            [](auto &p) { return p.cancelByQRCodeOnPinPad({}); },
            "basicPaymentProcessingCancelByQRCodeOnPinPad",
            "Операция отмены оплаты по QR-коду на PinPad недоступна" },
        Unavailable { "paymentByBiometry", [](auto &p) { return p.paymentByBiometry({}); },
            "basicPaymentProcessingPaymentByBiometry", "Операция оплаты по биометрии недоступна" },
        Unavailable { "cancelByBiometry", [](auto &p) { return p.cancelByBiometry({}); },
            "basicPaymentProcessingCancelByBiometry",
            "Операция отмены оплаты по биометрии недоступна" },
        Unavailable { "paymentWithCashAdvance",
            [](auto &p) { return p.paymentWithCashAdvance({}); },
            "basicPaymentProcessingPaymentWithCashAdvance",
            "Операция оплаты с выдачей наличных недоступна" },
        Unavailable { "getHashedCardNumber", [](auto &p) { return p.getHashedCardNumber(); },
            "basicPaymentProcessingGetHashedCardNumber",
            "Операция получения хэшированного номера карты недоступна" }));

TEST(BasicPaymentProcessing, CheckTotalsSharesTheShortReportTextButNotItsKey)
{
    Processing object;
    const PaymentProcessingAnswer totals = object.checkTotals(5);
    const PaymentProcessingAnswer shortReport = object.printShortReport();
    EXPECT_EQ(totals.getMessage().defaultText(), shortReport.getMessage().defaultText());
    EXPECT_NE(totals.getMessage().key(), shortReport.getMessage().key());
    EXPECT_FALSE(totals == shortReport);
}

namespace {

// Flag test: every asked bit set, and asking for 0 is true only with no flag.
struct FlagCase
{
    int setFlags;
    int asked;
    bool expected;
};

void PrintTo(const FlagCase &c, std::ostream *out)
{
    *out << std::hex << "set0x" << c.setFlags << "ask0x" << c.asked;
}

class OptionFlagTest : public ::testing::TestWithParam<FlagCase>
{
};

} // namespace

TEST_P(OptionFlagTest, EveryAskedBitMustBeSet)
{
    Processing object;
    if (GetParam().setFlags != 0)
        object.setOption(flags(GetParam().setFlags), true);
    EXPECT_EQ(object.checkOption(flags(GetParam().asked)), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(BasicPaymentProcessing, OptionFlagTest,
    ::testing::Values(FlagCase { 0, 0, true }, FlagCase { 0, 0x1, false },
        FlagCase { 0, 0x10, false }, FlagCase { 0, 0x4000, false }, FlagCase { 0, 0x4010, false },
        FlagCase { 0x4010, 0x10, true }, FlagCase { 0x4010, 0x4000, true },
        FlagCase { 0x4010, 0x4010, true }, FlagCase { 0x4010, 0x4001, false },
        FlagCase { 0x4010, 0x1, false }, FlagCase { 0x4010, 0, false }, FlagCase { 0x1, 0x1, true },
        FlagCase { 0x1, 0x3, false }));

TEST(BasicPaymentProcessing, SetOptionFlagsGainAndLoseEveryBitOfTheArgument)
{
    Processing object;
    object.setOption(EPaymentProcessingOption::PaymentByToken, true);
    object.setOption(EPaymentProcessingOption::NoTerminal, true);
    EXPECT_EQ(int(object.optionFlags), 0x4010);

    object.setOption(flags(0x3), true);
    EXPECT_EQ(int(object.optionFlags), 0x4013);
    object.setOption(flags(0x4001), false);
    EXPECT_EQ(int(object.optionFlags), 0x12);
    object.setOption(flags(0x12), false);
    EXPECT_EQ(int(object.optionFlags), 0);
    EXPECT_TRUE(object.checkOption(EPaymentProcessingOption::NoOption));
}

TEST(BasicPaymentProcessing, NoTerminalFlagTurnsTheTerminalOff)
{
    Processing object;
    object.setOption(EPaymentProcessingOption::NoTerminal, true);
    EXPECT_FALSE(object.useTerminal());
    object.setOption(EPaymentProcessingOption::NoTerminal, false);
    EXPECT_TRUE(object.useTerminal());
}

TEST(BasicPaymentProcessing, UseTerminalAsksCheckOptionVirtually)
{
    class NoTerminalByOverride : public BasicPaymentProcessing
    {
    public:
        using BasicPaymentProcessing::checkOption;
        bool checkOption(EPaymentProcessingOption::Option option) const override
        {
            return option == EPaymentProcessingOption::NoTerminal;
        }
    };
    NoTerminalByOverride object;
    EXPECT_FALSE(object.useTerminal());
}

TEST(BasicPaymentProcessing, WaitStatusDurationAsksTheQrCodeDurationVirtually)
{
    class ThirtySeconds : public BasicPaymentProcessing
    {
    public:
        int getWaitPaymentByQRCodeDuration() const override { return 30; }
    };
    ThirtySeconds object;
    const AbstractPaymentProcessing &host = object;
    EXPECT_EQ(host.getWaitPaymentStatusDuration(), 30);
}

TEST(BasicPaymentProcessing, ProcessingOptionsAreASet)
{
    Processing object;
    object.setOption(processing::PrintSlip, true);
    object.setOption(processing::PrintSlip, true);
    EXPECT_TRUE(object.checkOption(processing::PrintSlip));
    EXPECT_EQ(object.options.size(), 1u);
    object.setOption(processing::PrintSlip, false);
    EXPECT_FALSE(object.checkOption(processing::PrintSlip));
    EXPECT_TRUE(object.options.empty());

    object.setOption(processing::ScanToken, true);
    object.setOption(processing::AskAmount, false);
    EXPECT_EQ(object.options, std::set<processing::Option>({ processing::ScanToken }));
}

TEST(BasicPaymentProcessing, OptionStoresAreIndependent)
{
    Processing object;
    object.setOption(processing::PrintSlip, true);
    EXPECT_FALSE(object.checkOption(EPaymentProcessingOption::PrintSlip));
    EXPECT_EQ(int(object.optionFlags), 0);

    Processing other;
    other.setOption(EPaymentProcessingOption::PrintSlip, true);
    EXPECT_FALSE(other.checkOption(processing::PrintSlip));
    EXPECT_TRUE(other.options.empty());
}

TEST(BasicPaymentProcessing, EmptyProcessingDirectoryIsIgnored)
{
    Processing object;
    object.setProcessingDirectory("/tmp/processing");
    EXPECT_EQ(object.processingDirectory, "/tmp/processing");
    object.setProcessingDirectory(QString());
    EXPECT_EQ(object.processingDirectory, "/tmp/processing");
    object.setProcessingDirectory("");
    EXPECT_EQ(object.processingDirectory, "/tmp/processing");
    object.setProcessingDirectory("/other");
    EXPECT_EQ(object.processingDirectory, "/other");
}
