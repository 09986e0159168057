#pragma once

#include <QString>

namespace vesanuhost {

// Serialises everything written to stderr. The live wait line is redrawn
// from another thread while log lines arrive on the main one; a log line
// first wipes the live line so the two never run into each other.
class Console
{
public:
    static void writeLine(const QString &line);
    // Replaces the live line ("\r"-refreshed, no line feed).
    static void showLive(const QString &text);
    static void clearLive();
};

} // namespace vesanuhost
