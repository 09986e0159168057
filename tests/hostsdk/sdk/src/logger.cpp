#include "log4qt/logger.h"

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

} // namespace Log4Qt
