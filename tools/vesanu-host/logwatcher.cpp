#include "logwatcher.h"

#include "console.h"
#include "hostconstants.h"

#include "vesanu/api/constants.h"

#include <QRegularExpression>

#include <QMutex>

#include <atomic>

namespace vesanuhost {

namespace {

std::atomic<int> statusQueryCount{0};
std::atomic<int> requestCount{0};
QMutex failureMutex;
QString lastConnectionFailure;
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

int LogWatcher::requests()
{
    return requestCount;
}

QString LogWatcher::connectionFailure()
{
    const QMutexLocker lock(&failureMutex);
    return lastConnectionFailure;
}

void LogWatcher::resetCounts()
{
    statusQueryCount = 0;
    requestCount = 0;
    const QMutexLocker lock(&failureMutex);
    lastConnectionFailure.clear();
}

bool LogWatcher::isStatusQuery(QtMsgType type, const QString &category, const QString &text)
{
    // The method as a word of its own, so a path or id that merely contains
    // the letters does not count; answers and errors are not requests.
    static const QRegularExpression method(QStringLiteral("\\b%1\\b").arg(QLatin1String(StatusQueryMethod)));
    return type == QtInfoMsg && category == QLatin1String(LogCategory)
        && text.contains(QLatin1String(StatusQueryPath)) && method.match(text).hasMatch();
}

bool LogWatcher::isRequest(QtMsgType type, const QString &category, const QString &text)
{
    return type == QtInfoMsg && category == QLatin1String(LogCategory)
        && text.startsWith(QString::fromUtf8(RequestLinePrefix));
}

QString LogWatcher::connectionFailureOf(QtMsgType type, const QString &category, const QString &text)
{
    if (type != QtCriticalMsg || category != QLatin1String(LogCategory))
        return QString();
    for (const char *line : {vesanu::api::LogConnectionFailed, vesanu::api::LogConnectionSignatureRefused}) {
        const QString fixed = QString::fromUtf8(line).section(QStringLiteral("%1"), 0, 0);
        if (text.startsWith(fixed))
            return text.mid(fixed.size());
    }
    return QString();
}

void LogWatcher::handle(QtMsgType type, const QMessageLogContext &context, const QString &text)
{
    const QString category = QString::fromUtf8(context.category ? context.category : "");
    const bool fromPlugin = category == QLatin1String(LogCategory);
    if (fromPlugin && isStatusQuery(type, category, text))
        ++statusQueryCount;
    if (fromPlugin && isRequest(type, category, text))
        ++requestCount;
    const QString failure = fromPlugin ? connectionFailureOf(type, category, text) : QString();
    if (!failure.isEmpty()) {
        const QMutexLocker lock(&failureMutex);
        lastConnectionFailure = failure;
    }
    if (!fromPlugin || showPluginLinesFlag)
        Console::writeLine(qFormatLogMessage(type, context, text));
}

} // namespace vesanuhost
