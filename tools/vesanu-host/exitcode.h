#pragma once

class PaymentProcessingAnswer;

namespace vesanuhost {

// The exit code of an operation's answer: success, a plain failure, or a
// failure that may still leave money moved (see ExitInDoubt). Read from the
// answer's own statement of where the money stands ("moneyState"), the one
// the plug-in makes for the host; never from its message or log lines.
int exitCodeFor(const PaymentProcessingAnswer &answer);

} // namespace vesanuhost
