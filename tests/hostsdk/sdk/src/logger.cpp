#include "log4qt/logger.h"
#include "log4qt/logmanager.h"

#include <QHash>
#include <QMutex>

#include <cstdio>

namespace Log4Qt {

Logger::Logger(const QString &name)
    : m_name(name)
{
}

QString Logger::name() const
{
    return m_name;
}

void Logger::log(Level level, const QString &message) const
{
    static const char *const levels[] = {"DEBUG", "INFO", "WARN", "ERROR"};
    std::fprintf(stderr, "  log %-5s %s: %s\n", levels[level], qUtf8Printable(m_name),
                 qUtf8Printable(message));
}

Logger *LogManager::logger(const QString &name, const QString & /*repository*/)
{
    static QMutex mutex;
    static QHash<QString, Logger *> loggers;
    const QMutexLocker lock(&mutex);
    Logger *&logger = loggers[name];
    if (!logger)
        logger = new Logger(name);
    return logger;
}

} // namespace Log4Qt
