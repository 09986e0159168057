#pragma once

#include <QString>
#include <QtGlobal>

namespace vesanuhost {

// Watches the plug-in's log lines, which reach Qt's message system under
// the logger's category "vesanu": counts the HTTP client's status queries
// for the live wait line and the voids the service did not confirm (the
// answer alone does not tell), and, when asked, shows the lines on stderr.
// Lines of other categories go to stderr as Qt would print them. One at a time.
class LogWatcher
{
public:
    explicit LogWatcher(bool showPluginLines);
    ~LogWatcher();
    LogWatcher(const LogWatcher &) = delete;
    LogWatcher &operator=(const LogWatcher &) = delete;

    static int statusQueries();
    static int voidsRefused();
    // Both counts back to zero, before an operation.
    static void resetCounts();

    // A request line of the HTTP client for a payment's status.
    static bool isStatusQuery(QtMsgType type, const QString &category, const QString &text);
    // The plug-in's line for a void of a payment that the service did not confirm.
    static bool isVoidRefused(QtMsgType type, const QString &category, const QString &text);

private:
    static void handle(QtMsgType type, const QMessageLogContext &context, const QString &text);

    QtMessageHandler m_previous;
};

} // namespace vesanuhost
