#pragma once

#include "vesanu/api/outcome.h"
#include "vesanu/journal/paymentjournal.h"

#include <QList>
#include <QString>
#include <QtGlobal>

#include <functional>

namespace Log4Qt {
class Logger;
}

namespace vesanu {
namespace journal {

// Settles the journal's open entries with the service after a crash or an
// unconfirmed void: asks a payment in flight for its status, closes it when
// the service says it is reversed, and voids it otherwise, until the void is
// confirmed by the same reading of a void as a payment's course. A payment
// settled as a success is never open, so never voided. An entry is given up
// for a person only after its retry age and at least one status question
// and one void; it is never deleted then.
class JournalRecovery
{
public:
    struct Reply
    {
        api::Outcome outcome;
        int status;
        QString reason; // what the answer was, for the entry's last reason
    };
    // One exchange about a transaction: its status question, or its void.
    using Exchange = std::function<Reply(const QString &transactionId)>;
    // Writes an entry's new state; false when the journal could not confirm it.
    using Write = std::function<bool(const PaymentJournal::Entry &entry)>;

    struct Limits
    {
        int exchanges; // at most this many exchanges in one run
        qint64 retrySeconds; // past this age an entry may be given up
        bool honourBackOff; // false at start: every open entry is due
    };

    JournalRecovery(Log4Qt::Logger *logger, Exchange askStatus, Exchange voidPayment, Write write);

    // One run over the due entries, oldest first, at wall-clock time `now`
    // (seconds since the epoch). False when a write failed: the run stopped there.
    bool run(const QList<PaymentJournal::Entry> &due, const Limits &limits, qint64 now);

    // The pause before the next attempt after `attempts` failed ones: one
    // minute, doubling up to an hour.
    static qint64 backOffSeconds(int attempts);
    // Leaves the entry open in `state`, one attempt more, due after its back-off.
    static void retryLater(PaymentJournal::Entry *entry, PaymentJournal::State state, qint64 now,
                           const QString &reason);

private:
    // Returns the exchanges spent on the entry; *written is false when its write failed.
    int settle(PaymentJournal::Entry entry, int budget, const Limits &limits, qint64 now,
               bool *written);

    Log4Qt::Logger *m_logger;
    Exchange m_askStatus;
    Exchange m_void;
    Write m_write;
};

} // namespace journal
} // namespace vesanu
