#pragma once

#include <QString>

namespace Log4Qt {

class Logger;

class LogManager
{
public:
    // One logger per name for the life of the process.
    static Logger *logger(const QString &name, const QString &repository);
};

} // namespace Log4Qt
