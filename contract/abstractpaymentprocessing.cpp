#include "contract/abstractpaymentprocessing.h"

// Out of line so that this library holds the one copy of the interface's
// virtual table and type information that the host and the plug-ins share.
AbstractPaymentProcessing::~AbstractPaymentProcessing() = default;
