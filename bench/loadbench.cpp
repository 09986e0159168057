#include "loadbench.h"

#include "benchconstants.h"
#include "benchservice.h"
#include "childprocess.h"
#include "report.h"
#include "support/loadedplugin.h"

#include <QFile>
#include <QTemporaryDir>

namespace {

QString us(double value)
{
    return QString::number(value / 1000, 'f', 2) + QStringLiteral(" ms");
}

} // namespace

LoadBench::LoadBench(int samples)
    : m_samples(samples)
{
}

bool LoadBench::sample(const QString &plugin, Samples *samples)
{
    const ChildProcess::Result child
        = ChildProcess::run(QStringLiteral(BENCH_LOAD_PROBE), { plugin });
    bool ok = false;
    const double microseconds = child.output.trimmed().toDouble(&ok);
    if (!child.started || child.exitCode != 0 || !ok) {
        m_error = QStringLiteral("loading %1 failed: %2")
                      .arg(plugin, QString::fromLocal8Bit(child.output.left(300)));
        return false;
    }
    samples->add(microseconds);
    return true;
}

bool LoadBench::run()
{
    // The probes read the same kind of settings file a till has.
    QTemporaryDir root;
    LoadedPlugin::writeIni(root.path(),
        QStringLiteral("[VesaNu]\nhost=http://127.0.0.1:9\ncashboxCode=%1\nbranchId=%2\n"
                       "secretKey=%3\n")
            .arg(QLatin1String(BenchService::Cashbox), QLatin1String(BenchService::Branch),
                QLatin1String(BenchService::Secret)));
    qputenv(bench::ConfigRootVariable, QFile::encodeName(root.path()));
    // One of each first: the file system's caches are then warm for both.
    bool ok = sample(QStringLiteral(BENCH_VESANU_PLUGIN), &m_payment)
        && sample(QStringLiteral(BENCH_EMPTY_PLUGIN), &m_empty);
    m_payment = Samples();
    m_empty = Samples();
    for (int i = 0; ok && i < m_samples; ++i) {
        ok = sample(QStringLiteral(BENCH_VESANU_PLUGIN), &m_payment)
            && sample(QStringLiteral(BENCH_EMPTY_PLUGIN), &m_empty);
    }
    qunsetenv(bench::ConfigRootVariable);
    return ok;
}

double LoadBench::ratio() const
{
    return m_empty.median() > 0 ? m_payment.median() / m_empty.median() : 0;
}

void LoadBench::addTo(Report &report) const
{
    report.addResult(QStringLiteral("5. load + instance + `init()`: payment plug-in / empty "
                                    "plug-in"),
        QStringLiteral("%1x (%2 vs %3)")
            .arg(ratio(), 0, 'f', 1)
            .arg(us(m_payment.median()), us(m_empty.median())),
        QStringLiteral("(reported)"), Report::Verdict::Informational);
    report.addSection(QStringLiteral("5. Loading the plug-in"),
        { QStringLiteral("%1 samples each, alternating, each in a new process that, like the "
                         "host, already links Qt Core and Network and the host's libraries. "
                         "Timed inside the probe from before `QPluginLoader::instance()` to "
                         "after the instance is ready (`init()` for the payment plug-in).")
                .arg(m_payment.count()),
            QString(), QStringLiteral("| plug-in | median | min | max |"),
            QStringLiteral("|---|---|---|---|"),
            QStringLiteral("| libProcessingVesaNu.so | %1 | %2 | %3 |")
                .arg(us(m_payment.median()), us(m_payment.min()), us(m_payment.max())),
            QStringLiteral("| empty Qt plug-in | %1 | %2 | %3 |")
                .arg(us(m_empty.median()), us(m_empty.min()), us(m_empty.max())) });
}
