#include "logwatcher.h"

#include "console.h"
#include "hostconstants.h"

#include "vesanu/api/constants.h"

#include <QRegularExpression>

#include <atomic>

namespace vesanuhost {

namespace {

std::atomic<int> statusQueryCount{0};
std::atomic<int> voidRefusedCount{0};
std::atomic<bool> showPluginLinesFlag{false};

} // namespace

LogWatcher::LogWatcher(bool showPluginLines)
{
    showPluginLinesFlag = showPluginLines;
    resetCounts();
    m_previous = qInstallMessageHandler(&LogWatcher::handle);
}

LogWatcher::~LogWatcher()
{
    qInstallMessageHandler(m_previous);
}

int LogWatcher::statusQueries()
{
    return statusQueryCount;
}

int LogWatcher::voidsRefused()
{
    return voidRefusedCount;
}

void LogWatcher::resetCounts()
{
    statusQueryCount = 0;
    voidRefusedCount = 0;
}

bool LogWatcher::isStatusQuery(QtMsgType type, const QString &category, const QString &text)
{
    // The method as a word of its own, so a path or id that merely contains
    // the letters does not count; answers and errors are not requests.
    static const QRegularExpression method(QStringLiteral("\\b%1\\b").arg(QLatin1String(StatusQueryMethod)));
    return type == QtInfoMsg && category == QLatin1String(LogCategory)
        && text.contains(QLatin1String(StatusQueryPath)) && method.match(text).hasMatch();
}

bool LogWatcher::isVoidRefused(QtMsgType type, const QString &category, const QString &text)
{
    // The plug-in's own line, up to the transaction it names.
    static const QString line = QString::fromUtf8(vesanu::api::LogVoidRefused).section(QStringLiteral("%1"), 0, 0);
    return type == QtCriticalMsg && category == QLatin1String(LogCategory) && text.startsWith(line);
}

void LogWatcher::handle(QtMsgType type, const QMessageLogContext &context, const QString &text)
{
    const QString category = QString::fromUtf8(context.category ? context.category : "");
    const bool fromPlugin = category == QLatin1String(LogCategory);
    if (fromPlugin && isStatusQuery(type, category, text))
        ++statusQueryCount;
    if (fromPlugin && isVoidRefused(type, category, text))
        ++voidRefusedCount;
    if (!fromPlugin || showPluginLinesFlag)
        Console::writeLine(qFormatLogMessage(type, context, text));
}

} // namespace vesanuhost
