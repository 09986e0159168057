#pragma once

// Internal to the processing contract library: the vocabulary of the
// defaults of BasicPaymentProcessing and the arithmetic of its pacing.
// Not part of the host's ABI; header-only, so nothing here is exported.

#include <QtGlobal>
#include <algorithm>
#include <ctime>
#include <limits>
#include <unistd.h>

// Hidden, so that nothing here joins the library's exported surface even
// where the compiler does not inline it.
#pragma GCC visibility push(hidden)

namespace contract::internal {

// The message of an operation that a processing object does not offer:
// a translation key (ASCII) and its default Russian text (UTF-8).
struct UnavailableMessage
{
    const char *key;
    const char *text;
};

namespace unavailable {
// checkTotals has a key of its own but, as in the host, the text of
// printShortReport; the merchant variants' keys end in "ByMerchant".
constexpr UnavailableMessage payment { "basicPaymentProcessingPayment",
    "Операция оплаты недоступна" };
constexpr UnavailableMessage change { "basicPaymentProcessingChange", "Операция сдачи недоступна" };
constexpr UnavailableMessage cancel { "basicPaymentProcessingCancel",
    "Операция отмены недоступна" };
constexpr UnavailableMessage checkTotals { "basicPaymentProcessingCheckTotals",
    "Операция печати короткого отчета недоступна" };
constexpr UnavailableMessage checkTotalsByMerchantId {
    "basicPaymentProcessingCheckTotalsByMerchant", "Операция сверки итогов для юр. лица недоступна"
};
constexpr UnavailableMessage printCopy { "basicPaymentProcessingPrintCopy",
    "Операция печати копии недоступна" };
constexpr UnavailableMessage printReport { "basicPaymentProcessingPrintReport",
    "Операция печати полного отчета недоступна" };
constexpr UnavailableMessage printReportByMerchantId {
    "basicPaymentProcessingPrintReportByMerchant",
    "Операция печати полного отчета для юр. лица недоступна"
};
constexpr UnavailableMessage printShortReport { "basicPaymentProcessingPrintShortReport",
    "Операция печати короткого отчета недоступна" };
constexpr UnavailableMessage balance { "basicPaymentProcessingBalance",
    "Операция запроса баланса недоступна" };
constexpr UnavailableMessage discountCard { "basicPaymentProcessingDiscountCard",
    "Операция получения скидочной карты недоступна" };
constexpr UnavailableMessage loyaltyCards { "basicPaymentProcessingLoyaltyCards",
    "Операция получения списка карт лояльности недоступна" };
constexpr UnavailableMessage testConnection { "basicPaymentProcessingTestConnection",
    "Операция проверки связи недоступна" };
constexpr UnavailableMessage demandPinCode { "basicPaymentProcessingDemandPinCode",
    "Операция запроса пин-кода недоступна" };
constexpr UnavailableMessage demandQRCode { "basicPaymentProcessingDemandQrCode",
    "Операция запроса QR-кода недоступна" };
constexpr UnavailableMessage getPaymentByQRCodeStatus {
    "basicPaymentProcessingGetPaymentByQRCodeStatus",
    "Операция получения статуса оплаты по QR-коду недоступна"
};
constexpr UnavailableMessage paymentByQRCodeOnPinPad {
    "basicPaymentProcessingPaymentByQRCodeOnPinPad",
    "Операция оплаты по QR-коду на PinPad недоступна"
};
constexpr UnavailableMessage cancelByQRCodeOnPinPad {
    "basicPaymentProcessingCancelByQRCodeOnPinPad",
    "Операция отмены оплаты по QR-коду на PinPad недоступна"
};
constexpr UnavailableMessage paymentByBiometry { "basicPaymentProcessingPaymentByBiometry",
    "Операция оплаты по биометрии недоступна" };
constexpr UnavailableMessage cancelByBiometry { "basicPaymentProcessingCancelByBiometry",
    "Операция отмены оплаты по биометрии недоступна" };
constexpr UnavailableMessage paymentWithCashAdvance {
    "basicPaymentProcessingPaymentWithCashAdvance", "Операция оплаты с выдачей наличных недоступна"
};
constexpr UnavailableMessage getHashedCardNumber { "basicPaymentProcessingGetHashedCardNumber",
    "Операция получения хэшированного номера карты недоступна" };
} // namespace unavailable

// Initial values and fixed answers of the defaults.
constexpr char paySystemsDirectory[] = "/tessaroot/cash/paysystems/";
constexpr int statusRequestsInterval = 1;
constexpr char dialogScanMask[] = ".*";
constexpr int valutCodeForGetHashedCardNumber = -1;

namespace pacing {

constexpr qint64 microsecondsPerSecond = 1000000;
constexpr qint64 nanosecondsPerMicrosecond = 1000;

// The longest single sleep: any wait whose microsecond count fits a signed
// 32-bit integer is slept in one call, exactly as the host does.
constexpr qint64 longestSleep = std::numeric_limits<qint32>::max();

// Steps 4 to 6 of the host's pacing: the microseconds still to wait, at
// `now`, until `seconds` have passed since `last`; 0 when no wait is due.
// The host computes in signed 32 bits, which overflows from 2148 s on; the
// same formula in 64 bits agrees with it wherever it does not overflow.
inline qint64 microsecondsToWait(int seconds, const timespec &last, const timespec &now)
{
    const qint64 remaining = qint64(seconds) + qint64(last.tv_sec) - qint64(now.tv_sec);
    if (remaining < 0)
        return 0;
    if (remaining == 0 && last.tv_nsec <= now.tv_nsec)
        return 0;
    const qint64 microseconds = remaining * microsecondsPerSecond
        + (qint64(last.tv_nsec) - qint64(now.tv_nsec)) / nanosecondsPerMicrosecond;
    // Only a nanosecond field out of its range could make this negative.
    return std::max<qint64>(microseconds, 0);
}

// Step 7: sleeps `microseconds` through `sleep` (usleep in the library),
// in pieces of at most longestSleep so that no piece is truncated or
// turned negative on its way to a 32-bit useconds_t.
template<typename Sleep> void sleepInPieces(qint64 microseconds, Sleep sleep)
{
    while (microseconds > 0) {
        const qint64 piece = std::min(microseconds, longestSleep);
        sleep(static_cast<useconds_t>(piece));
        microseconds -= piece;
    }
}

} // namespace pacing

} // namespace contract::internal

#pragma GCC visibility pop
