#include "exitcode.h"

#include "hostconstants.h"

#include "contract/paymentprocessinganswer.h"
#include "vesanu/api/constants.h"
#include "vesanu/constants.h"

namespace vesanuhost {

int exitCodeFor(const PaymentProcessingAnswer &answer)
{
    if (answer.isSuccess())
        return ExitSuccess;
    // Not voided yet, or no final word on a refund: the service's books decide.
    const QString money = answer.getAdditionalInfo().value(QLatin1String(vesanu::constants::InfoMoneyState)).toString();
    const bool undecided = money == QLatin1String(vesanu::api::MoneyInDoubt)
                           || money == QLatin1String(vesanu::api::MoneyRefundUndecided);
    return undecided ? ExitInDoubt : ExitFailed;
}

} // namespace vesanuhost
