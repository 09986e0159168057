#include "logsilencer.h"

#include <QString>
#include <atomic>
#include <cstring>

namespace {

std::atomic<qint64> silenced { 0 };
QtMessageHandler previousHandler = nullptr;

bool isQuietCategory(const char *category)
{
    return category
        && (std::strcmp(category, "vesanu") == 0 || std::strcmp(category, "veltanetwork") == 0);
}

} // namespace

LogSilencer::LogSilencer()
    : m_previous(qInstallMessageHandler(&LogSilencer::handle))
{
    previousHandler = m_previous;
}

LogSilencer::~LogSilencer()
{
    qInstallMessageHandler(m_previous);
    previousHandler = nullptr;
}

qint64 LogSilencer::silencedCount()
{
    return silenced.load();
}

void LogSilencer::handle(QtMsgType type, const QMessageLogContext &context, const QString &text)
{
    if (isQuietCategory(context.category)) {
        ++silenced;
        return;
    }
    if (previousHandler)
        previousHandler(type, context, text);
}
