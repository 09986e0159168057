#pragma once

#include <QJsonObject>
#include <QPluginLoader>
#include <QString>

class BasicPaymentProcessing;

namespace vesanuhost {

// Loads the plug-in the way the cash register does: Qt's plug-in loader,
// the root instance, and a cast to the processing interface by its IID.
// Destroying the host deletes the instance and unloads the library, as the
// cash register does at shutdown.
class PluginHost
{
public:
    PluginHost() = default;
    ~PluginHost();
    PluginHost(const PluginHost &) = delete;
    PluginHost &operator=(const PluginHost &) = delete;

    bool load(const QString &path);
    // Reads the metadata alone: the library's code is not run.
    bool readMetaData(const QString &path);

    BasicPaymentProcessing *processing() const { return m_processing; }
    QJsonObject metaData() const { return m_loader.metaData(); }
    QString errorString() const { return m_error; }

private:
    QPluginLoader m_loader;
    BasicPaymentProcessing *m_processing = nullptr;
    QString m_error;
};

} // namespace vesanuhost
