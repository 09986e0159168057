#pragma once

#include <QString>
#include <QStringList>

class BenchService;
class Report;

// Process CPU time spent during one status wait that runs its full length
// (token "never") at a one-second interval, the busiest setting a till is
// likely to use. Split into the HTTP exchanges, the plug-in's own work on its
// thread (the waiting between polls must sleep, not spin) and the rest.
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
    QString closeness() const;

    BenchService &m_service;
    const int m_seconds;
    double m_wallMs = 0;
    double m_cpuMs = 0;
    double m_exchangeCpuMs = 0;
    // This thread's CPU time outside the exchanges: the plug-in's own work.
    double m_pluginCpuMs = 0;
    int m_exchanges = 0;
    QString m_error;
};
