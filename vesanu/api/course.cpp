#include "vesanu/api/course.h"

#include <algorithm>

namespace vesanu {
namespace api {

Course::Course(Kind kind, int target, Duration payDuration, Duration interval)
    : m_kind(kind)
    , m_target(target)
    , m_payDuration(payDuration)
    , m_interval(interval)
    , m_state(State::Opening)
{
}

Course::Step Course::begin(TimePoint now)
{
    return startWait(now);
}

Course::Step Course::answered(Outcome outcome, int status, TimePoint sentAt, TimePoint now)
{
    if (acknowledges(outcome, status) && m_state != State::Voiding)
        m_acknowledged = true;
    switch (m_state) {
    case State::Opening:
        return opened(outcome, status, now);
    case State::Asking:
        return statusAnswered(outcome, status, sentAt, now);
    case State::Voiding:
        return voidAnswered(outcome, status);
    case State::Pausing:
    case State::Done:
        break;
    }
    return {Action::Finish};
}

Course::Step Course::woke(TimePoint)
{
    if (m_state != State::Pausing)
        return {Action::Finish};
    m_state = State::Asking;
    return {Action::AskStatus};
}

Course::Step Course::interrupted()
{
    if (!interruptible())
        return {Action::Finish};
    return end(Ending::Interrupted);
}

bool Course::interruptible() const
{
    return m_kind == Kind::Payment && (m_state == State::Asking || m_state == State::Pausing);
}

// The first answer: final only when it reaches the target or is definite.
// Anything else, a Failed status included, goes into the status wait.
Course::Step Course::opened(Outcome outcome, int status, TimePoint now)
{
    if (outcome == Outcome::Answered && status == m_target)
        return finish(Ending::Reached);
    if (outcome == Outcome::Refused)
        return finish(Ending::Refused);
    if (outcome == Outcome::NeverSent)
        return finish(Ending::NeverSent);
    // A refund of a transaction the service does not know has nothing to wait for.
    if (outcome == Outcome::NotFound && m_kind != Kind::Payment)
        return finish(Ending::NotFound);
    return startWait(now);
}

// Only a readable answer can be final. Anything unreadable, unanswered or
// refused keeps the wait going while payDuration lasts; the last question
// goes out at the deadline at the latest.
Course::Step Course::statusAnswered(Outcome outcome, int status, TimePoint sentAt, TimePoint now)
{
    if (outcome == Outcome::Answered && status == m_target)
        return finish(Ending::Reached);
    if (outcome == Outcome::Answered && status == StatusFailed)
        return finish(Ending::Failed);
    // The cashier need not wait for a transaction the service does not know;
    // a payment is still voided, in case its request arrives after the question.
    if (outcome == Outcome::NotFound)
        return end(Ending::NotFound);
    if (now - m_start >= m_payDuration)
        return end(outcome == Outcome::Answered ? Ending::TimedOut : Ending::Unanswered);

    const TimePoint due = std::min(sentAt + m_interval, m_start + m_payDuration);
    if (due <= now) {
        m_state = State::Asking;
        return {Action::AskStatus};
    }
    m_state = State::Pausing;
    return {Action::SleepUntil, due};
}

Course::Step Course::voidAnswered(Outcome outcome, int status)
{
    m_voidConfirmed = confirmsVoid(outcome, status, m_acknowledged);
    m_voided = true;
    // An answer to the void names the payment too, for whoever voids it next.
    if (acknowledges(outcome, status))
        m_acknowledged = true;
    m_state = State::Done;
    return {Action::Finish};
}

Course::Step Course::startWait(TimePoint now)
{
    m_start = now;
    m_state = State::Asking;
    return {Action::AskStatus};
}

// Ends short of the target: a payment is voided first.
Course::Step Course::end(Ending ending)
{
    if (m_kind != Kind::Payment)
        return finish(ending);
    m_ending = ending;
    m_state = State::Voiding;
    return {Action::Void};
}

Course::Step Course::finish(Ending ending)
{
    m_ending = ending;
    m_state = State::Done;
    return {Action::Finish};
}

} // namespace api
} // namespace vesanu
