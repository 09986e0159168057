#pragma once

#include <QList>
#include <QString>
#include <QtGlobal>

struct sqlite3;

namespace vesanu {
namespace journal {
class Statement;
}
}

namespace vesanu {
namespace journal {

// The payments of this register that went out, or were about to, kept on
// disk so that a crash at any instruction leaves none unaccounted for: an
// entry is written before its request leaves and settled when its course
// ends. SQLite in WAL mode with synchronous=FULL: every write is one commit
// and one fsync of the log, and it survives SIGKILL and a power cut.
// Nothing secret goes in: no token, no key, no signature.
//
// The file is not trusted: open() refuses a file that is damaged, of a later
// format, not a journal at all, or locked by another process; every read
// error is reported, never taken for "nothing there". What a failed write
// left on disk is unknown: the caller reopens and reads back (Bookkeeper).
class PaymentJournal
{
public:
    enum class State {
        InFlight, // written before the request left; the outcome is unknown
        VoidPending, // a void is due and the service has not confirmed it
        Paid, // settled as a success: never voided
        Settled, // refused, failed at the service, or never sent
        Voided, // the service confirmed the void
        Abandoned, // given up after its retry age: a person must reconcile it
        Resolved, // a person reconciled an abandoned entry
    };

    enum class Access {
        Write, // the register's: created when missing, locked to this process
        Read, // a reader's (vesanu-host journal): nothing is created or written
    };

    // Which entries select() returns, oldest first.
    enum class Selection {
        Due, // recovery's: every entry not in a final state (an unknown state is open)
        NeedsPerson, // Abandoned
        All,
    };

    struct Entry
    {
        QString transactionId;
        qint64 amount = 0; // hundredths of the currency unit
        int currency = 0;
        qint64 created = 0; // seconds since the epoch
        State state = State::InFlight;
        // The state as the file holds it: differs from stateName(state) only
        // for a state this build does not know (read as InFlight). Written
        // back as it is while state stays InFlight; otherwise ignored, and
        // stateName(state) written.
        QString stateText;
        int attempts = 0; // recovery attempts so far
        qint64 nextAttempt = 0; // seconds since the epoch; 0: at once
        // The service answered about this payment at least once, so a later
        // "not known" proves nothing.
        bool acknowledged = false;
        int questions = 0; // status questions sent by recovery
        int voids = 0; // voids sent, by the course or recovery
        QString reason; // the last thing that went wrong, for people
        // The host's references of the sale, so that support finds a payment by its receipt.
        int shiftNumber = 0;
        int checkNumber = 0;
        QString documentId;
    };

    // A refund or cancel of a payment, kept for support: what was asked and
    // how it ended. Recovery never touches refunds: the service reverses a
    // payment once, and asking again is safe.
    enum class RefundState {
        Sent, // written before the reversal left; the outcome is unknown
        Refunded, // the service reversed the payment
        Refused, // the service refused the reversal, or it never left
        Undecided, // no final answer
    };

    struct Refund
    {
        qint64 id = 0; // the journal's own number, made by insertRefund()
        QString transactionId; // the payment's
        qint64 amount = 0;
        qint64 created = 0;
        RefundState state = RefundState::Sent;
        int shiftNumber = 0;
        int checkNumber = 0;
        QString documentId;
        QString reason;
    };

    PaymentJournal() = default;
    ~PaymentJournal();
    PaymentJournal(const PaymentJournal &) = delete;
    PaymentJournal &operator=(const PaymentJournal &) = delete;

    // Opens the journal at `path`. False with errorString() when the file
    // cannot be opened, locked, checked (PRAGMA quick_check) or read, is of
    // a later format, or is not a journal (the rules: journalfile.h). A
    // writer makes a missing journal (never its folder) and migrates an
    // older one; a reader never writes and takes no lock. In one process,
    // one writer of a file at a time: a second is refused by the lock, and
    // closing its descriptor of the file drops the process's POSIX locks on
    // it, SQLite's of the first included. A reader keeps no descriptor.
    bool open(const QString &path, Access access = Access::Write);
    bool isOpen() const { return m_db != nullptr; }
    void close();
    QString path() const { return m_path; }
    QString errorString() const { return m_error; }

    // The file open here is still the one at path(): not removed, moved or
    // replaced since open(). False with errorString() otherwise.
    bool isAtPath();

    // Each write is one durable commit; false with errorString() when it
    // failed, in which case what the file holds is unknown.
    bool insert(const Entry &entry);
    // Writes every field of the entry with this transaction identifier but
    // its identifier, amount, currency and creation time. Idempotent; false
    // when the journal holds no such entry.
    bool update(const Entry &entry);
    // Deletes at most `atMost` entries in a deletable final state (Paid,
    // Settled, Voided) created before `keepSince`; Abandoned and Resolved
    // entries, and every state this build does not know, are kept.
    bool prune(qint64 keepSince, int atMost);

    // The refund's id is set. Both false with errorString() when they failed.
    bool insertRefund(Refund *refund);
    bool updateRefund(const Refund &refund);
    // The refunds of one payment, or with a null id every refund, oldest first.
    bool refunds(const QString &transactionId, QList<Refund> *refunds);

    // False with errorString() on any read error.
    bool select(Selection selection, QList<Entry> *entries);
    // False with errorString() on a read error; *found tells whether it is there.
    bool find(const QString &transactionId, Entry *entry, bool *found);

    static bool isFinal(State state);
    static const char *stateName(State state);
    static const char *refundStateName(RefundState state);

private:
    bool fail(const QString &reason);
    bool refuse(const QString &reason);
    bool openToWrite(const QByteArray &name);
    bool openToRead(const QByteArray &name);
    bool sameFile();
    bool read(const QByteArray &sql, const QString &transactionId, QList<Entry> *entries);
    // The steps every statement goes through, each false with errorString().
    bool prepared(const Statement &statement);
    bool done(Statement &statement);
    bool changedOne(const QString &what);

    sqlite3 *m_db = nullptr;
    // The journal file itself, open and locked for as long as it is open to
    // write: the lock follows the file whatever path reached it. A reader
    // keeps none (see open()).
    int m_fileFd = -1;
    // The file open here (st_dev, st_ino), for isAtPath().
    quint64 m_device = 0;
    quint64 m_inode = 0;
    qint64 m_size = 0; // the file's size when last looked at: it never shrinks
    bool m_logKnown = false; // the "-wal" file was there at open
    quint64 m_logDevice = 0;
    quint64 m_logInode = 0;
    int m_version = 0; // the file's format, JournalFile::Version or 1 (read only)
    QString m_path;
    QString m_error;
};

} // namespace journal
} // namespace vesanu
