#include "log4qt/logger.h"

#include <QMessageLogger>

namespace Log4Qt {

namespace {

const QLatin1String placeholder("%1");

// Replaces each "%1" of the format in one pass, so a "%1" inside the argument
// stays as it is. "%10" to "%19" are other markers to QString::arg and are
// left alone for the same reason.
QString substitute(const char *format, const QString &arg)
{
    const QString text = QString::fromUtf8(format);
    QString line;
    line.reserve(text.size() + arg.size());
    int from = 0;
    for (int at = text.indexOf(placeholder); at >= 0; at = text.indexOf(placeholder, at + 2)) {
        const int next = at + 2;
        if (next < text.size() && text.at(next).isDigit())
            continue;
        line += text.midRef(from, at - from);
        line += arg;
        from = next;
    }
    line += text.midRef(from);
    return line;
}

QByteArray categoryFor(const QString &name)
{
    return name.isEmpty() ? QByteArrayLiteral("default") : name.toUtf8();
}

} // namespace

Logger::Logger(const QString &name)
    : m_name(name)
    , m_category(categoryFor(name))
{
}

QString Logger::name() const
{
    return m_name;
}

void Logger::info(const char *format) const
{
    write(false, QString::fromUtf8(format));
}

void Logger::info(const char *format, const QString &arg) const
{
    write(false, substitute(format, arg));
}

void Logger::info(const char *format, int arg) const
{
    write(false, substitute(format, QString::number(arg)));
}

void Logger::error(const char *format) const
{
    write(true, QString::fromUtf8(format));
}

void Logger::error(const char *format, const QString &arg) const
{
    write(true, substitute(format, arg));
}

void Logger::error(const char *format, int arg) const
{
    write(true, substitute(format, QString::number(arg)));
}

void Logger::write(bool isError, const QString &line) const
{
    const QMessageLogger logger(nullptr, 0, nullptr, m_category.constData());
    if (isError)
        logger.critical("%s", qUtf8Printable(line));
    else
        logger.info("%s", qUtf8Printable(line));
}

} // namespace Log4Qt
