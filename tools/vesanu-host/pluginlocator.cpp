#include "pluginlocator.h"

#include "hostconstants.h"

#include <QDir>
#include <QFileInfo>

namespace vesanuhost {

QStringList PluginLocator::searchList(const QString &executableDir)
{
    // Installed: the package's plug-in, never a stray file beside /usr/bin.
    if (QDir::cleanPath(executableDir) == QLatin1String(InstalledToolDir))
        return {QLatin1String(InstalledPlugin)};
    return {QDir::cleanPath(QDir(executableDir).filePath(QLatin1String(BuildTreePlugin))),
            QLatin1String(InstalledPlugin32), QLatin1String(InstalledPlugin64)};
}

bool PluginLocator::locate(const QString &explicitPath, const QString &executableDir)
{
    m_path.clear();
    m_error.clear();
    const QStringList candidates =
        explicitPath.isEmpty() ? searchList(executableDir) : QStringList{explicitPath};
    for (const QString &candidate : candidates) {
        if (QFileInfo(candidate).isFile()) {
            m_path = QFileInfo(candidate).absoluteFilePath();
            return true;
        }
    }
    m_error = QStringLiteral("plug-in not found; looked for: %1")
                  .arg(candidates.join(QStringLiteral(", ")));
    return false;
}

} // namespace vesanuhost
