#pragma once

#include "vesanu/journal/journalrecovery.h"
#include "vesanu/journal/paymentjournal.h"

#include <QHash>
#include <QString>

#include <functional>

namespace Log4Qt {
class Logger;
}

namespace vesanu {
namespace journal {

// The one a payment talks to about the journal. It keeps the journal's file
// honest: a payment leaves only while the file open here is the one at its
// path, every decision written is confirmed by the file, and what a crash or
// a refused void left open has been settled as far as its bound allows.
// After any failed write it reopens the file, writes the decision again and
// reads it back; until the file agrees, no payment leaves.
class Bookkeeper
{
public:
    struct Settings
    {
        QString path;
        qint64 retrySeconds; // an open entry is given up after this age
        qint64 keepSeconds; // a settled entry is kept this long
    };

    // How a payment's course ended, as the journal keeps it.
    enum class Ending {
        NeverSent, // it provably never left
        NotTaken, // the service refused or failed it
        Paid, // a success the host is told of: never voided
        Voided, // in doubt, and the service confirmed the void
        VoidPending, // in doubt, and the void is not confirmed: voided again later
    };

    // What the course learnt of the service on the way.
    struct Facts
    {
        bool acknowledged = false; // the service answered about the payment
        int voids = 0; // voids sent
    };

    // The host's references of the sale: support finds a payment by its receipt.
    struct References
    {
        int shiftNumber = 0;
        int checkNumber = 0;
        QString documentId;
    };

    // The wall clock in seconds since the epoch, handed in.
    using WallClock = std::function<qint64()>;

    Bookkeeper(Log4Qt::Logger *logger, JournalRecovery::Exchange askStatus,
               JournalRecovery::Exchange voidPayment, WallClock wallClock);

    void configure(const Settings &settings);

    // At the host's start: the journal opened afresh, old entries pruned,
    // and every open entry due at once, within `exchanges`.
    void start(int exchanges);
    // Before a payment leaves: true when the journal can account for it.
    // Settles due entries first, within `exchanges`. The reason is logged.
    bool prepare(int exchanges);
    // The entry written before the request leaves.
    bool begin(const QString &transactionId, qint64 amount, int currency,
               const References &references);
    // The service answered about a payment still under way.
    void acknowledge(const QString &transactionId);
    // The course's end, recorded before the host is told. False when the
    // file could not be made to agree: the decision is kept and written
    // again before the next payment, which waits for it.
    bool record(const QString &transactionId, Ending ending, const Facts &facts);

    // A refund of part of a payment this register took and recorded as paid.
    bool isPartialRefund(const QString &transactionId, qint64 amount);

    // A refund or cancel about to leave, kept for support; its number, or 0
    // when the journal cannot keep it (the refund goes on: the service
    // reverses a payment once, so nothing is at stake but the record).
    // *before: an earlier refund of this payment was confirmed.
    qint64 beginRefund(const QString &transactionId, qint64 amount, const References &references,
                       bool *before);
    void endRefund(qint64 refund, PaymentJournal::RefundState state);

private:
    bool trusted();
    bool followsPath();
    bool write(const PaymentJournal::Entry &entry);
    bool confirmAll();
    bool confirm(const PaymentJournal::Entry &decided);
    bool recover(int exchanges, bool honourBackOff);
    void pruneNow(int atMost);
    bool distrust(const QString &reason);
    bool lost(const QString &reason);

    Log4Qt::Logger *m_logger;
    JournalRecovery::Exchange m_askStatus;
    JournalRecovery::Exchange m_void;
    WallClock m_wallClock;
    Settings m_settings;
    PaymentJournal m_store;
    // Decisions the file has not confirmed yet, by transaction identifier.
    QHash<QString, PaymentJournal::Entry> m_unconfirmed;
    // The entry of the payment under way, as decided so far.
    PaymentJournal::Entry m_current;
    qint64 m_lastPrune = 0;
};

} // namespace journal
} // namespace vesanu
