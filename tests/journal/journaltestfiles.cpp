#include "journaltestfiles.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>
#include <sqlite3.h>

namespace journaltest {

namespace {

// One connection for the length of a helper.
class Connection
{
public:
    Connection(const QString &path, bool keepLog = false)
    {
        if (sqlite3_open(QFile::encodeName(path).constData(), &m_db) != SQLITE_OK)
            ADD_FAILURE() << "cannot open " << qPrintable(path) << ": " << sqlite3_errmsg(m_db);
        if (keepLog)
            sqlite3_db_config(m_db, SQLITE_DBCONFIG_NO_CKPT_ON_CLOSE, 1, nullptr);
    }
    ~Connection() { sqlite3_close(m_db); }
    sqlite3 *db() const { return m_db; }

private:
    sqlite3 *m_db = nullptr;
};

} // namespace

void execute(const QString &path, const QString &sql, bool keepLog)
{
    Connection connection(path, keepLog);
    char *error = nullptr;
    if (sqlite3_exec(connection.db(), sql.toUtf8().constData(), nullptr, nullptr, &error) != SQLITE_OK)
        ADD_FAILURE() << qPrintable(sql) << ": " << error;
    sqlite3_free(error);
}

QString value(const QString &path, const QString &sql)
{
    return column(path, sql, 0).value(0);
}

QStringList column(const QString &path, const QString &sql, int index)
{
    Connection connection(path);
    sqlite3_stmt *statement = nullptr;
    QStringList values;
    if (sqlite3_prepare_v2(connection.db(), sql.toUtf8().constData(), -1, &statement, nullptr) != SQLITE_OK)
        ADD_FAILURE() << qPrintable(sql) << ": " << sqlite3_errmsg(connection.db());
    while (statement && sqlite3_step(statement) == SQLITE_ROW)
        values << QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_column_text(statement, index)));
    sqlite3_finalize(statement);
    return values;
}

QByteArray contents(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void replace(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(bytes) != bytes.size())
        ADD_FAILURE() << "cannot write " << qPrintable(path);
}

QStringList filesIn(const QString &folder)
{
    return QDir(folder).entryList(QDir::Files | QDir::System | QDir::Hidden, QDir::Name);
}

void makeVersion1(const QString &path, const QStringList &rows)
{
    QString sql = QStringLiteral(
        "PRAGMA journal_mode=WAL; CREATE TABLE payments (transaction_id TEXT PRIMARY KEY,"
        " amount INTEGER NOT NULL, currency INTEGER NOT NULL, created INTEGER NOT NULL,"
        " state TEXT NOT NULL, attempts INTEGER NOT NULL DEFAULT 0,"
        " next_attempt INTEGER NOT NULL DEFAULT 0); PRAGMA user_version = 1;");
    for (const QString &row : rows) {
        const QStringList parts = row.split(QLatin1Char(' '));
        sql += QStringLiteral("INSERT INTO payments VALUES ('%1', 12345, 398, %3, '%2', 2, 500);")
                   .arg(parts.value(0), parts.value(1), parts.value(2));
    }
    execute(path, sql);
}

void makeJournal(const QString &path, int count, const QString &state, qint64 created)
{
    PaymentJournal journal;
    ASSERT_TRUE(journal.open(path)) << qPrintable(journal.errorString());
    journal.close();
    execute(path, QStringLiteral("WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n"
                                 " WHERE i < %1) INSERT INTO payments (transaction_id, amount,"
                                 " currency, created, state) SELECT 'fill-' || i, 12345, 398,"
                                 " %3, '%2' FROM n WHERE %1 > 0; PRAGMA wal_checkpoint(TRUNCATE);")
                      .arg(count)
                      .arg(state)
                      .arg(created));
}

PaymentJournal::Entry entry(const QString &id, qint64 created, PaymentJournal::State state)
{
    PaymentJournal::Entry entry;
    entry.transactionId = id;
    entry.amount = 12345;
    entry.currency = 398;
    entry.created = created;
    entry.state = state;
    return entry;
}

QStringList ids(const QList<PaymentJournal::Entry> &entries)
{
    QStringList ids;
    for (const PaymentJournal::Entry &entry : entries)
        ids << entry.transactionId;
    return ids;
}

} // namespace journaltest
