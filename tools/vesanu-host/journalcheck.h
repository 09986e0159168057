#pragma once

#include <QString>

namespace vesanuhost {

class SetupCheck;

// The journal as a payment needs it: opened to write (which proves that no
// register holds it and that its folder can be written), its folder and
// files owned and moded as the package makes them, and nothing in it left
// for a person. Run before the plug-in loads: the plug-in's own open would
// hold the lock.
class JournalCheck
{
public:
    // `group`: the group the folder belongs to as installed, the ini file's.
    static void run(SetupCheck *check, const QString &path, const QString &group);

private:
    static void checkModes(SetupCheck *check, const QString &path, const QString &group);
    static void checkEntries(SetupCheck *check, const QString &path);
};

} // namespace vesanuhost
