#pragma once

#include "network/restclient.h"

#include <QVector>

// The host's HTTP client, unchanged, except that it notes the monotonic time
// at which the plug-in hands it each request, and the process CPU time the
// exchange takes. Installed as the process's client creator, it shows when
// the plug-in sends its polls and what the waiting between them costs.
class TimedRestClient : public RestClient
{
public:
    struct Call
    {
        qint64 startNs;
        qint64 cpuNs;
        // The calling thread's share of cpuNs.
        qint64 threadCpuNs;
        int operation;
    };

    bool request(const int &operation, const QUrl &url, const QJsonDocument &body,
        const QHash<QString, QString> &headers) override;

    // Puts this client in the creator's place until uninstall().
    static void install();
    static void uninstall();
    static QVector<Call> calls();
    static qint64 totalCpuNs();
    static qint64 totalThreadCpuNs();
};
