#include "timedrestclient.h"

#include "processstats.h"

namespace {

// The plug-in runs on this thread alone; nothing else touches the list.
QVector<TimedRestClient::Call> recorded;
MockFactory<RestClient>::Creator saved;

} // namespace

bool TimedRestClient::request(const int &operation, const QUrl &url, const QJsonDocument &body,
    const QHash<QString, QString> &headers)
{
    const qint64 start = ProcessStats::nowNs();
    const qint64 cpuStart = ProcessStats::cpuTimeNs();
    const qint64 threadCpuStart = ProcessStats::threadCpuTimeNs();
    const bool completed = RestClient::request(operation, url, body, headers);
    recorded.append({ start, ProcessStats::cpuTimeNs() - cpuStart,
        ProcessStats::threadCpuTimeNs() - threadCpuStart, operation });
    return completed;
}

void TimedRestClient::install()
{
    recorded.clear();
    saved = MockFactory<RestClient>::creator;
    MockFactory<RestClient>::creator
        = [] { return QSharedPointer<RestClient>(new TimedRestClient); };
}

void TimedRestClient::uninstall()
{
    MockFactory<RestClient>::creator = saved;
}

QVector<TimedRestClient::Call> TimedRestClient::calls()
{
    return recorded;
}

qint64 TimedRestClient::totalCpuNs()
{
    qint64 total = 0;
    for (const Call &call : recorded)
        total += call.cpuNs;
    return total;
}

qint64 TimedRestClient::totalThreadCpuNs()
{
    qint64 total = 0;
    for (const Call &call : recorded)
        total += call.threadCpuNs;
    return total;
}
