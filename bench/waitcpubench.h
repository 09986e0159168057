#pragma once

#include <QString>
#include <QStringList>

class BenchService;
class Report;

// Process CPU time spent during one status wait that runs its full length
// (token "never") at a one-second interval, the busiest setting a till is
// likely to use. Split into what the HTTP exchanges take and the rest: the
// waiting between polls must sleep, not spin.
class WaitCpuBench
{
public:
    WaitCpuBench(BenchService &service, int seconds);

    bool run();
    void addTo(Report &report) const;
    QString errorString() const { return m_error; }

private:
    double share(double cpuMs) const;
    QStringList details() const;
    QString atDefaultInterval() const;

    BenchService &m_service;
    const int m_seconds;
    double m_wallMs = 0;
    double m_cpuMs = 0;
    double m_exchangeCpuMs = 0;
    int m_exchanges = 0;
    QString m_error;
};
