#pragma once

#include <QString>
#include <QtGlobal>

namespace vesanuhost {

// Watches the plug-in's log lines, which reach Qt's message system under
// the logger's category "vesanu": counts the HTTP client's status queries
// for the live wait line and every request the plug-in sends (the set-up
// check tells whether init() sent any), keeps the connection test's reason
// for a failure (the answer does not carry it), and, when asked, shows the
// lines on stderr.
// Lines of other categories go to stderr as Qt would print them. One at a time.
class LogWatcher
{
public:
    explicit LogWatcher(bool showPluginLines);
    ~LogWatcher();
    LogWatcher(const LogWatcher &) = delete;
    LogWatcher &operator=(const LogWatcher &) = delete;

    static int statusQueries();
    static int requests();
    // "address: reason" of the plug-in's last failed connection test; empty when none.
    static QString connectionFailure();
    // The counts back to zero, before an operation.
    static void resetCounts();

    // A request line of the HTTP client for a payment's status.
    static bool isStatusQuery(QtMsgType type, const QString &category, const QString &text);
    // A request line of the HTTP client, whatever it asks.
    static bool isRequest(QtMsgType type, const QString &category, const QString &text);
    // What a connection-test failure line says after its fixed text; empty for other lines.
    static QString connectionFailureOf(QtMsgType type, const QString &category, const QString &text);

private:
    static void handle(QtMsgType type, const QMessageLogContext &context, const QString &text);

    QtMessageHandler m_previous;
};

} // namespace vesanuhost
