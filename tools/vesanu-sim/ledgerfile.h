#pragma once

#include <QJsonObject>
#include <QString>

namespace sim {

// The ledger on disk for whoever watches from outside: replaced whole and
// atomically, so a reader never sees half a file.
class LedgerFile
{
public:
    explicit LedgerFile(const QString &path);

    bool isEnabled() const { return !m_path.isEmpty(); }
    // False with errorString() when the file could not be replaced.
    bool write(const QJsonObject &ledger);
    QString errorString() const { return m_error; }

private:
    QString m_path;
    QString m_error;
};

} // namespace sim
