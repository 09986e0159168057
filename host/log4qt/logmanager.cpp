#include "log4qt/logmanager.h"

#include "log4qt/logger.h"

#include <QMutex>
#include <QMutexLocker>
#include <map>
#include <memory>

namespace Log4Qt {

namespace {

struct Registry
{
    QMutex mutex;
    std::map<QString, std::unique_ptr<Logger>> loggers;
};

// Never destroyed: callers keep their Logger pointers for the life of the
// process, static destructors of other modules included.
Registry &registry()
{
    static Registry *const instance = new Registry;
    return *instance;
}

} // namespace

Logger *LogManager::logger(const QString &name, const QString & /*repository*/)
{
    Registry &loggers = registry();
    const QMutexLocker lock(&loggers.mutex);
    std::unique_ptr<Logger> &slot = loggers.loggers[name];
    if (!slot)
        slot.reset(new Logger(name));
    return slot.get();
}

} // namespace Log4Qt
