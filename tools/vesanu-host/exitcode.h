#pragma once

class PaymentProcessingAnswer;

namespace vesanuhost {

// The exit code of an operation's answer: success, a plain failure, or a
// failure that may still leave money moved (see ExitInDoubt). The one place
// that judges it, so that it can read the answer's own statement of where
// the money stands once answers carry one. Until then: the answer's message
// key, and whether the plug-in logged that the service did not take its void.
int exitCodeFor(const PaymentProcessingAnswer &answer, bool voidRefused);

} // namespace vesanuhost
