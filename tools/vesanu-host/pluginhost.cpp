#include "pluginhost.h"

#include "hostconstants.h"

#include "contract/basicpaymentprocessing.h"

namespace vesanuhost {

PluginHost::~PluginHost()
{
    if (m_loader.isLoaded())
        m_loader.unload();
}

bool PluginHost::load(const QString &path)
{
    m_loader.setFileName(path);
    // Every import resolved at load: a symbol this process lacks is refused
    // here, with the loader's message, not in the middle of a payment.
    m_loader.setLoadHints(m_loader.loadHints() | QLibrary::ResolveAllSymbolsHint);
    QObject *instance = m_loader.instance();
    if (!instance) {
        m_error = QStringLiteral("cannot load the plug-in \"%1\": %2").arg(path, m_loader.errorString());
        return false;
    }
    m_processing = qobject_cast<BasicPaymentProcessing *>(instance);
    if (!m_processing) {
        m_error = QStringLiteral("the plug-in \"%1\" does not implement %2").arg(path, QLatin1String(ProcessingIid));
        return false;
    }
    return true;
}

bool PluginHost::readMetaData(const QString &path)
{
    m_loader.setFileName(path);
    if (!m_loader.metaData().isEmpty())
        return true;
    m_error = QStringLiteral("cannot read the plug-in \"%1\": %2").arg(path, m_loader.errorString());
    return false;
}

} // namespace vesanuhost
