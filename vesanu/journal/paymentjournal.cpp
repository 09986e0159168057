#include "vesanu/journal/paymentjournal.h"

#include <QFile>
#include <QFileInfo>

#include <sqlite3.h>

#include <cerrno>
#include <cstring>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace vesanu {
namespace journal {

namespace {

// The journal's format; "state" holds stateName(). Times are seconds since the epoch.
const char kSchema[] = "CREATE TABLE IF NOT EXISTS payments ("
                       " transaction_id TEXT PRIMARY KEY,"
                       " amount INTEGER NOT NULL,"
                       " currency INTEGER NOT NULL,"
                       " created INTEGER NOT NULL,"
                       " state TEXT NOT NULL,"
                       " attempts INTEGER NOT NULL DEFAULT 0,"
                       " next_attempt INTEGER NOT NULL DEFAULT 0)";
// The format's version; a later format tells an older file by it.
const char kVersion[] = "PRAGMA user_version = 1";
const char kColumns[] = "SELECT transaction_id, amount, currency, created, state, attempts,"
                        " next_attempt FROM payments ";
const char kInsert[] = "INSERT INTO payments (transaction_id, amount, currency, created, state)"
                       " VALUES (?1, ?2, ?3, ?4, ?5)";
const char kPrune[] = "DELETE FROM payments WHERE created < ?1"
                      " AND state NOT IN ('in-flight', 'void-pending')";
const char kSettle[] = "UPDATE payments SET state = ?2 WHERE transaction_id = ?1";
const char kRetry[] = "UPDATE payments SET state = ?2, attempts = attempts + 1, next_attempt = ?3"
                      " WHERE transaction_id = ?1";

const struct
{
    PaymentJournal::State state;
    const char *name;
} kStateNames[] = {
    {PaymentJournal::State::InFlight, "in-flight"},
    {PaymentJournal::State::VoidPending, "void-pending"},
    {PaymentJournal::State::Paid, "paid"},
    {PaymentJournal::State::Settled, "settled"},
    {PaymentJournal::State::Voided, "voided"},
    {PaymentJournal::State::Abandoned, "abandoned"},
};

PaymentJournal::State stateByName(const char *name)
{
    for (const auto &entry : kStateNames) {
        if (name && qstrcmp(name, entry.name) == 0)
            return entry.state;
    }
    // A state this build does not know is kept open: better asked about than lost.
    return PaymentJournal::State::InFlight;
}

// One prepared statement, finalized when it goes.
class Statement
{
public:
    Statement(sqlite3 *db, const char *sql) { sqlite3_prepare_v2(db, sql, -1, &m_statement, nullptr); }
    ~Statement() { sqlite3_finalize(m_statement); }
    Statement(const Statement &) = delete;
    Statement &operator=(const Statement &) = delete;

    bool isValid() const { return m_statement != nullptr; }
    void bind(int index, const QString &text)
    {
        const QByteArray utf8 = text.toUtf8();
        sqlite3_bind_text(m_statement, index, utf8.constData(), utf8.size(), SQLITE_TRANSIENT);
    }
    void bind(int index, qint64 number) { sqlite3_bind_int64(m_statement, index, number); }
    int step() { return sqlite3_step(m_statement); }
    qint64 number(int column) const { return sqlite3_column_int64(m_statement, column); }
    const char *text(int column) const
    {
        return reinterpret_cast<const char *>(sqlite3_column_text(m_statement, column));
    }

private:
    sqlite3_stmt *m_statement = nullptr;
};

// The folder's entry for a new file must reach the disk too, or a power cut
// can take the file with it; SQLite syncs the files, not their folder.
void syncFolder(const QString &file)
{
    const int fd = ::open(QFile::encodeName(QFileInfo(file).absolutePath()).constData(),
                          O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return;
    ::fsync(fd);
    ::close(fd);
}

// The folder is shared by the register's group: a file made here is the
// group's to write, whatever the umask of the process that made it (SQLite
// gives its log files the mode of the database). Returns the open file, or
// -1 with errno set.
int openShared(const QString &path)
{
    const QByteArray name = QFile::encodeName(path);
    int fd = ::open(name.constData(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0660);
    if (fd >= 0) {
        ::fchmod(fd, 0660);
        return fd;
    }
    if (errno != EEXIST)
        return -1;
    return ::open(name.constData(), O_RDWR | O_CLOEXEC);
}

QString systemError()
{
    return QString::fromLocal8Bit(std::strerror(errno));
}

} // namespace

PaymentJournal::~PaymentJournal()
{
    close();
}

bool PaymentJournal::open(const QString &path, bool create)
{
    close();
    m_error.clear();
    // One process writes a journal: a second one (a support command beside
    // the running register) would settle payments still under way. The lock
    // goes with the process, also when it is killed.
    if (create) {
        m_lockFd = openShared(path + QLatin1String(".lock"));
        if (m_lockFd < 0)
            return fail(systemError());
        if (::flock(m_lockFd, LOCK_EX | LOCK_NB) != 0) {
            const QString error = errno == EWOULDBLOCK
                                      ? QStringLiteral("another process is using the journal")
                                      : systemError();
            close();
            return fail(error);
        }
        const int fd = openShared(path);
        if (fd < 0) {
            const QString error = systemError();
            close();
            return fail(error);
        }
        // Closed before SQLite opens the file: closing any descriptor of a
        // file drops the process's POSIX locks on it, SQLite's included.
        ::close(fd);
    }
    // Without `create` only to read (vesanu-host journal): nothing is written,
    // so a reader changes nothing and needs no right to write.
    const int flags = create ? SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE : SQLITE_OPEN_READONLY;
    const bool opened =
        sqlite3_open_v2(QFile::encodeName(path).constData(), &m_db, flags, nullptr) == SQLITE_OK
        || fail(QString());
    // A reader (vesanu-host journal) may hold the file for a moment.
    if (opened)
        sqlite3_busy_timeout(m_db, 2000);
    if (opened && !create)
        return true;
    // The version write starts the log afresh here, at start, where SQLite
    // syncs its header once, rather than in the first payment's commit.
    if (!opened || !execute("PRAGMA journal_mode=WAL") || !execute("PRAGMA synchronous=FULL")
        || !execute(kSchema) || !execute(kVersion)) {
        close();
        return false;
    }
    // The log is kept, not deleted at close, so that its folder entry,
    // synced here, stays valid.
    int persist = 1;
    sqlite3_file_control(m_db, nullptr, SQLITE_FCNTL_PERSIST_WAL, &persist);
    syncFolder(path);
    return true;
}

void PaymentJournal::close()
{
    if (m_db)
        sqlite3_close(m_db);
    m_db = nullptr;
    if (m_lockFd >= 0)
        ::close(m_lockFd);
    m_lockFd = -1;
}

bool PaymentJournal::begin(const Entry &entry, qint64 keepSince)
{
    if (!m_db)
        return fail(QStringLiteral("not open"));
    if (!execute("BEGIN IMMEDIATE"))
        return false;
    Statement prune(m_db, kPrune);
    Statement insert(m_db, kInsert);
    if (prune.isValid() && insert.isValid()) {
        prune.bind(1, keepSince);
        insert.bind(1, entry.transactionId);
        insert.bind(2, entry.amount);
        insert.bind(3, qint64(entry.currency));
        insert.bind(4, entry.created);
        insert.bind(5, QString::fromLatin1(stateName(entry.state)));
        if (prune.step() == SQLITE_DONE && insert.step() == SQLITE_DONE && execute("COMMIT"))
            return true;
    }
    // Nothing half-done stays behind to block the next write; the first error is kept.
    const QString error = QString::fromUtf8(sqlite3_errmsg(m_db));
    execute("ROLLBACK");
    return fail(error);
}

bool PaymentJournal::settle(const QString &transactionId, State state)
{
    return write(kSettle, transactionId, state, 0);
}

bool PaymentJournal::retryLater(const QString &transactionId, State state, qint64 nextAttempt)
{
    return write(kRetry, transactionId, state, nextAttempt);
}

// One UPDATE of ?1 transaction_id, ?2 state and, where the statement names
// it, ?3 the next attempt.
bool PaymentJournal::write(const char *sql, const QString &transactionId, State state,
                           qint64 nextAttempt)
{
    if (!m_db)
        return fail(QStringLiteral("not open"));
    Statement update(m_db, sql);
    if (!update.isValid())
        return fail(QString());
    update.bind(1, transactionId);
    update.bind(2, QString::fromLatin1(stateName(state)));
    update.bind(3, nextAttempt);
    return update.step() == SQLITE_DONE || fail(QString());
}

QList<PaymentJournal::Entry> PaymentJournal::openEntries() const
{
    return select("WHERE state IN ('in-flight', 'void-pending') ORDER BY created, rowid", QString());
}

bool PaymentJournal::find(const QString &transactionId, Entry *entry) const
{
    const QList<Entry> found = select("WHERE transaction_id = ?1", transactionId);
    if (found.isEmpty())
        return false;
    *entry = found.first();
    return true;
}

QList<PaymentJournal::Entry> PaymentJournal::select(const char *where,
                                                    const QString &transactionId) const
{
    QList<Entry> entries;
    if (!m_db)
        return entries;
    Statement query(m_db, (QByteArray(kColumns) + where).constData());
    if (!query.isValid())
        return entries;
    if (!transactionId.isNull())
        query.bind(1, transactionId);
    while (query.step() == SQLITE_ROW) {
        Entry entry;
        entry.transactionId = QString::fromUtf8(query.text(0));
        entry.amount = query.number(1);
        entry.currency = int(query.number(2));
        entry.created = query.number(3);
        entry.state = stateByName(query.text(4));
        entry.attempts = int(query.number(5));
        entry.nextAttempt = query.number(6);
        entries << entry;
    }
    return entries;
}

bool PaymentJournal::isOpenState(State state)
{
    return state == State::InFlight || state == State::VoidPending;
}

const char *PaymentJournal::stateName(State state)
{
    for (const auto &entry : kStateNames) {
        if (entry.state == state)
            return entry.name;
    }
    return "in-flight";
}

bool PaymentJournal::execute(const char *sql)
{
    return sqlite3_exec(m_db, sql, nullptr, nullptr, nullptr) == SQLITE_OK || fail(QString());
}

// Keeps SQLite's own words for the log; the connection stays as it is.
bool PaymentJournal::fail(const QString &reason)
{
    m_error = reason.isEmpty() && m_db ? QString::fromUtf8(sqlite3_errmsg(m_db)) : reason;
    return false;
}

} // namespace journal
} // namespace vesanu
