#include "contract/abstractpaymentprocessing.h"

// Out of line so that the interface's virtual table and type information
// are emitted here, once in each library that carries the contract.
AbstractPaymentProcessing::~AbstractPaymentProcessing() = default;
