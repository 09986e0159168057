#pragma once

#include <QString>
#include <QStringList>
#include <QVector>

class BenchService;
class Report;

// Resident memory of this process after many payments through one loaded
// plug-in, against after a few: a leak per payment shows as growth.
class MemoryBench
{
public:
    MemoryBench(BenchService &service, int payments);

    bool run();
    void addTo(Report &report) const;
    QString errorString() const { return m_error; }

private:
    struct Reading
    {
        int payments;
        qint64 residentKiB;
    };

    qint64 secondHalfGrowthKiB() const;
    QStringList details() const;

    BenchService &m_service;
    const int m_payments;
    QVector<Reading> m_readings;
    double m_seconds = 0;
    QString m_error;
};
