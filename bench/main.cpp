// The project's performance benchmarks: measures, then writes the Markdown
// report (to a file or standard output). Progress goes to standard error.
// Not a test: it exits non-zero only when a benchmark could not run at all.
#include "benchmarkrun.h"
#include "logsilencer.h"
#include "machine.h"
#include "processstats.h"
#include "report.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QFile>
#include <csignal>
#include <cstdio>

namespace {

BenchmarkRun::Options readOptions(const QCommandLineParser &parser)
{
    BenchmarkRun::Options options;
    if (parser.isSet(QStringLiteral("quick"))) {
        options.exchangeRounds = 10;
        options.polls = 5;
        options.waitSeconds = 10;
        options.payments = 100;
        options.loadSamples = 5;
    }
    if (parser.isSet(QStringLiteral("payments")))
        options.payments = qMax(20, parser.value(QStringLiteral("payments")).toInt());
    for (const QString &item : parser.value(QStringLiteral("only")).split(QLatin1Char(','))) {
        if (!item.trimmed().isEmpty())
            options.only << item.trimmed().toInt();
    }
    return options;
}

bool writeReport(const QString &path, const QByteArray &text)
{
    if (path.isEmpty())
        return std::fwrite(text.constData(), 1, size_t(text.size()), stdout) == size_t(text.size());
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(text) == text.size();
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QCommandLineParser parser;
    parser.addHelpOption();
    parser.addOption({ QStringLiteral("output"), QStringLiteral("Write the report to FILE."),
        QStringLiteral("FILE") });
    parser.addOption({ QStringLiteral("quick"),
        QStringLiteral("Fewer and shorter samples, to check that everything runs.") });
    parser.addOption({ QStringLiteral("only"),
        QStringLiteral("Run only these benchmarks, e.g. 1,4 (for a closer look; the report "
                       "then holds only those)."),
        QStringLiteral("LIST") });
    parser.addOption({ QStringLiteral("payments"),
        QStringLiteral("Payments of the memory benchmark (default 1000)."), QStringLiteral("N") });
    parser.addOption({ QStringLiteral("generated-by"),
        QStringLiteral("The command named at the top of the report."), QStringLiteral("TEXT"),
        QStringLiteral("scripts/bench") });
    parser.process(app);

    // A child that exits before reading its input must not end this process.
    std::signal(SIGPIPE, SIG_IGN);
    const LogSilencer silencer;
    const qint64 start = ProcessStats::nowNs();
    Report report;
    BenchmarkRun run(readOptions(parser));
    run.run(report);
    report.setCommand(parser.value(QStringLiteral("generated-by")));
    report.setDuration(double(ProcessStats::nowNs() - start) / 1e9);
    report.setMachine(Machine::description());
    for (const QString &error : run.errors())
        report.addSection(QStringLiteral("Could not be measured"), { error });
    if (!writeReport(parser.value(QStringLiteral("output")), report.markdown().toUtf8())) {
        std::fprintf(stderr, "bench: cannot write the report\n");
        return 1;
    }
    return run.errors().isEmpty() ? 0 : 1;
}
