#include "contract/paymentprocessingrequest.h"

#include "contract/recordequality_p.h"

PaymentProcessingRequest::PaymentProcessingRequest()
    : requestType(Unknown)
    , amount(0)
    , sourceAmount(0)
    , cashAdvanceAmount(0)
    , isPartOfPayment(false)
    , shiftNumber(0)
    , checkNumber(0)
    , printWidth(0)
    , paymentMethod(0)
    , valutCode(0)
{
}

// The host's order: the cheap comparisons first, the map last, so that most
// unequal requests are told apart without walking strings or the map.
bool PaymentProcessingRequest::operator==(const PaymentProcessingRequest &other) const
{
    return requestType == other.requestType && amount == other.amount
        && sourceAmount == other.sourceAmount && isPartOfPayment == other.isPartOfPayment
        && shiftNumber == other.shiftNumber && checkNumber == other.checkNumber
        && printWidth == other.printWidth && paymentMethod == other.paymentMethod
        && valutCode == other.valutCode && merchantId == other.merchantId
        && authorizationCode == other.authorizationCode && rrn == other.rrn
        && cardNumber == other.cardNumber && hash == other.hash && cashCode == other.cashCode
        && dateTime == other.dateTime
        && contract::internal::sameEntries(additionalData, other.additionalData);
}
