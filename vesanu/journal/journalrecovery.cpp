#include "vesanu/api/hostheaders.h"

#include "vesanu/api/constants.h"
#include "vesanu/journal/journalrecovery.h"

#include "vesanu/api/course.h"

#include <algorithm>

namespace vesanu {
namespace journal {

using namespace api;

namespace {

constexpr qint64 kFirstBackOffSeconds = 60;
constexpr qint64 kLongestBackOffSeconds = 3600;

// Only Reversed closes an entry on a status question. Failed does not: a
// service that refused a void (one the register may have sent just before it
// died) reads Failed while it keeps the money. A payment that really failed
// answers its void with a refusal naming Failed, and is closed then.
bool isReversed(const JournalRecovery::Reply &reply)
{
    return reply.outcome == Outcome::Answered && reply.status == Course::StatusReversed;
}

} // namespace

bool JournalRecovery::confirmsVoid(const Reply &reply)
{
    return Course::confirmsVoid(reply.outcome, reply.status);
}

JournalRecovery::JournalRecovery(PaymentJournal &journal, Log4Qt::Logger *logger,
                                 Exchange askStatus, Exchange voidPayment)
    : m_journal(journal)
    , m_logger(logger)
    , m_askStatus(std::move(askStatus))
    , m_void(std::move(voidPayment))
{
}

void JournalRecovery::run(const Limits &limits, qint64 now)
{
    int budget = limits.exchanges;
    for (const PaymentJournal::Entry &entry : m_journal.openEntries()) {
        if (now - entry.created > limits.retrySeconds) {
            // Past its age the service may no longer know it: only people can settle it now.
            m_logger->error(LogRecoveryAbandoned, entry.transactionId);
            m_journal.settle(entry.transactionId, PaymentJournal::State::Abandoned);
            continue;
        }
        if (limits.honourBackOff && entry.nextAttempt > now)
            continue;
        if (budget <= 0)
            return;
        budget -= settle(entry, budget, now);
    }
}

// An entry in flight is asked about first. Paid, pending, Failed or no
// readable answer: void. Reversed: close. An answer that the service does
// not know the payment is voided too: the void costs one request and is
// confirmed by the same answer. An entry whose void is pending is voided
// again at once: a service that refused a void reports the payment Failed
// while it keeps it, so neither that status nor a void answered Failed
// closes it.
int JournalRecovery::settle(const PaymentJournal::Entry &entry, int budget, qint64 now)
{
    int spent = 0;
    if (entry.state == PaymentJournal::State::InFlight) {
        m_logger->info(LogRecoveryAsk, entry.transactionId);
        const Reply status = m_askStatus(entry.transactionId);
        spent = 1;
        if (isReversed(status)) {
            m_logger->info(LogRecoveryClosed, entry.transactionId);
            m_journal.settle(entry.transactionId, PaymentJournal::State::Settled);
            return spent;
        }
        if (status.outcome == Outcome::NeverSent) {
            // The service cannot be reached: a void could not reach it either.
            m_logger->error(LogRecoveryUnreachable, entry.transactionId);
            retryLater(entry, entry.state, now);
            return spent;
        }
        // The void waits for the next run; the entry stays due.
        if (budget < 2)
            return spent;
    }
    const Reply voided = m_void(entry.transactionId);
    if (confirmsVoid(voided)) {
        m_logger->info(LogRecoveryVoided, entry.transactionId);
        m_journal.settle(entry.transactionId, PaymentJournal::State::Voided);
    } else if (voided.outcome == Outcome::Refused && voided.status == Course::StatusFailed) {
        // The service will not cancel what it failed itself.
        m_logger->info(LogRecoveryClosed, entry.transactionId);
        m_journal.settle(entry.transactionId, PaymentJournal::State::Settled);
    } else {
        m_logger->error(LogRecoveryVoidRefused, entry.transactionId);
        retryLater(entry, PaymentJournal::State::VoidPending, now);
    }
    return spent + 1;
}

void JournalRecovery::retryLater(const PaymentJournal::Entry &entry, PaymentJournal::State state,
                                 qint64 now)
{
    m_journal.retryLater(entry.transactionId, state, now + backOffSeconds(entry.attempts + 1));
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
