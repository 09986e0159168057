#include "vesanu/api/moneystate.h"

#include "vesanu/api/constants.h"
#include "vesanu/api/course.h"

namespace vesanu {
namespace api {

MoneyState moneyStateOf(const Course &course)
{
    const Course::Ending ending = course.ending();
    switch (course.kind()) {
    case Course::Kind::Payment:
        if (ending == Course::Ending::Reached)
            return MoneyState::Charged;
        if (ending == Course::Ending::Refused || ending == Course::Ending::Failed
            || ending == Course::Ending::NeverSent)
            return MoneyState::NotCharged;
        // Every other ending of a payment went through its void.
        return course.voidConfirmed() ? MoneyState::Voided : MoneyState::InDoubt;
    case Course::Kind::Refund:
        if (ending == Course::Ending::Reached)
            return MoneyState::Refunded;
        // "Not known" to a reversal's first answer is the service's word
        // that there is nothing to reverse; after it named the payment, not.
        if (ending == Course::Ending::Refused || ending == Course::Ending::Failed
            || ending == Course::Ending::NeverSent
            || (ending == Course::Ending::NotFound && !course.acknowledged()))
            return MoneyState::NotRefunded;
        return MoneyState::RefundUndecided;
    case Course::Kind::StatusWait:
        break;
    }
    return MoneyState::None;
}

const char *moneyStateName(MoneyState state)
{
    switch (state) {
    case MoneyState::None:
        break;
    case MoneyState::Charged:
        return MoneyCharged;
    case MoneyState::NotCharged:
        return MoneyNotCharged;
    case MoneyState::Voided:
        return MoneyVoided;
    case MoneyState::InDoubt:
        return MoneyInDoubt;
    case MoneyState::Refunded:
        return MoneyRefunded;
    case MoneyState::AlreadyRefunded:
        return MoneyAlreadyRefunded;
    case MoneyState::NotRefunded:
        return MoneyNotRefunded;
    case MoneyState::RefundUndecided:
        return MoneyRefundUndecided;
    }
    return "";
}

} // namespace api
} // namespace vesanu
