#include "userswitch.h"

#include <QFile>

#include <cerrno>
#include <cstring>
#include <grp.h>
#include <pwd.h>
#include <unistd.h>

namespace vesanuhost {

bool UserSwitch::switchTo(const QString &name, QString *error)
{
    const QByteArray user = QFile::encodeName(name);
    const passwd *account = ::getpwnam(user.constData());
    if (!account) {
        *error = QStringLiteral("no user \"%1\" on this machine").arg(name);
        return false;
    }
    const uid_t uid = account->pw_uid;
    const gid_t gid = account->pw_gid;
    const QByteArray home = account->pw_dir;
    if (::initgroups(user.constData(), gid) != 0 || ::setgid(gid) != 0 || ::setuid(uid) != 0) {
        *error = QStringLiteral("cannot run as \"%1\": %2 (only root can)").arg(name, QString::fromLocal8Bit(std::strerror(errno)));
        return false;
    }
    // The user's home, for whatever the libraries keep there.
    qputenv("HOME", home);
    qputenv("USER", user);
    return true;
}

bool UserSwitch::isRoot()
{
    return ::geteuid() == 0;
}

QString UserSwitch::currentUser()
{
    const passwd *account = ::getpwuid(::geteuid());
    return account ? QFile::decodeName(account->pw_name) : QString::number(::geteuid());
}

} // namespace vesanuhost
