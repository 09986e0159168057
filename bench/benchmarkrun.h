#pragma once

#include <QStringList>

class BenchService;
class Report;

// Runs every benchmark once, in a fixed order, and puts what each found
// into the report. A benchmark that cannot run is noted and the rest go on.
class BenchmarkRun
{
public:
    struct Options
    {
        int exchangeRounds = 50;
        int polls = 20;
        int waitSeconds = 30;
        int payments = 1000;
        int loadSamples = 30;
        // Numbers of the benchmarks to run; empty for all.
        QList<int> only;
    };

    explicit BenchmarkRun(const Options &options);

    void run(Report &report);
    QStringList errors() const { return m_errors; }

private:
    template<typename Bench> void measure(const QString &title, Bench &bench, Report &report);
    bool wanted(int number) const;

    Options m_options;
    QStringList m_errors;
};
