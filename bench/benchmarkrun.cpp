#include "benchmarkrun.h"

#include "benchservice.h"
#include "exchangebench.h"
#include "journalbench.h"
#include "loadbench.h"
#include "memorybench.h"
#include "pollschedulebench.h"
#include "report.h"
#include "waitcpubench.h"

#include <cstdio>

namespace {

void progress(const QString &text)
{
    std::fprintf(stderr, "bench: %s\n", qPrintable(text));
    std::fflush(stderr);
}

} // namespace

BenchmarkRun::BenchmarkRun(const Options &options)
    : m_options(options)
{
}

template<typename Bench>
void BenchmarkRun::measure(const QString &title, Bench &bench, Report &report)
{
    progress(title);
    if (bench.run()) {
        bench.addTo(report);
        return;
    }
    m_errors << title + QStringLiteral(": ") + bench.errorString();
    progress(QStringLiteral("  failed: ") + bench.errorString());
}

bool BenchmarkRun::wanted(int number) const
{
    return m_options.only.isEmpty() || m_options.only.contains(number);
}

void BenchmarkRun::run(Report &report)
{
    if (wanted(5)) {
        LoadBench load(m_options.loadSamples);
        measure(QStringLiteral("5. loading the plug-in"), load, report);
    }
    if (!wanted(1) && !wanted(2) && !wanted(3) && !wanted(4) && !wanted(6))
        return;

    BenchService http(BenchService::Http);
    BenchService https(BenchService::Https);
    // Its own simulator, with a request log: the service's view of the polls.
    BenchService logged(BenchService::Http);
    for (BenchService *service : { &http, &https, &logged }) {
        if (!service->start(service == &logged)) {
            m_errors << QStringLiteral("simulator: ") + service->errorString();
            progress(m_errors.last());
            return;
        }
    }
    for (BenchService *service : { &http, &https }) {
        ExchangeBench exchange(*service, m_options.exchangeRounds);
        if (wanted(1))
            measure(QStringLiteral("1. payment exchange over ") + service->transportName(),
                exchange, report);
    }
    PollScheduleBench schedule(logged, m_options.polls);
    if (wanted(2))
        measure(QStringLiteral("2. status-wait schedule"), schedule, report);
    WaitCpuBench cpu(http, m_options.waitSeconds);
    if (wanted(3))
        measure(QStringLiteral("3. CPU time during a status wait"), cpu, report);
    JournalBench journal(http, m_options.exchangeRounds);
    if (wanted(6))
        measure(QStringLiteral("6. payment journal"), journal, report);
    for (BenchService *service : { &http, &https }) {
        MemoryBench memory(*service, m_options.payments);
        if (wanted(4))
            measure(QStringLiteral("4. resident memory over ") + service->transportName(), memory,
                report);
    }
}
