#include "requestlog.h"

#include "simconstants.h"

#include <QDateTime>
#include <cstdio>

namespace sim {

RequestLog::RequestLog(bool quiet)
    : m_quiet(quiet)
{
}

void RequestLog::write(const Entry &entry)
{
    if (m_quiet)
        return;
    QString line = QDateTime::currentDateTimeUtc().toString(Qt::ISODateWithMs) + QLatin1Char(' ')
        + sanitized(entry.method) + QLatin1Char(' ') + sanitized(entry.path);
    if (!entry.auth.isEmpty())
        line += QStringLiteral(" auth=") + sanitized(entry.auth);
    line += QStringLiteral(" -> %1 error_code=%2").arg(entry.httpStatus).arg(entry.errorCode);
    if (!entry.detail.isEmpty())
        line += QLatin1Char(' ') + sanitized(entry.detail);
    if (!entry.faults.isEmpty())
        line += QStringLiteral(" fault=") + sanitized(entry.faults);
    line += QStringLiteral(" %1 ms").arg(entry.elapsedMs);
    const QByteArray bytes = line.toUtf8();
    std::lock_guard<std::mutex> lock(m_mutex);
    std::fprintf(stderr, "%s\n", bytes.constData());
    std::fflush(stderr);
}

QString RequestLog::sanitized(const QString &text)
{
    QString out = text.left(limit::MaxLoggedChars);
    for (QChar &c : out) {
        if (!c.isPrint())
            c = QLatin1Char('?');
    }
    if (text.size() > limit::MaxLoggedChars)
        out += QStringLiteral("...");
    return out;
}

} // namespace sim
