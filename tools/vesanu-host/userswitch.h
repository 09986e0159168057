#pragma once

#include <QString>

namespace vesanuhost {

// Runs the rest of the process as another user, as the register runs: its
// groups, then its group, then the user, so that nothing of root is kept.
class UserSwitch
{
public:
    // False with *error when the user is unknown or the switch is refused
    // (only root may switch).
    static bool switchTo(const QString &name, QString *error);
    static bool isRoot();
    static QString currentUser();
};

} // namespace vesanuhost
