#include "exitcode.h"

#include "hostconstants.h"

#include "contract/paymentprocessinganswer.h"
#include "vesanu/api/constants.h"

namespace vesanuhost {

int exitCodeFor(const PaymentProcessingAnswer &answer, bool voidRefused)
{
    if (answer.isSuccess())
        return ExitSuccess;
    // A wait that ran out: the service may still complete the operation. A
    // paid payment the journal could not record was voided, but the void
    // may not have been taken either.
    const QString key = answer.getMessage().key();
    const bool undecided = key == QLatin1String(vesanu::api::KeyStatusTimeout)
                           || key == QLatin1String(vesanu::api::KeyJournalUnrecorded);
    return undecided || voidRefused ? ExitInDoubt : ExitFailed;
}

} // namespace vesanuhost
