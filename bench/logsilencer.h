#pragma once

#include <QtGlobal>

// Keeps the plug-in's and the HTTP client's log lines off the terminal while
// a benchmark runs; they are still formatted, as a host's logger would.
// Other messages pass to the handler that was there before.
class LogSilencer
{
public:
    LogSilencer();
    ~LogSilencer();

    LogSilencer(const LogSilencer &) = delete;
    LogSilencer &operator=(const LogSilencer &) = delete;

    static qint64 silencedCount();

private:
    static void handle(QtMsgType type, const QMessageLogContext &context, const QString &text);

    QtMessageHandler m_previous;
};
