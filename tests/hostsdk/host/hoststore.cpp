#include "hoststore.h"

HostStore::HostStore(const QString &root)
    : m_root(root)
{
}

bool HostStore::loadFile(const QString &path, const QString &encoding)
{
    const bool loaded = Config::loadFile(path, encoding);
    if (loaded)
        m_loaded << path;
    return loaded;
}

int HostStore::getInt(const QString &key, int defaultValue)
{
    ++m_reads;
    return Config::getInt(key, defaultValue);
}

QString HostStore::getString(const QString &key, const QString &defaultValue)
{
    ++m_reads;
    return Config::getString(key, defaultValue);
}

QString HostStore::getString(const QString &key)
{
    ++m_reads;
    return Config::getString(key);
}

bool HostStore::readFile(const QString &path, QByteArray *contents)
{
    return Config::readFile(path.startsWith(QLatin1Char('/')) ? m_root + path : path, contents);
}
