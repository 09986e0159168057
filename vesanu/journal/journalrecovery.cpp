#include "vesanu/api/hostheaders.h"

#include "vesanu/journal/journalrecovery.h"

#include "vesanu/api/course.h"
#include "vesanu/journal/journalconstants.h"

#include <algorithm>

namespace vesanu {
namespace journal {

using api::Course;
using api::Outcome;
using State = PaymentJournal::State;

namespace {

constexpr qint64 kFirstBackOffSeconds = 60;
constexpr qint64 kLongestBackOffSeconds = 3600;
// Age alone gives up nothing: the wall clock may have jumped, and the
// service may have refused the void for that very reason. This many failed
// attempts, an hour apart at most, take about a day of the register's time.
constexpr int kAttemptsBeforeGivingUp = 24;

QString text(const char *utf8)
{
    return QString::fromUtf8(utf8);
}

QString noted(const char *note, const QString &reason)
{
    return reason.isEmpty() ? text(note) : text(note) + QLatin1String(": ") + reason;
}

} // namespace

JournalRecovery::JournalRecovery(Log4Qt::Logger *logger, Exchange askStatus, Exchange voidPayment,
                                 Write write)
    : m_logger(logger)
    , m_askStatus(std::move(askStatus))
    , m_void(std::move(voidPayment))
    , m_write(std::move(write))
{
}

bool JournalRecovery::run(const QList<PaymentJournal::Entry> &due, const Limits &limits,
                          qint64 now)
{
    int budget = limits.exchanges;
    for (const PaymentJournal::Entry &entry : due) {
        // Only what the file itself holds as open: a damaged index may name
        // a settled entry, and a paid one must never be voided.
        if (PaymentJournal::isFinal(entry.state))
            continue;
        // A back-off written while the clock was far ahead is over.
        const bool backingOff =
            entry.nextAttempt > now && entry.nextAttempt <= now + kLongestBackOffSeconds;
        if (limits.honourBackOff && backingOff)
            continue;
        if (budget <= 0)
            return true;
        bool written = true;
        budget -= settle(entry, budget, limits, now, &written);
        if (!written)
            return false;
    }
    return true;
}

// An entry in flight is asked about first: only Reversed closes it. Failed
// does not: a service that refused a void (one the register may have sent
// just before it died) reads Failed while it keeps the money. Paid, pending,
// Failed, not known or no readable answer: void. An entry whose void is
// pending is voided again at once, and asked about once before it may be
// given up, which takes its retry age and a day's worth of attempts. Every answer about the payment counts as acknowledged for the
// reading of the void.
int JournalRecovery::settle(PaymentJournal::Entry entry, int budget, const Limits &limits,
                            qint64 now, bool *written)
{
    const QString &id = entry.transactionId;
    const bool pastRetryAge = now - entry.created > limits.retrySeconds;
    int spent = 0;
    if (entry.state == State::InFlight || (pastRetryAge && entry.questions == 0)) {
        m_logger->info(LogRecoveryAsk, id);
        const Reply status = m_askStatus(id);
        ++spent;
        ++entry.questions;
        if (Course::acknowledges(status.outcome, status.status))
            entry.acknowledged = true;
        if (status.outcome == Outcome::Answered && status.status == api::StatusReversed) {
            m_logger->info(LogRecoveryVoided, id);
            entry.state = State::Voided;
            *written = m_write(entry);
            return spent;
        }
        if (status.outcome == Outcome::NeverSent) {
            // The service cannot be reached: a void could not reach it either.
            m_logger->error(LogRecoveryUnreachable, id);
            retryLater(&entry, entry.state, now, noted(NoteUnreachable, status.reason));
            *written = m_write(entry);
            return spent;
        }
        // The void waits for the next run; what was learnt is kept.
        if (budget < 2) {
            *written = m_write(entry);
            return spent;
        }
    }
    const Reply voided = m_void(id);
    ++spent;
    ++entry.voids;
    if (Course::confirmsVoid(voided.outcome, voided.status, entry.acknowledged)) {
        m_logger->info(voided.outcome == Outcome::Refused ? LogRecoveryClosed : LogRecoveryVoided,
                       id);
        entry.state = voided.outcome == Outcome::Refused ? State::Settled : State::Voided;
    } else if (pastRetryAge && entry.questions > 0 && entry.attempts >= kAttemptsBeforeGivingUp) {
        // Past its age the service may no longer know it: only people can settle it now.
        m_logger->error(LogRecoveryAbandoned, id);
        entry.state = State::Abandoned;
        entry.reason = noted(NoteGivenUp, voided.reason);
    } else {
        m_logger->error(LogRecoveryVoidRefused, id);
        retryLater(&entry, State::VoidPending, now, noted(NoteVoidUnconfirmed, voided.reason));
    }
    if (Course::acknowledges(voided.outcome, voided.status))
        entry.acknowledged = true;
    *written = m_write(entry);
    return spent;
}

void JournalRecovery::retryLater(PaymentJournal::Entry *entry, State state, qint64 now,
                                 const QString &reason)
{
    entry->state = state;
    ++entry->attempts;
    entry->nextAttempt = now + backOffSeconds(entry->attempts);
    entry->reason = reason;
}

qint64 JournalRecovery::backOffSeconds(int attempts)
{
    qint64 seconds = kFirstBackOffSeconds;
    for (int i = 1; i < attempts && seconds < kLongestBackOffSeconds; ++i)
        seconds *= 2;
    return std::min(seconds, kLongestBackOffSeconds);
}

} // namespace journal
} // namespace vesanu
