#pragma once

#include <QList>
#include <QString>
#include <QtGlobal>

struct sqlite3;

namespace vesanu {
namespace journal {

// The payments of this register that went out, or were about to, kept on
// disk so that a crash at any instruction leaves none unaccounted for: an
// entry is written before its request leaves and settled when its course
// ends. SQLite in WAL mode with synchronous=FULL: every write is one commit
// and one fsync of the log, and it survives SIGKILL and a power cut.
// Nothing secret goes in: no token, no key, no signature.
class PaymentJournal
{
public:
    enum class State {
        InFlight, // written before the request left; the outcome is unknown
        VoidPending, // a void is due and the service has not confirmed it
        Paid, // settled as a success: never voided
        Settled, // refused, failed at the service, or never sent
        Voided, // the service confirmed the void
        Abandoned, // still open past its retry age: for manual reconciliation
    };

    struct Entry
    {
        QString transactionId;
        qint64 amount = 0; // hundredths of the currency unit
        int currency = 0;
        qint64 created = 0; // seconds since the epoch
        State state = State::InFlight;
        int attempts = 0; // recovery attempts so far
        qint64 nextAttempt = 0; // seconds since the epoch; 0: at once
    };

    PaymentJournal() = default;
    ~PaymentJournal();
    PaymentJournal(const PaymentJournal &) = delete;
    PaymentJournal &operator=(const PaymentJournal &) = delete;

    // Opens the journal at `path` to write, creating it (not its folder); or,
    // without `create`, only to read it. False with errorString() when it
    // cannot be opened or written.
    bool open(const QString &path, bool create = true);
    bool isOpen() const { return m_db != nullptr; }
    void close();
    QString errorString() const { return m_error; }

    // Each of these is one durable write. `begin` also drops entries in a
    // final state made before `keepSince`, in the same commit.
    bool begin(const Entry &entry, qint64 keepSince);
    bool settle(const QString &transactionId, State state);
    // Leaves the entry open in `state`, one attempt more, until `nextAttempt`.
    bool retryLater(const QString &transactionId, State state, qint64 nextAttempt);

    // The entries still to be settled with the service, oldest first.
    QList<Entry> openEntries() const;
    // False when the journal holds no entry with that identifier.
    bool find(const QString &transactionId, Entry *entry) const;

    static bool isOpenState(State state);
    static const char *stateName(State state);

private:
    bool execute(const char *sql);
    bool fail(const QString &reason);
    bool write(const char *sql, const QString &transactionId, State state, qint64 nextAttempt);
    QList<Entry> select(const char *sql, const QString &transactionId) const;

    sqlite3 *m_db = nullptr;
    // Held while open for writing: one process per journal (see open()).
    int m_lockFd = -1;
    QString m_path;
    QString m_error;
};

} // namespace journal
} // namespace vesanu
