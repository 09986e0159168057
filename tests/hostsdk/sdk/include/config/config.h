#pragma once

#include "config/singleton.h"

#include <QDir>
#include <QList>
#include <QMap>
#include <QString>
#include <QStringList>

// The test SDK's configuration store: keys "Group:name" from ini files.
// Its own layout and order of operations, with operations of its own.
class Config
{
public:
    Config();
    virtual ~Config();

    virtual bool contains(const QString &key) const;
    virtual int getInt(const QString &key, int defaultValue);
    virtual QString getString(const QString &key, const QString &defaultValue);
    virtual QString getString(const QString &key);
    virtual void setValue(const QString &key, const QString &value);
    // The second argument names the file's encoding; empty means UTF-8.
    virtual bool loadFile(const QString &path, const QString &encoding);

    // The process's store, made on first use.
    static Config *shared();

    static inline QList<QDir> configDirectoriesPathList;
    static inline QStringList configFilesPathList;
    static inline QList<QDir> additionalPathList;

protected:
    // Reads the file's text; a host may map paths in its own way.
    virtual bool readFile(const QString &path, QByteArray *contents);

private:
    QStringList m_files;
    QMap<QString, QString> m_values;
};
