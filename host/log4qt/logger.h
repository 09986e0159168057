#pragma once

#include <QByteArray>
#include <QString>

namespace Log4Qt {

class LogManager;

// A named logger in the manner of Log4Qt. Lines go through Qt's message
// system under a logging category named after the logger, so a host, a tool
// or a test can route, filter or capture them with the usual Qt means.
class Logger
{
public:
    QString name() const;

    // The format is UTF-8; "%1" in it is replaced by the argument.
    void info(const char *format) const;
    void info(const char *format, const QString &arg) const;
    void info(const char *format, int arg) const;
    void error(const char *format) const;
    void error(const char *format, const QString &arg) const;
    void error(const char *format, int arg) const;

private:
    friend class LogManager;
    explicit Logger(const QString &name);
    Logger(const Logger &) = delete;
    Logger &operator=(const Logger &) = delete;

    void write(bool isError, const QString &line) const;

    const QString m_name;
    // The category name must outlive every message written under it.
    const QByteArray m_category;
};

} // namespace Log4Qt
