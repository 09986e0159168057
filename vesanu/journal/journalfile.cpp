#include "vesanu/journal/journalfile.h"

#include <QFile>
#include <QFileInfo>

#include <sqlite3.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace vesanu {
namespace journal {

// The states an entry ends in; prunable: those of them that may be deleted.
#define VESANU_FINAL_STATES "('paid', 'settled', 'voided', 'abandoned', 'resolved')"
#define VESANU_PRUNABLE_STATES "('paid', 'settled', 'voided')"
#define VESANU_WHERE_DUE "WHERE state NOT IN " VESANU_FINAL_STATES
#define VESANU_WHERE_NEEDS_PERSON "WHERE state = 'abandoned'"
#define VESANU_WHERE_PRUNABLE "WHERE state IN " VESANU_PRUNABLE_STATES

const char JournalFile::ColumnsV2[] = "transaction_id, amount, currency, created, state, attempts,"
                                      " next_attempt, acknowledged, questions, voids, reason,"
                                      " shift_number, check_number, document_id";
const char JournalFile::ColumnsV1[] = "transaction_id, amount, currency, created, state, attempts,"
                                      " next_attempt, 0, 0, 0, '', 0, 0, ''";
const char JournalFile::WhereDue[] = VESANU_WHERE_DUE;
const char JournalFile::WhereNeedsPerson[] = VESANU_WHERE_NEEDS_PERSON;
const char JournalFile::OrderByAge[] = "ORDER BY created, rowid";
const char JournalFile::WhereTransaction[] = "WHERE transaction_id = ?1";
const char JournalFile::Insert[] =
    "INSERT INTO payments (transaction_id, state, attempts, next_attempt, acknowledged,"
    " questions, voids, reason, amount, currency, created, shift_number, check_number,"
    " document_id)"
    " VALUES (?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8, ?9, ?10, ?11, ?12, ?13, ?14)";
const char JournalFile::Update[] =
    "UPDATE payments SET state = ?2, attempts = ?3, next_attempt = ?4, acknowledged = ?5,"
    " questions = ?6, voids = ?7, reason = ?8 WHERE transaction_id = ?1";
// Bounded: after a long pause every entry may be past its keep age at once.
// The state is looked at again on the row itself ("+state" keeps SQLite
// from taking the index's word for it): a damaged index must not delete an
// open entry.
const char JournalFile::Prune[] =
    "DELETE FROM payments WHERE rowid IN (SELECT rowid FROM payments " VESANU_WHERE_PRUNABLE
    " AND created < ?1 ORDER BY created LIMIT ?2) AND +state IN " VESANU_PRUNABLE_STATES;

#define VESANU_REFUNDS_PRUNABLE "state IN ('refunded', 'refund-refused')"

const char JournalFile::RefundColumns[] = "id, transaction_id, amount, created, state, shift_number,"
                                          " check_number, document_id, reason";
const char JournalFile::InsertRefund[] =
    "INSERT INTO refunds (transaction_id, amount, created, state, shift_number, check_number,"
    " document_id, reason) VALUES (?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8)";
const char JournalFile::UpdateRefund[] = "UPDATE refunds SET state = ?2, reason = ?3 WHERE id = ?1";
const char JournalFile::PruneRefunds[] =
    "DELETE FROM refunds WHERE id IN (SELECT id FROM refunds WHERE " VESANU_REFUNDS_PRUNABLE
    " AND created < ?1 ORDER BY created LIMIT ?2)";

namespace {

// The refunds and cancels of format 2, with the host's references; their
// outcome is for people: recovery never touches them.
const char kRefundsTable[] = "CREATE TABLE refunds ("
                             " id INTEGER PRIMARY KEY,"
                             " transaction_id TEXT NOT NULL,"
                             " amount INTEGER NOT NULL,"
                             " created INTEGER NOT NULL,"
                             " state TEXT NOT NULL,"
                             " shift_number INTEGER NOT NULL DEFAULT 0,"
                             " check_number INTEGER NOT NULL DEFAULT 0,"
                             " document_id TEXT NOT NULL DEFAULT '',"
                             " reason TEXT NOT NULL DEFAULT '');"
                             "CREATE INDEX refunds_transaction ON refunds (transaction_id);";

// Format 1's table; format 2 adds kNewColumns. Times are seconds since the epoch.
const char kTableV1[] = "CREATE TABLE payments ("
                        " transaction_id TEXT PRIMARY KEY,"
                        " amount INTEGER NOT NULL,"
                        " currency INTEGER NOT NULL,"
                        " created INTEGER NOT NULL,"
                        " state TEXT NOT NULL,"
                        " attempts INTEGER NOT NULL DEFAULT 0,"
                        " next_attempt INTEGER NOT NULL DEFAULT 0";
const char *const kNewColumns[] = {
    "acknowledged INTEGER NOT NULL DEFAULT 0",
    "questions INTEGER NOT NULL DEFAULT 0",
    "voids INTEGER NOT NULL DEFAULT 0",
    "reason TEXT NOT NULL DEFAULT ''",
    // The host's references: the receipt a payment belongs to, for support.
    "shift_number INTEGER NOT NULL DEFAULT 0",
    "check_number INTEGER NOT NULL DEFAULT 0",
    "document_id TEXT NOT NULL DEFAULT ''",
};
// What the store's scans select on: each holds the few entries its query wants.
const char kIndexes[] = "CREATE INDEX payments_due ON payments (created) " VESANU_WHERE_DUE ";"
                        "CREATE INDEX payments_needs_person ON payments (created) "
                        VESANU_WHERE_NEEDS_PERSON ";"
                        "CREATE INDEX payments_prunable ON payments (created) "
                        VESANU_WHERE_PRUNABLE ";";

QByteArray formatPragmas()
{
    return "PRAGMA application_id = " + QByteArray::number(JournalFile::ApplicationId)
           + "; PRAGMA user_version = " + QByteArray::number(JournalFile::Version) + ";";
}

bool systemFailure(QString *error, const QString &what)
{
    *error = what + QStringLiteral(": ") + QString::fromLocal8Bit(std::strerror(errno));
    return false;
}

bool sqliteFailure(sqlite3 *db, QString *error, const QString &what = QString())
{
    const QString words = QString::fromUtf8(sqlite3_errmsg(db));
    *error = what.isEmpty() ? words : what + QStringLiteral(": ") + words;
    return false;
}

// The first row's first column of `sql` as text; false with *error when
// there is none or the read fails.
bool firstValue(sqlite3 *db, const char *sql, QByteArray *value, QString *error)
{
    sqlite3_stmt *statement = nullptr;
    bool read = sqlite3_prepare_v2(db, sql, -1, &statement, nullptr) == SQLITE_OK
                && sqlite3_step(statement) == SQLITE_ROW;
    if (read)
        *value = reinterpret_cast<const char *>(sqlite3_column_text(statement, 0));
    else if (sqlite3_errcode(db) == SQLITE_NOTADB)
        *error = QStringLiteral("not an SQLite database");
    else
        sqliteFailure(db, error, QStringLiteral("cannot read it"));
    sqlite3_finalize(statement);
    return read;
}

// Format 2 in a new file of its own, in rollback mode: one commit, synced.
bool writeNewJournal(const QByteArray &file, QString *error)
{
    sqlite3 *db = nullptr;
    QByteArray sql = "PRAGMA synchronous = FULL; BEGIN;" + QByteArray(kTableV1);
    for (const char *column : kNewColumns)
        sql += ", " + QByteArray(column);
    sql += ");" + QByteArray(kIndexes) + kRefundsTable + formatPragmas() + "COMMIT;";
    const bool made = sqlite3_open_v2(file.constData(), &db, SQLITE_OPEN_READWRITE, nullptr) == SQLITE_OK
                      && JournalFile::execute(db, sql.constData(), error);
    if (!made && error->isEmpty())
        sqliteFailure(db, error, QStringLiteral("cannot make a new journal"));
    sqlite3_close(db);
    return made;
}

} // namespace

bool JournalFile::create(const QString &path, QString *error)
{
    const QByteArray name = QFile::encodeName(path);
    QByteArray temporary = name + ".new-XXXXXX";
    const int fd = ::mkostemp(temporary.data(), O_CLOEXEC);
    if (fd < 0)
        return systemFailure(error, QStringLiteral("cannot make a new journal beside it"));
    // The folder is the register group's: the file is the group's to write,
    // whatever the umask (SQLite gives its log files the mode of the database).
    bool made = ::fchmod(fd, 0660) == 0 || systemFailure(error, QStringLiteral("cannot chmod"));
    made = made && writeNewJournal(temporary, error);
    made = made && (::fsync(fd) == 0 || systemFailure(error, QStringLiteral("cannot sync it")));
    // Closed after SQLite's own: closing any descriptor of a file drops the
    // process's POSIX locks on it, SQLite's included.
    ::close(fd);
    // A link, not rename(): that would replace a journal another process
    // made meanwhile, and maybe wrote a payment to. If one did, it is kept.
    if (made && ::link(temporary.constData(), name.constData()) != 0 && errno != EEXIST)
        made = systemFailure(error, QStringLiteral("cannot put the new journal in place"));
    ::unlink(temporary.constData());
    return made && syncFolder(path, error);
}

int JournalFile::inspect(sqlite3 *db, QString *error)
{
    QByteArray value;
    if (!firstValue(db, "PRAGMA application_id", &value, error))
        return 0;
    const int id = value.toInt();
    if (!firstValue(db, "PRAGMA user_version", &value, error))
        return 0;
    const int version = value.toInt();
    const QString ours = QString::number(Version);
    if (id != ApplicationId && id != 0) {
        *error = QStringLiteral("not a payment journal: another program's file (application_id %1)")
                     .arg(id);
        return 0;
    }
    if (id == ApplicationId && version > Version) {
        *error = QStringLiteral("the journal is of format %1, later than this build's %2: left as it is")
                     .arg(version)
                     .arg(ours);
        return 0;
    }
    if ((id == ApplicationId) != (version == Version) || (id == 0 && version != 1)) {
        *error = QStringLiteral("not a payment journal (format version %1, application_id %2)")
                     .arg(version)
                     .arg(id);
        return 0;
    }
    sqlite3_stmt *columns = nullptr;
    const QByteArray probe = "SELECT " + QByteArray(version == 1 ? ColumnsV1 : ColumnsV2)
                             + " FROM payments LIMIT 0";
    bool complete = sqlite3_prepare_v2(db, probe.constData(), -1, &columns, nullptr) == SQLITE_OK;
    sqlite3_finalize(columns);
    if (complete && version == Version) {
        const QByteArray refunds = "SELECT " + QByteArray(RefundColumns) + " FROM refunds LIMIT 0";
        columns = nullptr;
        complete = sqlite3_prepare_v2(db, refunds.constData(), -1, &columns, nullptr) == SQLITE_OK;
        sqlite3_finalize(columns);
    }
    if (!complete) {
        sqliteFailure(db, error, QStringLiteral("not a payment journal"));
        return 0;
    }
    value.clear();
    if (!firstValue(db, "PRAGMA quick_check", &value, error) || value != "ok") {
        *error = QStringLiteral("the journal is damaged (quick_check): ")
                 + (value.isEmpty() ? *error : QString::fromUtf8(value));
        return 0;
    }
    return version;
}

bool JournalFile::indexesAgree(sqlite3 *db, QString *error)
{
    QByteArray indexed;
    QByteArray everyRow;
    if (!firstValue(db, "SELECT count(*) FROM payments INDEXED BY payments_due " VESANU_WHERE_DUE,
                    &indexed, error)
        || !firstValue(db, "SELECT count(*) FROM payments NOT INDEXED " VESANU_WHERE_DUE, &everyRow,
                       error))
        return false;
    if (indexed == everyRow)
        return true;
    *error = QStringLiteral("the journal is damaged: its index names %1 open entries, its rows %2")
                 .arg(QString::fromLatin1(indexed), QString::fromLatin1(everyRow));
    return false;
}

bool JournalFile::migrate(sqlite3 *db, QString *error)
{
    QByteArray sql = "BEGIN IMMEDIATE;";
    for (const char *column : kNewColumns)
        sql += "ALTER TABLE payments ADD COLUMN " + QByteArray(column) + ";";
    sql += kIndexes + QByteArray(kRefundsTable) + formatPragmas() + "COMMIT;";
    if (execute(db, sql.constData(), error))
        return true;
    *error = QStringLiteral("cannot migrate the journal from format 1: ") + *error;
    sqlite3_exec(db, "ROLLBACK", nullptr, nullptr, nullptr);
    return false;
}

bool JournalFile::execute(sqlite3 *db, const char *sql, QString *error)
{
    return sqlite3_exec(db, sql, nullptr, nullptr, nullptr) == SQLITE_OK || sqliteFailure(db, error);
}

bool JournalFile::syncFolder(const QString &path, QString *error)
{
    const int fd = ::open(QFile::encodeName(QFileInfo(path).absolutePath()).constData(),
                          O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    const bool synced = fd >= 0 && ::fsync(fd) == 0;
    if (!synced)
        systemFailure(error, QStringLiteral("cannot sync the journal's folder"));
    if (fd >= 0)
        ::close(fd);
    return synced;
}

// glibc 2.33 made stat() and fstat() symbols of their own (stat@GLIBC_2.33),
// newer than the glibc 2.17 the plug-in may need (scripts/check-imports). On
// x86 the kernel is asked directly: its answer is glibc's struct.
#if defined(__i386__)
using KernelStat = struct stat64;
const long kStatCall = SYS_stat64, kFstatCall = SYS_fstat64;
#elif defined(__x86_64__)
using KernelStat = struct stat;
const long kStatCall = SYS_stat, kFstatCall = SYS_fstat;
#endif

bool JournalFile::status(const QByteArray *name, int fd, Status *status)
{
#if defined(__i386__) || defined(__x86_64__)
    KernelStat kernel;
    const long result = name ? ::syscall(kStatCall, name->constData(), &kernel)
                             : ::syscall(kFstatCall, fd, &kernel);
#else
    struct stat kernel;
    const int result = name ? ::stat(name->constData(), &kernel) : ::fstat(fd, &kernel);
#endif
    if (result != 0)
        return false;
    status->device = kernel.st_dev;
    status->inode = kernel.st_ino;
    status->isFile = S_ISREG(kernel.st_mode);
    status->size = kernel.st_size;
    status->links = kernel.st_nlink;
    return true;
}

} // namespace journal
} // namespace vesanu
