#include "log4qt/logmanager.h"

#include "log4qt/logger.h"

#include <QHash>
#include <QMutex>

namespace Log4Qt {

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
