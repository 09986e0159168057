#include "contract/paymentprocessinganswer.h"

#include "contract/recordequality_p.h"

PaymentProcessingAnswer::PaymentProcessingAnswer()
    : code(0)
    , status(Error)
    , terminalNumber(0)
    , sum(0.0)
    , balance(0.0)
    , cardMark(CardMarkNone)
    , paymentMethod(PaymentMethodUnknown)
{
}

// QList's operator gives the host's rule for the lists: shared data is equal
// at once, otherwise pairwise in order. Plain double equality makes a NaN
// equal to nothing.
bool PaymentProcessingAnswer::operator==(const PaymentProcessingAnswer &other) const
{
    return code == other.code && message == other.message && status == other.status
        && printImages == other.printImages && terminalNumber == other.terminalNumber
        && cardType == other.cardType && cardNumber == other.cardNumber
        && authorizationCode == other.authorizationCode && RRN == other.RRN && sum == other.sum
        && posName == other.posName && balance == other.balance
        && discCardNumber == other.discCardNumber && loyaltyCards == other.loyaltyCards
        && hashedCardNumber == other.hashedCardNumber && cardMark == other.cardMark
        && paymentMethod == other.paymentMethod
        && contract::internal::sameEntries(additionalInfo, other.additionalInfo)
        && additionalData == other.additionalData;
}
