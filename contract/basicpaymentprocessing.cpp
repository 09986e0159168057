#include "contract/basicpaymentprocessing.h"

#include "contract/basicpaymentprocessing_p.h"

#include <unistd.h>

namespace internal = contract::internal;
namespace unavailable = contract::internal::unavailable;

namespace {

tr::Tr messageOf(const internal::UnavailableMessage &message)
{
    return tr::Tr(QString::fromLatin1(message.key), QString::fromUtf8(message.text));
}

} // namespace

BasicPaymentProcessing::BasicPaymentProcessing()
    : optionFlags()
    , lastOperationTime()
    , waitPaymentByQRCodeDuration(0)
    , statusRequestsInterval(internal::statusRequestsInterval)
    , paySystemsDirectory(QString::fromLatin1(internal::paySystemsDirectory))
{
}

BasicPaymentProcessing::~BasicPaymentProcessing() = default;

void BasicPaymentProcessing::init() { }

bool BasicPaymentProcessing::isPaymentEnable(PaymentProcessingRequest::Type type) const
{
    return paymentTypes.count(type) != 0;
}

bool BasicPaymentProcessing::isPaymentEnable(const QSharedPointer<AbstractDocument> &) const
{
    return false;
}

bool BasicPaymentProcessing::isCancelEnable(PaymentProcessingRequest::Type type) const
{
    return cancelTypes.count(type) != 0;
}

bool BasicPaymentProcessing::isCheckTotalsEnable() const
{
    return false;
}

bool BasicPaymentProcessing::isUsePaymentAsDiscount() const
{
    return false;
}

PaymentProcessingAnswer BasicPaymentProcessing::payment(const PaymentProcessingRequest &)
{
    return makeResult(messageOf(unavailable::payment));
}

PaymentProcessingAnswer BasicPaymentProcessing::change(const PaymentProcessingRequest &)
{
    return makeResult(messageOf(unavailable::change));
}

PaymentProcessingAnswer BasicPaymentProcessing::cancel(const PaymentProcessingRequest &)
{
    return makeResult(messageOf(unavailable::cancel));
}

PaymentProcessingAnswer BasicPaymentProcessing::checkTotals(int)
{
    return makeResult(messageOf(unavailable::checkTotals));
}

PaymentProcessingAnswer BasicPaymentProcessing::checkTotalsByMerchantId(const QString &)
{
    return makeResult(messageOf(unavailable::checkTotalsByMerchantId));
}

PaymentProcessingAnswer BasicPaymentProcessing::printCopy(int)
{
    return makeResult(messageOf(unavailable::printCopy));
}

PaymentProcessingAnswer BasicPaymentProcessing::printReport()
{
    return makeResult(messageOf(unavailable::printReport));
}

PaymentProcessingAnswer BasicPaymentProcessing::printReportByMerchantId(const QString &)
{
    return makeResult(messageOf(unavailable::printReportByMerchantId));
}

PaymentProcessingAnswer BasicPaymentProcessing::printShortReport()
{
    return makeResult(messageOf(unavailable::printShortReport));
}

PaymentProcessingAnswer BasicPaymentProcessing::balance(const QString &)
{
    return makeResult(messageOf(unavailable::balance));
}

PaymentProcessingAnswer BasicPaymentProcessing::discountCard()
{
    return makeResult(messageOf(unavailable::discountCard));
}

PaymentProcessingAnswer BasicPaymentProcessing::loyaltyCards(const QString &)
{
    return makeResult(messageOf(unavailable::loyaltyCards));
}

// Every bit of the argument must be set; 0 asks whether no flag is set.
bool BasicPaymentProcessing::checkOption(EPaymentProcessingOption::Option option) const
{
    const int asked = option;
    const int set = optionFlags;
    return (set & asked) == asked && (asked != 0 || set == 0);
}

bool BasicPaymentProcessing::checkOption(processing::Option option) const
{
    return options.count(option) != 0;
}

void BasicPaymentProcessing::setOption(EPaymentProcessingOption::Option option, bool enabled)
{
    optionFlags.setFlag(option, enabled);
}

void BasicPaymentProcessing::setOption(processing::Option option, bool enabled)
{
    if (enabled)
        options.insert(option);
    else
        options.erase(option);
}

void BasicPaymentProcessing::cancelCardRequest() { }

QMap<EPaymentProcessingInfo::MessageType, tr::Tr> BasicPaymentProcessing::getMessageInfo() const
{
    return {};
}

QString BasicPaymentProcessing::getDialogScanMask() const
{
    return QString::fromLatin1(internal::dialogScanMask);
}

QString BasicPaymentProcessing::getDialogImagePath() const
{
    return dialogImagePath;
}

PaymentProcessingAnswer BasicPaymentProcessing::testConnection()
{
    return makeResult(messageOf(unavailable::testConnection));
}

PaymentProcessingAnswer BasicPaymentProcessing::demandPinCode()
{
    return makeResult(messageOf(unavailable::demandPinCode));
}

PaymentProcessingAnswer BasicPaymentProcessing::demandQRCode(const PaymentProcessingRequest &)
{
    return makeResult(messageOf(unavailable::demandQRCode));
}

PaymentProcessingAnswer BasicPaymentProcessing::getPaymentByQRCodeStatus(const QString &)
{
    return makeResult(messageOf(unavailable::getPaymentByQRCodeStatus));
}

int BasicPaymentProcessing::getWaitPaymentByQRCodeDuration() const
{
    return waitPaymentByQRCodeDuration;
}

// Virtual on purpose: a plug-in that overrides the QR-code wait changes
// this one too.
int BasicPaymentProcessing::getWaitPaymentStatusDuration() const
{
    return getWaitPaymentByQRCodeDuration();
}

int BasicPaymentProcessing::getStatusRequestsInterval() const
{
    return statusRequestsInterval;
}

void BasicPaymentProcessing::cancelPaymentByQRCodeInQueue(const PaymentProcessingRequest &) { }

PaymentProcessingAnswer BasicPaymentProcessing::paymentByQRCodeOnPinPad(
    const PaymentProcessingRequest &)
{
    return makeResult(messageOf(unavailable::paymentByQRCodeOnPinPad));
}

PaymentProcessingAnswer BasicPaymentProcessing::cancelByQRCodeOnPinPad(
    const PaymentProcessingRequest &)
{
    return makeResult(messageOf(unavailable::cancelByQRCodeOnPinPad));
}

PaymentProcessingAnswer BasicPaymentProcessing::paymentByBiometry(const PaymentProcessingRequest &)
{
    return makeResult(messageOf(unavailable::paymentByBiometry));
}

PaymentProcessingAnswer BasicPaymentProcessing::cancelByBiometry(const PaymentProcessingRequest &)
{
    return makeResult(messageOf(unavailable::cancelByBiometry));
}

PaymentProcessingAnswer BasicPaymentProcessing::paymentWithCashAdvance(
    const PaymentProcessingRequest &)
{
    return makeResult(messageOf(unavailable::paymentWithCashAdvance));
}

void BasicPaymentProcessing::setProcessingDirectory(const QString &directory)
{
    if (!directory.isEmpty())
        processingDirectory = directory;
}

bool BasicPaymentProcessing::interruptPayment()
{
    return false;
}

int BasicPaymentProcessing::getValutCodeForGetHashedCardNumber() const
{
    return internal::valutCodeForGetHashedCardNumber;
}

PaymentProcessingAnswer BasicPaymentProcessing::getHashedCardNumber()
{
    return makeResult(messageOf(unavailable::getHashedCardNumber));
}

bool BasicPaymentProcessing::sendEnqueuedMessage(const QMap<QString, QVariant> &)
{
    return false;
}

// Virtual on purpose: a plug-in's own checkOption decides.
bool BasicPaymentProcessing::useTerminal() const
{
    return !checkOption(EPaymentProcessingOption::NoTerminal);
}

PaymentProcessingAnswer BasicPaymentProcessing::makeResult(const tr::Tr &message)
{
    PaymentProcessingAnswer answer;
    answer.setMessage(message);
    return answer;
}

void BasicPaymentProcessing::waitBeforeNextOperation(int seconds) const
{
    if (seconds <= 0)
        return;
    // Nothing recorded since construction.
    if (lastOperationTime.tv_sec <= 0)
        return;
    timespec now {};
    clock_gettime(CLOCK_MONOTONIC, &now);
    const qint64 microseconds
        = internal::pacing::microsecondsToWait(seconds, lastOperationTime, now);
    internal::pacing::sleepInPieces(microseconds, [](useconds_t piece) { usleep(piece); });
}

void BasicPaymentProcessing::setLastOperationTime()
{
    clock_gettime(CLOCK_MONOTONIC, &lastOperationTime);
}
