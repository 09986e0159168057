#include "vesanu/journal/paymentjournal.h"

#include "vesanu/journal/journalfile.h"
#include "vesanu/journal/statement.h"

#include <QFile>
#include <QFileInfo>

#include <sqlite3.h>

#include <cerrno>
#include <cstring>

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace vesanu {
namespace journal {

namespace {

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
    {PaymentJournal::State::Resolved, "resolved"},
};

bool stateByName(const QString &name, PaymentJournal::State *state)
{
    for (const auto &entry : kStateNames) {
        if (name == QLatin1String(entry.name)) {
            *state = entry.state;
            return true;
        }
    }
    return false;
}

// The text an entry's state is written as: an entry read in a state this
// build does not know keeps that text for as long as the caller leaves it
// InFlight (a later build may know what it means).
QString stateTextOf(const PaymentJournal::Entry &entry)
{
    PaymentJournal::State known;
    if (entry.state == PaymentJournal::State::InFlight && !entry.stateText.isEmpty()
        && !stateByName(entry.stateText, &known))
        return entry.stateText;
    return QString::fromLatin1(PaymentJournal::stateName(entry.state));
}


// The values of an entry but its identifier, as Update numbers them.
void bindChanges(Statement &statement, const PaymentJournal::Entry &entry)
{
    statement.bind(1, entry.transactionId);
    statement.bind(2, stateTextOf(entry));
    statement.bind(3, qint64(entry.attempts));
    statement.bind(4, entry.nextAttempt);
    statement.bind(5, qint64(entry.acknowledged ? 1 : 0));
    statement.bind(6, qint64(entry.questions));
    statement.bind(7, qint64(entry.voids));
    statement.bind(8, entry.reason);
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

// A journal is opened in four steps: the file (made first when a writer finds
// none), the lock, SQLite's connection (checked to hold the same file), and
// the checks of JournalFile::inspect(), before anything is written to it.
bool PaymentJournal::open(const QString &path, Access access)
{
    close();
    m_error.clear();
    m_path = path;
    const QString folder = QFileInfo(path).absolutePath();
    if (!QFileInfo(folder).isDir())
        return fail(QStringLiteral("the journal's folder %1 does not exist").arg(folder));
    const QByteArray name = QFile::encodeName(path);
    if (!(access == Access::Write ? openToWrite(name) : openToRead(name)))
        return false;
    // The check does not write, nor checkpoint the log at a refused file's close.
    sqlite3_busy_timeout(m_db, 2000); // a reader may hold the file for a moment
    sqlite3_db_config(m_db, SQLITE_DBCONFIG_NO_CKPT_ON_CLOSE, 1, nullptr);
    QString error;
    m_version = JournalFile::inspect(m_db, &error);
    if (m_version == 0)
        return refuse(error);
    if (access == Access::Read)
        return true;
    if (m_version == 1 && !JournalFile::migrate(m_db, &error))
        return refuse(error);
    m_version = JournalFile::Version;
    if (!JournalFile::indexesAgree(m_db, &error))
        return refuse(error);
    sqlite3_db_config(m_db, SQLITE_DBCONFIG_NO_CKPT_ON_CLOSE, 0, nullptr);
    // The version write starts the log afresh here, at start, where SQLite
    // syncs its header once, rather than in the first payment's commit.
    const QByteArray version = "PRAGMA user_version = " + QByteArray::number(m_version);
    if (!JournalFile::execute(m_db, "PRAGMA journal_mode = WAL; PRAGMA synchronous = FULL", &error))
        return refuse(error);
    // Only a saving: after a failed write the file is reopened to read back
    // and write again, which a disk that fails every sync must not prevent.
    JournalFile::execute(m_db, version.constData(), &error);
    // The log is kept, not deleted at close, so that its folder entry,
    // synced here, stays valid.
    int persist = 1;
    sqlite3_file_control(m_db, nullptr, SQLITE_FCNTL_PERSIST_WAL, &persist);
    if (!JournalFile::syncFolder(path, &error))
        return refuse(error);
    // The log holds what is not yet folded into the file: it must stay the
    // one opened here too (it is kept between runs, never replaced).
    JournalFile::Status log;
    const QByteArray logName = name + "-wal";
    m_logKnown = JournalFile::status(&logName, -1, &log);
    m_logDevice = log.device;
    m_logInode = log.inode;
    return true;
}

// One process writes a journal: a second one (a support command beside the
// running register) would settle payments still under way. The lock is on
// the file, whatever path reached it, and goes with the process, also when
// it is killed. A file at the path is always a complete journal; an empty
// one was not made by us and is not taken for a new journal.
bool PaymentJournal::openToWrite(const QByteArray &name)
{
    for (int attempt = 0; m_fileFd < 0 && attempt < 2; ++attempt) {
        m_fileFd = ::open(name.constData(), O_RDWR | O_CLOEXEC);
        if (m_fileFd < 0 && errno != ENOENT)
            return refuse(QStringLiteral("cannot open it: ") + systemError());
        if (m_fileFd < 0 && !JournalFile::create(m_path, &m_error))
            return refuse(m_error);
    }
    JournalFile::Status status;
    if (m_fileFd < 0 || !JournalFile::status(nullptr, m_fileFd, &status))
        return refuse(QStringLiteral("cannot open it: ") + systemError());
    if (!status.isFile || status.size == 0)
        return refuse(QStringLiteral("not a payment journal: an empty file or not a file; left as it is"));
    if (::flock(m_fileFd, LOCK_EX | LOCK_NB) != 0) {
        return refuse(errno == EWOULDBLOCK ? QStringLiteral("another process is using the journal")
                                           : QStringLiteral("cannot lock it: ") + systemError());
    }
    m_device = status.device;
    m_inode = status.inode;
    m_size = status.size;
    return (sqlite3_open_v2(name.constData(), &m_db, SQLITE_OPEN_READWRITE, nullptr) == SQLITE_OK
               || refuse(QString()))
           && sameFile();
}

// A reader (vesanu-host journal) writes nothing, so it changes nothing and
// needs no right to write, and takes no lock. Nor does it keep a descriptor
// of its own: closing it would drop the POSIX locks of a writer in the same
// process.
bool PaymentJournal::openToRead(const QByteArray &name)
{
    JournalFile::Status status;
    if (!JournalFile::status(&name, -1, &status))
        return fail(errno == ENOENT ? QStringLiteral("there is no journal at %1").arg(m_path)
                                    : QStringLiteral("cannot open it: ") + systemError());
    if (!status.isFile || status.size == 0)
        return fail(QStringLiteral("not a payment journal: an empty file or not a file"));
    m_device = status.device;
    m_inode = status.inode;
    return (sqlite3_open_v2(name.constData(), &m_db, SQLITE_OPEN_READONLY, nullptr) == SQLITE_OK
               || refuse(QString()))
           && sameFile();
}

// SQLite opened the path again: it must have found the file looked at.
bool PaymentJournal::sameFile()
{
    return isAtPath() || refuse(QStringLiteral("the file at %1 changed while it was opened").arg(m_path));
}

void PaymentJournal::close()
{
    if (m_db)
        sqlite3_close(m_db);
    m_db = nullptr;
    // After SQLite's: closing any descriptor of a file drops the process's
    // POSIX locks on it, which SQLite holds while it works.
    if (m_fileFd >= 0)
        ::close(m_fileFd);
    m_fileFd = -1;
    m_version = 0;
    m_size = 0;
    m_logKnown = false;
}

bool PaymentJournal::isAtPath()
{
    if (!m_db)
        return fail(QStringLiteral("not open"));
    const QByteArray name = QFile::encodeName(m_path);
    JournalFile::Status status;
    if (!JournalFile::status(&name, -1, &status)) {
        return fail(errno == ENOENT
                        ? QStringLiteral("the journal is no longer at %1: removed or moved away").arg(m_path)
                        : QStringLiteral("cannot look at %1: %2").arg(m_path, systemError()));
    }
    if (status.device != m_device || status.inode != m_inode)
        return fail(QStringLiteral("%1 is another file now: the journal open here was moved away "
                                   "or replaced").arg(m_path));
    if (m_fileFd < 0)
        return true;
    // The file never shrinks here (nothing vacuums it): a smaller one was
    // truncated or replaced in place under the register.
    JournalFile::Status open;
    if (!JournalFile::status(nullptr, m_fileFd, &open) || open.links == 0 || open.size < m_size)
        return fail(QStringLiteral("the journal at %1 was removed or cut short while open").arg(m_path));
    m_size = open.size;
    const QByteArray logName = name + "-wal";
    JournalFile::Status log;
    if (m_logKnown && (!JournalFile::status(&logName, -1, &log) || log.device != m_logDevice
                       || log.inode != m_logInode))
        return fail(QStringLiteral("the journal's log %1-wal was removed or replaced while open").arg(m_path));
    return true;
}

bool PaymentJournal::insert(const Entry &entry)
{
    Statement insert(m_db, JournalFile::Insert);
    if (!prepared(insert))
        return false;
    bindChanges(insert, entry);
    insert.bind(9, entry.amount);
    insert.bind(10, qint64(entry.currency));
    insert.bind(11, entry.created);
    insert.bind(12, qint64(entry.shiftNumber));
    insert.bind(13, qint64(entry.checkNumber));
    insert.bind(14, entry.documentId);
    return done(insert);
}

bool PaymentJournal::update(const Entry &entry)
{
    Statement update(m_db, JournalFile::Update);
    if (!prepared(update))
        return false;
    bindChanges(update, entry);
    return done(update) && changedOne(QStringLiteral("entry %1").arg(entry.transactionId));
}

// Only a writer prunes, and a writer's journal is always of this format.
bool PaymentJournal::prune(qint64 keepSince, int atMost)
{
    for (const char *sql : {JournalFile::Prune, JournalFile::PruneRefunds}) {
        Statement prune(m_db, sql);
        if (!prepared(prune))
            return false;
        prune.bind(1, keepSince);
        prune.bind(2, qint64(atMost));
        if (!done(prune))
            return false;
    }
    return true;
}

bool PaymentJournal::prepared(const Statement &statement)
{
    if (!m_db)
        return fail(QStringLiteral("not open"));
    return statement.isValid() || fail(QString());
}

bool PaymentJournal::done(Statement &statement)
{
    return statement.step() == SQLITE_DONE || fail(QString());
}

bool PaymentJournal::changedOne(const QString &what)
{
    return sqlite3_changes(m_db) == 1 || fail(QStringLiteral("the journal holds no %1").arg(what));
}

bool PaymentJournal::select(Selection selection, QList<Entry> *entries)
{
    const char *where = selection == Selection::Due           ? JournalFile::WhereDue
                        : selection == Selection::NeedsPerson ? JournalFile::WhereNeedsPerson
                                                              : "";
    return read(QByteArray(where) + ' ' + JournalFile::OrderByAge, QString(), entries);
}

bool PaymentJournal::find(const QString &transactionId, Entry *entry, bool *found)
{
    QList<Entry> entries;
    if (!read(JournalFile::WhereTransaction, transactionId, &entries))
        return false;
    *found = !entries.isEmpty();
    if (*found)
        *entry = entries.first();
    return true;
}

// Every row of the condition, or false: a list cut short by an error is
// never taken for the whole.
bool PaymentJournal::read(const QByteArray &condition, const QString &transactionId,
                          QList<Entry> *entries)
{
    entries->clear();
    if (!m_db)
        return fail(QStringLiteral("not open"));
    const QByteArray sql = "SELECT " + QByteArray(m_version == 1 ? JournalFile::ColumnsV1
                                                                  : JournalFile::ColumnsV2)
                           + " FROM payments " + condition;
    Statement query(m_db, sql.constData());
    if (!query.isValid())
        return fail(QString());
    if (!transactionId.isNull())
        query.bind(1, transactionId);
    int step;
    while ((step = query.step()) == SQLITE_ROW) {
        Entry entry;
        entry.transactionId = query.text(0);
        entry.amount = query.number(1);
        entry.currency = int(query.number(2));
        entry.created = query.number(3);
        entry.stateText = query.text(4);
        // A state this build does not know is open: better asked about than lost.
        if (!stateByName(entry.stateText, &entry.state))
            entry.state = State::InFlight;
        entry.attempts = int(query.number(5));
        entry.nextAttempt = query.number(6);
        entry.acknowledged = query.number(7) != 0;
        entry.questions = int(query.number(8));
        entry.voids = int(query.number(9));
        entry.reason = query.text(10);
        entry.shiftNumber = int(query.number(11));
        entry.checkNumber = int(query.number(12));
        entry.documentId = query.text(13);
        entries->append(entry);
    }
    if (step == SQLITE_DONE)
        return true;
    entries->clear();
    return fail(QString());
}

bool PaymentJournal::isFinal(State state)
{
    return state != State::InFlight && state != State::VoidPending;
}

const char *PaymentJournal::stateName(State state)
{
    for (const auto &entry : kStateNames) {
        if (entry.state == state)
            return entry.name;
    }
    return "in-flight";
}

// Keeps SQLite's own words for the log; the connection stays as it is.
bool PaymentJournal::fail(const QString &reason)
{
    m_error = reason.isEmpty() && m_db ? QString::fromUtf8(sqlite3_errmsg(m_db)) : reason;
    return false;
}

// The same, and the journal closed: open() did not get through.
bool PaymentJournal::refuse(const QString &reason)
{
    fail(reason);
    close();
    return false;
}

} // namespace journal
} // namespace vesanu
