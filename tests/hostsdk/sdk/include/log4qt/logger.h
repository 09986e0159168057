#pragma once

#include <QString>

namespace Log4Qt {

// Log4Qt-style logger: the level operations are inline and all end in log().
class Logger
{
public:
    enum Level { Debug, Info, Warn, Error };

    void info(const char *format) const { log(Info, QString::fromUtf8(format)); }
    void info(const char *format, const QString &arg) const
    {
        log(Info, QString::fromUtf8(format).arg(arg));
    }
    void info(const char *format, int arg) const { log(Info, QString::fromUtf8(format).arg(arg)); }
    void error(const char *format) const { log(Error, QString::fromUtf8(format)); }
    void error(const char *format, const QString &arg) const
    {
        log(Error, QString::fromUtf8(format).arg(arg));
    }
    void error(const char *format, int arg) const { log(Error, QString::fromUtf8(format).arg(arg)); }

    void log(Level level, const QString &message) const;
    QString name() const;

private:
    friend class LogManager;
    explicit Logger(const QString &name);

    QString m_name;
};

} // namespace Log4Qt
