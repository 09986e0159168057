#include "configroot.h"

#include "hostconstants.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace vesanuhost {

bool ConfigRoot::useRoot(const QString &directory)
{
    const QFileInfo info(directory);
    if (!info.isDir())
        return fail(QStringLiteral("configuration root \"%1\" is not a directory").arg(directory));
    exportRoot(info.absoluteFilePath());
    return true;
}

bool ConfigRoot::useIniFile(const QString &iniFile)
{
    if (!QFileInfo(iniFile).isFile())
        return fail(QStringLiteral("ini file \"%1\" does not exist").arg(iniFile));
    m_temporary = std::make_unique<QTemporaryDir>();
    if (!m_temporary->isValid())
        return fail(QStringLiteral("cannot create a temporary folder: %1").arg(m_temporary->errorString()));

    // A copy rather than a link: the plug-in sees the file as it was when
    // the command started, whatever happens to the original meanwhile.
    const QString target = m_temporary->path() + QLatin1String(PluginIniPath);
    if (!QDir().mkpath(QFileInfo(target).path()) || !QFile::copy(iniFile, target))
        return fail(QStringLiteral("cannot copy \"%1\" to \"%2\"").arg(iniFile, target));
    exportRoot(m_temporary->path());
    return true;
}

bool ConfigRoot::useEmptyRoot()
{
    m_temporary = std::make_unique<QTemporaryDir>();
    if (!m_temporary->isValid())
        return fail(QStringLiteral("cannot create a temporary folder: %1").arg(m_temporary->errorString()));
    exportRoot(m_temporary->path());
    return true;
}

bool ConfigRoot::fail(const QString &error)
{
    m_error = error;
    return false;
}

void ConfigRoot::exportRoot(const QString &directory)
{
    m_rootPath = directory;
    qputenv(ConfigRootVariable, QFile::encodeName(directory));
}

} // namespace vesanuhost
