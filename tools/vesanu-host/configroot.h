#pragma once

#include <QString>
#include <QTemporaryDir>

#include <memory>

namespace vesanuhost {

// Points the host's configuration store at a root of our choosing before the
// plug-in's init() reads its ini file: either a folder given as it is, or a
// temporary one holding a copy of a single ini file at the plug-in's path.
// The temporary folder lives as long as this object.
class ConfigRoot
{
public:
    bool useRoot(const QString &directory);
    bool useIniFile(const QString &iniFile);
    // An empty temporary root: no ini file is found, not even the machine's own.
    bool useEmptyRoot();

    QString rootPath() const { return m_rootPath; }
    QString errorString() const { return m_error; }

private:
    bool fail(const QString &error);
    void exportRoot(const QString &directory);

    std::unique_ptr<QTemporaryDir> m_temporary;
    QString m_rootPath;
    QString m_error;
};

} // namespace vesanuhost
