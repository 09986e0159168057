#pragma once

#include "config/config.h"

#include <QHash>
#include <QString>

// A configuration store held in memory, put in place of the process-wide
// one while it lives, so that a fuzz input becomes settings without a file.
class MemorySettings : public Config
{
public:
    MemorySettings();
    ~MemorySettings() override;

    bool loadFile(const QString &, const QString &) override { return true; }
    QString getString(const QString &key) override { return values.value(key); }
    QString getString(const QString &key, const QString &defaultValue) override
    {
        return values.value(key, defaultValue);
    }

    QHash<QString, QString> values;

private:
    Config *m_previous;
};
