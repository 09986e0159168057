#pragma once

#include <QByteArray>
#include <QString>

#include <sqlite3.h>

namespace vesanu {
namespace journal {

// One prepared statement, finalized when it goes.
class Statement
{
public:
    // Without a connection it stays invalid: SQLite must not be handed none.
    Statement(sqlite3 *db, const char *sql)
    {
        if (db)
            sqlite3_prepare_v2(db, sql, -1, &m_statement, nullptr);
    }
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
    QString text(int column) const
    {
        return QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_column_text(m_statement, column)));
    }

private:
    sqlite3_stmt *m_statement = nullptr;
};

} // namespace journal
} // namespace vesanu
