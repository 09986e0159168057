#pragma once

#include "vesanu/api/outcome.h"
#include "vesanu/journal/paymentjournal.h"

#include <QtGlobal>

#include <functional>

namespace Log4Qt {
class Logger;
}

namespace vesanu {
namespace journal {

using api::Outcome;

// Settles the journal's open entries with the service after a crash or an
// unconfirmed void: asks each payment's status, closes it when the service's
// word is final (Failed, Reversed) and voids it otherwise, until the void is
// confirmed. A payment settled as a success is never open, so never voided.
class JournalRecovery
{
public:
    struct Reply
    {
        Outcome outcome;
        int status;
    };
    // One exchange about a transaction: its status question, or its void.
    using Exchange = std::function<Reply(const QString &transactionId)>;

    struct Limits
    {
        int exchanges; // at most this many exchanges in one run
        qint64 retrySeconds; // an entry older than this is given up
        bool honourBackOff; // false at start: every open entry is due
    };

    JournalRecovery(PaymentJournal &journal, Log4Qt::Logger *logger, Exchange askStatus,
                    Exchange voidPayment);

    // One run at wall-clock time `now` (seconds since the epoch).
    void run(const Limits &limits, qint64 now);

    // The void's answer says the payment is cancelled or was never taken:
    // Reversed, or not known at all.
    static bool confirmsVoid(const Reply &reply);
    // The pause before the next attempt after `attempts` failed ones: one
    // minute, doubling up to an hour.
    static qint64 backOffSeconds(int attempts);

private:
    // Returns the exchanges spent on the entry.
    int settle(const PaymentJournal::Entry &entry, int budget, qint64 now);
    void retryLater(const PaymentJournal::Entry &entry, PaymentJournal::State state, qint64 now);

    PaymentJournal &m_journal;
    Log4Qt::Logger *m_logger;
    Exchange m_askStatus;
    Exchange m_void;
};

} // namespace journal
} // namespace vesanu
