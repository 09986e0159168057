#include "ledgerfile.h"

#include <QJsonDocument>
#include <QSaveFile>

namespace sim {

LedgerFile::LedgerFile(const QString &path)
    : m_path(path)
{
}

bool LedgerFile::write(const QJsonObject &ledger)
{
    QSaveFile file(m_path);
    if (!file.open(QIODevice::WriteOnly)) {
        m_error = file.errorString();
        return false;
    }
    const QByteArray data = QJsonDocument(ledger).toJson(QJsonDocument::Indented);
    if (file.write(data) != data.size() || !file.commit()) {
        m_error = file.errorString();
        return false;
    }
    return true;
}

} // namespace sim
