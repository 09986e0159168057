#pragma once

#include "samples.h"

#include <QString>

class Report;

// Loading the payment plug-in, creating its instance and init(), against
// loading an empty Qt plug-in: a fresh process per sample, interleaved.
class LoadBench
{
public:
    explicit LoadBench(int samples);

    bool run();
    void addTo(Report &report) const;
    QString errorString() const { return m_error; }

private:
    bool sample(const QString &plugin, Samples *samples);
    double ratio() const;

    const int m_samples;
    Samples m_payment;
    Samples m_empty;
    QString m_error;
};
