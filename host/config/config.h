#pragma once

#include "config/singleton.h"

#include <QDir>
#include <QHash>
#include <QList>
#include <QReadWriteLock>
#include <QString>
#include <QStringList>

// The host's configuration store. Keys are "Group:name"; in an ini file that
// is the key "name" of the section "[Group]". Several files may be loaded;
// a later file wins for the keys it holds.
//
// Absolute paths are resolved under the root named by the environment
// variable VELTA_CONFIG_ROOT when it is set, so a test or a demo can serve
// "/tessaroot/..." from a folder of its own without touching the real root.
class Config
{
public:
    Config();
    virtual ~Config();

    // Returns false, leaving the store as it was, when the file cannot be read.
    // Values are kept whole, as text; the ini syntax is described in inifile.h.
    // The second argument is reserved by the host and ignored here.
    virtual bool loadFile(const QString &path, const QString &reserved = QString());
    // An absent key gives an empty string.
    virtual QString getString(const QString &key);
    virtual QString getString(const QString &key, const QString &defaultValue);
    // An absent key, or a value that is not a whole number, gives the default.
    virtual int getInt(const QString &key, int defaultValue);

    // Where the host looks for its files; kept for the host, not read here.
    static QList<QDir> configDirectoriesPathList;
    static QStringList configFilesPathList;
    static QList<QDir> additionalPathList;

    // The path a file is really read from (see VELTA_CONFIG_ROOT above).
    static QString resolvePath(const QString &path);

private:
    QHash<QString, QString> m_values;
    // The host may read from more than one thread.
    QReadWriteLock m_lock;
};

template<>
Config *Singleton<Config>::instance;
