#pragma once

#include "config/config.h"

// This host's own configuration store: it serves the absolute paths that
// plug-ins ask for from a folder of its own, and counts what it is asked.
class HostStore : public Config
{
public:
    explicit HostStore(const QString &root);

    bool loadFile(const QString &path, const QString &encoding) override;
    int getInt(const QString &key, int defaultValue) override;
    QString getString(const QString &key, const QString &defaultValue) override;
    QString getString(const QString &key) override;

    QStringList loadedFiles() const { return m_loaded; }
    int reads() const { return m_reads; }

protected:
    bool readFile(const QString &path, QByteArray *contents) override;

private:
    QString m_root;
    QStringList m_loaded;
    int m_reads = 0;
};
