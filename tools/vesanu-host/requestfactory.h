#pragma once

#include "invocation.h"

#include "contract/paymentprocessingrequest.h"

namespace vesanuhost {

// Fills the request the cash register would send for a command: a payment
// and a cancel are request type 1, a refund type 3; the scanned token
// travels as the card number.
class RequestFactory
{
public:
    static PaymentProcessingRequest create(const Invocation &invocation);
};

} // namespace vesanuhost
