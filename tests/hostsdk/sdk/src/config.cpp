#include "config/config.h"

#include <QFile>

Config::Config() = default;
Config::~Config() = default;

Config *Config::shared()
{
    if (!Singleton<Config>::instance)
        Singleton<Config>::instance = new Config();
    return Singleton<Config>::instance;
}

bool Config::contains(const QString &key) const
{
    return m_values.contains(key);
}

int Config::getInt(const QString &key, int defaultValue)
{
    bool isNumber = false;
    const int value = m_values.value(key).toInt(&isNumber);
    return isNumber ? value : defaultValue;
}

QString Config::getString(const QString &key, const QString &defaultValue)
{
    return m_values.value(key, defaultValue);
}

QString Config::getString(const QString &key)
{
    return m_values.value(key);
}

void Config::setValue(const QString &key, const QString &value)
{
    m_values.insert(key, value);
}

// "[Group]" starts a group; "name = value" in it is the key "Group:name".
bool Config::loadFile(const QString &path, const QString & /*encoding*/)
{
    QByteArray contents;
    if (!readFile(path, &contents))
        return false;
    QString group;
    for (const QString &rawLine : QString::fromUtf8(contents).split(QLatin1Char('\n'))) {
        const QString line = rawLine.trimmed();
        if (line.isEmpty() || line.startsWith(QLatin1Char(';')) || line.startsWith(QLatin1Char('#')))
            continue;
        if (line.startsWith(QLatin1Char('[')) && line.endsWith(QLatin1Char(']'))) {
            group = line.mid(1, line.size() - 2).trimmed();
            continue;
        }
        const int equals = line.indexOf(QLatin1Char('='));
        if (equals > 0)
            setValue(group + QLatin1Char(':') + line.left(equals).trimmed(), line.mid(equals + 1).trimmed());
    }
    m_files << path;
    return true;
}

bool Config::readFile(const QString &path, QByteArray *contents)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    *contents = file.readAll();
    return true;
}
