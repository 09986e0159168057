#pragma once

#include <QString>
#include <mutex>

namespace sim {

// One line on stderr per request. Every field is cut short and stripped of
// control characters: most of it comes from the client.
class RequestLog
{
public:
    struct Entry
    {
        QString method;
        QString path;
        QString auth; // already masked
        int httpStatus = 0;
        int errorCode = 0;
        QString detail;
        QString faults;
        qint64 elapsedMs = 0;
    };

    explicit RequestLog(bool quiet);

    void write(const Entry &entry);
    static QString sanitized(const QString &text);

private:
    bool m_quiet;
    std::mutex m_mutex;
};

} // namespace sim
