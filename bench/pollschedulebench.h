#pragma once

#include "samples.h"

#include <QString>
#include <QVector>

class BenchService;
class Report;

// A status wait of a fixed number of polls at a one-second interval: how far
// each poll lands from the schedule start + k x interval, seen from the
// plug-in (when it hands the request to the HTTP client) and from the
// service (its request log, to the millisecond).
class PollScheduleBench
{
public:
    PollScheduleBench(BenchService &service, int polls);

    bool run();
    void addTo(Report &report) const;
    QString errorString() const { return m_error; }

private:
    QStringList details() const;
    static Samples deviations(const QVector<qint64> &timesNs);
    QVector<qint64> serviceTimesNs() const;

    BenchService &m_service;
    const int m_polls;
    Samples m_clientMs;
    Samples m_serviceMs;
    double m_wallMs = 0;
    double m_cpuMs = 0;
    QString m_error;
};
