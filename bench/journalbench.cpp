#include "journalbench.h"

#include "benchconstants.h"
#include "benchservice.h"
#include "pluginsession.h"
#include "processstats.h"
#include "report.h"
#include "vesanu/journal/paymentjournal.h"

#include <QCoreApplication>
#include <QTemporaryDir>

#include <dlfcn.h>

namespace {

const int WarmUpRounds = 3;
const double MaxSyncsPerPayment = 2;

// Every sync of the process, SQLite's included: this executable's own
// definitions come first in the process's symbol lookup.
int g_syncs = 0;
qint64 g_syncNs = 0;

template<typename Function> Function next(const char *name)
{
    return reinterpret_cast<Function>(dlsym(RTLD_NEXT, name));
}

QString ms(double value)
{
    return QString::number(value, 'f', 2) + QStringLiteral(" ms");
}

} // namespace

template<typename Function> int counted(Function real, int fd)
{
    ++g_syncs;
    const qint64 start = ProcessStats::nowNs();
    const int result = real(fd);
    g_syncNs += ProcessStats::nowNs() - start;
    return result;
}

extern "C" int fsync(int fd)
{
    static const auto real = next<int (*)(int)>("fsync");
    return counted(real, fd);
}

extern "C" int fdatasync(int fd)
{
    static const auto real = next<int (*)(int)>("fdatasync");
    return counted(real, fd);
}

JournalBench::JournalBench(BenchService &service, int rounds)
    : m_service(service)
    , m_rounds(rounds)
{
}

bool JournalBench::run()
{
    // On the disk the build is on, not a memory file system.
    m_folder = QCoreApplication::applicationDirPath();
    QTemporaryDir folder(m_folder + QStringLiteral("/journal-XXXXXX"));
    using vesanu::journal::PaymentJournal;
    PaymentJournal journal;
    if (!folder.isValid() || !journal.open(folder.filePath(QStringLiteral("alone.sqlite")))) {
        m_error = QStringLiteral("the journal did not open: ") + journal.errorString();
        return false;
    }
    PluginSession::Settings settings;
    settings.journal = folder.filePath(QStringLiteral("plugin.sqlite"));
    const PluginSession session(m_service, settings);
    if (!session.isReady()) {
        m_error = QStringLiteral("the plug-in did not load: ") + session.errorString();
        return false;
    }
    // Interleaved, so that both sides see the disk and the machine alike.
    for (int round = 0; round < WarmUpRounds + m_rounds && m_error.isEmpty(); ++round) {
        const bool counted = round >= WarmUpRounds;
        measureJournal(journal, round, counted);
        measurePayment(session, counted);
    }
    return m_error.isEmpty();
}

void JournalBench::measurePayment(const PluginSession &session, bool counted)
{
    const int syncs = g_syncs;
    const qint64 syncNs = g_syncNs;
    const qint64 start = ProcessStats::nowNs();
    if (!session.pay(QLatin1String(bench::PaidAtOnceToken)).isSuccess())
        m_error = QStringLiteral("a payment through the plug-in failed");
    if (!counted)
        return;
    m_payment.add(double(ProcessStats::nowNs() - start) / 1e6);
    m_syncs.add(g_syncs - syncs);
    m_syncMs.add(double(g_syncNs - syncNs) / 1e6);
}

// The journal's two writes of a payment on their own: the entry before the
// request leaves, its ending after the answer.
void JournalBench::measureJournal(vesanu::journal::PaymentJournal &journal, int round, bool counted)
{
    using vesanu::journal::PaymentJournal;
    PaymentJournal::Entry entry;
    entry.transactionId = QStringLiteral("bench-%1").arg(round);
    entry.amount = 12345;
    entry.currency = 398;
    entry.created = round;
    const qint64 start = ProcessStats::nowNs();
    if (!journal.begin(entry, 0) || !journal.settle(entry.transactionId, PaymentJournal::State::Paid))
        m_error = QStringLiteral("a journal write failed: ") + journal.errorString();
    if (counted)
        m_journal.add(double(ProcessStats::nowNs() - start) / 1e6);
}

// The payment's own exchange: the whole payment less its journal writes.
double JournalBench::exchangeMs() const
{
    return m_payment.median() - m_journal.median();
}

double JournalBench::ratio() const
{
    return exchangeMs() > 0 ? m_journal.median() / exchangeMs() : 0;
}

void JournalBench::addTo(Report &report) const
{
    report.addResult(QStringLiteral("6. payment journal: syncs per payment (most of any payment)"),
        QString::number(m_syncs.max(), 'f', 0), QStringLiteral("at most %1").arg(MaxSyncsPerPayment),
        m_syncs.max() <= MaxSyncsPerPayment ? Report::Verdict::Met : Report::Verdict::Missed);
    report.addResult(
        QStringLiteral("6. payment journal: its two writes / the payment's own exchange"),
        QStringLiteral("%1x (%2 beside %3)")
            .arg(ratio(), 0, 'f', 2)
            .arg(ms(m_journal.median()), ms(exchangeMs())),
        QStringLiteral("(reported)"), Report::Verdict::Informational);
    report.addSection(QStringLiteral("6. Payment journal"),
        { QStringLiteral("%1 payments paid at once over HTTP (loopback) through the plug-in, "
                         "journal included, after %2 warm-up payments, each beside a journal "
                         "entry written and settled on its own (SQLite, WAL, "
                         "synchronous=FULL) in a folder under `%3`, on this machine's disk. "
                         "The payment's own exchange is the whole payment less those two "
                         "writes. Syncs are every `fsync` and `fdatasync` of the process "
                         "during a payment.")
                  .arg(m_payment.count())
                  .arg(WarmUpRounds)
                  .arg(m_folder),
            QString(), QStringLiteral("| measured | median | min | max |"),
            QStringLiteral("|---|---|---|---|"),
            QStringLiteral("| payment through the plug-in | %1 | %2 | %3 |")
                .arg(ms(m_payment.median()), ms(m_payment.min()), ms(m_payment.max())),
            QStringLiteral("| the journal's two writes | %1 | %2 | %3 |")
                .arg(ms(m_journal.median()), ms(m_journal.min()), ms(m_journal.max())),
            QStringLiteral("| time in syncs during a payment | %1 | %2 | %3 |")
                .arg(ms(m_syncMs.median()), ms(m_syncMs.min()), ms(m_syncMs.max())),
            QStringLiteral("| syncs per payment | %1 | %2 | %3 |")
                .arg(m_syncs.median())
                .arg(m_syncs.min())
                .arg(m_syncs.max()),
            QString(),
            QStringLiteral("A payment writes the journal twice, one commit and one sync of "
                           "SQLite's write-ahead log each. Every 1000 pages of log (hundreds "
                           "of payments) SQLite folds the log into the database, which costs "
                           "two syncs more for that one payment and one more (the log's "
                           "header) for the next. Opening the journal in `init()` syncs its "
                           "folder and the log's header, at start rather than in a payment. "
                           "None of this falls in these rounds unless the maximum shows it.") });
}
