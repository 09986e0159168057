#pragma once

#include <QString>
#include <QStringList>

namespace vesanuhost {

// Finds the plug-in library. An explicit path is taken as it stands;
// otherwise the tool installed in /usr/bin takes the installed plug-in, and
// anywhere else the first existing file of the search list wins:
//   1. <executable dir>/../lib/libProcessingVesaNu.so  (build tree: bin/ and lib/)
//   2. /usr/lib/i386-linux-gnu/velta/paysystems/libProcessingVesaNu.so  (installed, 32-bit)
//   3. /usr/lib/x86_64-linux-gnu/velta/paysystems/libProcessingVesaNu.so  (installed, 64-bit)
class PluginLocator
{
public:
    static QStringList searchList(const QString &executableDir);

    bool locate(const QString &explicitPath, const QString &executableDir);

    QString path() const { return m_path; }
    QString errorString() const { return m_error; }

private:
    QString m_path;
    QString m_error;
};

} // namespace vesanuhost
