#pragma once

#include "contract/basicpaymentprocessing.h"

#include <QPluginLoader>
#include <QString>
#include <QTemporaryDir>

// The plug-in as a host sees it: loaded with QPluginLoader, configured from
// an ini file under a private configuration root.
class LoadedPlugin
{
public:
    explicit LoadedPlugin(const QString &ini);
    ~LoadedPlugin();

    // The instance's processing interface, initialised; null on failure.
    BasicPaymentProcessing *processing() const { return m_processing; }
    QPluginLoader &loader() { return m_loader; }
    QString configRoot() const { return m_root.path(); }

    static QString pluginPath();
    // Unless the content names a journal, the plug-in keeps its own under `root`.
    static void writeIni(const QString &root, const QString &content);
    static QString journalLine(const QString &ini, const QString &root);

private:
    QTemporaryDir m_root;
    QPluginLoader m_loader;
    BasicPaymentProcessing *m_processing = nullptr;
};

// Typical settings for a plug-in that talks to a scripted service.
QString testIni(const QString &extra = QString());
