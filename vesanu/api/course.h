#pragma once

#include "vesanu/api/constants.h"
#include "vesanu/api/outcome.h"

#include <chrono>

namespace vesanu {
namespace api {

// The course of one payment, refund or status wait, from its first answer to
// its end: which exchange comes next, when, and how it ended. It sees only
// outcomes, statuses and the time it is told, so every way through it can be
// driven without a network or a clock.
//
// The rule: a payment that ends in anything but a successful answer at its
// target is voided, unless the service itself refused it (Refused, or Failed
// as the service's last word about it) or it provably never left (NeverSent).
// Refunds and plain status waits are never voided.
class Course
{
public:
    using TimePoint = std::chrono::steady_clock::time_point;
    using Duration = std::chrono::milliseconds;

    enum class Kind {
        Payment, // voided when it ends in doubt
        Refund, // an undecided refund is reported as a failure
        StatusWait, // the status questions alone
    };

    enum class State {
        Opening, // the first answer (of the payment or reversal request) is due
        Asking, // a status answer is due
        Pausing, // sleeping until the next status question
        Voiding, // the void's answer is due
        Done,
    };

    enum class Ending {
        Open, // not ended yet
        Reached, // the service reports the target status
        Refused, // the service refused the request itself
        Failed, // the service's last word is its status Failed
        NeverSent, // the request provably never left
        NotFound, // the service does not know the transaction
        TimedOut, // payDuration passed with the status short of its target
        Unanswered, // payDuration passed and the last status question got no readable answer
        Interrupted, // the cashier stopped the payment's wait
    };

    enum class Action {
        AskStatus, // send a status question now
        SleepUntil, // sleep until `until`, then call woke()
        Void, // send the reversal that voids the payment
        Finish, // the course is over: see ending()
    };

    struct Step
    {
        Action action;
        TimePoint until = {};
    };

    // `target` is the status that ends the course well (Paid or Reversed).
    Course(Kind kind, int target, Duration payDuration, Duration interval);

    // A status wait with no first answer: the first question goes out at once.
    Step begin(TimePoint now);
    // The answer to the last request: the first one, a status question sent
    // at `sentAt`, or the void.
    Step answered(Outcome outcome, int status, TimePoint sentAt, TimePoint now);
    // The sleep of SleepUntil is over.
    Step woke(TimePoint now);
    // The cashier interrupted the wait; only while interruptible().
    Step interrupted();

    // A payment waiting for its status: an interrupt ends it (with a void).
    bool interruptible() const;

    Kind kind() const { return m_kind; }
    int target() const { return m_target; }
    State state() const { return m_state; }
    Ending ending() const { return m_ending; }
    // The void's answer says the payment is cancelled or was never taken.
    bool voidConfirmed() const { return m_voidConfirmed; }
    // The service answered about the operation at least once: a later "not
    // known" does not mean it never arrived.
    bool acknowledged() const { return m_acknowledged; }
    // The void was sent (and answered, or not).
    bool voided() const { return m_voided; }

    // The one reading of a void's answer, for every place that voids (the
    // course, the journal's recovery): the void is done when the service
    // says the payment is reversed, refuses to reverse it because it failed
    // (its refusal naming Failed), or does not know a payment it never
    // acknowledged. "Not known" after the service named the payment proves
    // nothing, and an answered Failed is the reversal's failure: the payment
    // stays as it was. `acknowledged` is kept by the journal, so that a
    // restart reads the void the same way.
    static bool confirmsVoid(Outcome outcome, int status, bool acknowledged)
    {
        return (outcome == Outcome::Answered && status == StatusReversed)
               || (outcome == Outcome::Refused && status == StatusFailed)
               || (outcome == Outcome::NotFound && !acknowledged);
    }

    // An answer that says something about the payment: a readable one, or
    // one that cannot be read as the service's word yet names its status.
    static bool acknowledges(Outcome outcome, int status)
    {
        return outcome == Outcome::Answered || (outcome == Outcome::Unreadable && status != 0);
    }

private:
    Step opened(Outcome outcome, int status, TimePoint now);
    Step statusAnswered(Outcome outcome, int status, TimePoint sentAt, TimePoint now);
    Step voidAnswered(Outcome outcome, int status);
    Step startWait(TimePoint now);
    Step end(Ending ending);
    Step finish(Ending ending);

    Kind m_kind;
    int m_target;
    Duration m_payDuration;
    Duration m_interval;
    State m_state;
    Ending m_ending = Ending::Open;
    bool m_voidConfirmed = false;
    bool m_acknowledged = false;
    bool m_voided = false;
    // When the status wait began.
    TimePoint m_start = {};
};

} // namespace api
} // namespace vesanu
