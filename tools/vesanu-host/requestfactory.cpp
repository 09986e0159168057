#include "requestfactory.h"

namespace vesanuhost {

PaymentProcessingRequest RequestFactory::create(const Invocation &invocation)
{
    PaymentProcessingRequest request;
    const bool refund = invocation.command == Invocation::Command::Refund;
    request.setRequestType(refund ? PaymentProcessingRequest::Refund : PaymentProcessingRequest::Payment);
    request.setValutCode(invocation.currency);
    request.setAmount(invocation.amount);
    request.setCardNumber(invocation.token);
    request.setRrn(invocation.rrn);
    return request;
}

} // namespace vesanuhost
