#include "journalbench.h"

#include "benchconstants.h"
#include "benchservice.h"
#include "pluginsession.h"
#include "processstats.h"
#include "report.h"
#include "vesanu/journal/paymentjournal.h"

#include <QCoreApplication>
#include <QFile>
#include <QTemporaryDir>

#include <dlfcn.h>
#include <sqlite3.h>

namespace {

using vesanu::journal::PaymentJournal;

const int WarmUpRounds = 3;
const int OpenRounds = 5;
const double MaxSyncsPerPayment = 2;
const qint64 Day = 24 * 3600;
const qint64 Now = 20000 * Day;
const qint64 KeepSince = Now - 35 * Day; // journalKeepDays' default
const int PruneBatch = 100; // entries a payment's prune deletes at most
// 35 days of 300 payments, then ten times more, and all of those past the
// keep age after a long pause (the bounded prune's case).
const struct
{
    int entries;
    bool pastKeepAge;
} Cases[] = {{0, false}, {10500, false}, {100000, false}, {100000, true}};

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

double msSince(qint64 start)
{
    return double(ProcessStats::nowNs() - start) / 1e6;
}

// Paid entries put in with SQLite in one commit, as the years would have,
// then the log folded into the file; false when SQLite refused.
bool fill(const QString &path, int entries, qint64 created, Samples *checkMs)
{
    sqlite3 *db = nullptr;
    const QByteArray sql =
        QStringLiteral("WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < %1)"
                       " INSERT INTO payments (transaction_id, amount, currency, created, state)"
                       " SELECT 'old-' || i, 12345, 398, %2 + i, 'paid' FROM n WHERE %1 > 0;"
                       " PRAGMA wal_checkpoint(TRUNCATE);")
            .arg(entries)
            .arg(created)
            .toUtf8();
    bool filled = sqlite3_open(QFile::encodeName(path).constData(), &db) == SQLITE_OK
                  && sqlite3_exec(db, sql.constData(), nullptr, nullptr, nullptr) == SQLITE_OK;
    sqlite3_close(db);
    for (int round = 0; filled && round < OpenRounds; ++round) {
        const qint64 start = ProcessStats::nowNs();
        filled = sqlite3_open(QFile::encodeName(path).constData(), &db) == SQLITE_OK
                 && sqlite3_exec(db, "PRAGMA quick_check", nullptr, nullptr, nullptr) == SQLITE_OK;
        sqlite3_close(db);
        checkMs->add(msSince(start));
    }
    return filled;
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
    for (const auto &setting : Cases) {
        m_cases.append(Case{setting.entries, setting.pastKeepAge, {}, {}, {}, {}});
        if (!measureJournal(m_cases.last()))
            return false;
    }
    QTemporaryDir folder(m_folder + QStringLiteral("/journal-XXXXXX"));
    PluginSession::Settings settings;
    settings.journal = folder.filePath(QStringLiteral("plugin.sqlite"));
    const PluginSession session(m_service, settings);
    if (!session.isReady()) {
        m_error = QStringLiteral("the plug-in did not load: ") + session.errorString();
        return false;
    }
    for (int round = 0; round < WarmUpRounds + m_rounds && m_error.isEmpty(); ++round)
        measurePayment(session, round >= WarmUpRounds);
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
    m_payment.add(msSince(start));
    m_syncs.add(g_syncs - syncs);
    m_syncMs.add(double(g_syncNs - syncNs) / 1e6);
}

// A payment's writes on their own, as the plug-in makes them: the entry
// before the request leaves, its ending after the answer, and the prune of
// at most PruneBatch entries past the keep age. After a long pause every
// round counts: each is a first payment with a full batch to delete.
bool JournalBench::measureJournal(Case &measured)
{
    QTemporaryDir folder(m_folder + QStringLiteral("/journal-XXXXXX"));
    const QString path = folder.filePath(QStringLiteral("journal.sqlite"));
    PaymentJournal journal;
    bool ready = folder.isValid() && journal.open(path);
    journal.close();
    ready = ready && fill(path, measured.entries, measured.pastKeepAge ? KeepSince - 2 * Day : Now - Day,
                          &measured.checkMs);
    for (int round = 0; ready && round < OpenRounds; ++round) {
        journal.close();
        const qint64 start = ProcessStats::nowNs();
        ready = journal.open(path);
        measured.openMs.add(msSince(start));
    }
    const int warmUp = measured.pastKeepAge ? 0 : WarmUpRounds;
    for (int round = 0; ready && round < warmUp + m_rounds; ++round) {
        PaymentJournal::Entry entry;
        entry.transactionId = QStringLiteral("bench-%1").arg(round);
        entry.amount = 12345;
        entry.currency = 398;
        entry.created = Now + round;
        const int syncs = g_syncs;
        const qint64 start = ProcessStats::nowNs();
        entry.state = PaymentJournal::State::InFlight;
        ready = journal.insert(entry);
        entry.state = PaymentJournal::State::Paid;
        ready = ready && journal.update(entry) && journal.prune(KeepSince, PruneBatch);
        if (round >= warmUp) {
            measured.ms.add(msSince(start));
            measured.syncs.add(g_syncs - syncs);
        }
    }
    if (!ready)
        m_error = QStringLiteral("the journal at %1 entries failed: %2")
                      .arg(measured.entries)
                      .arg(journal.errorString());
    return ready;
}

// The payment's own exchange: the whole payment less the time it spent in
// the journal's syncs, both measured in the same payments (the separate
// writes below run at another moment, and a busy disk moves them apart).
double JournalBench::exchangeMs() const
{
    return m_payment.median() - m_syncMs.median();
}

QString JournalBench::caseName(const Case &measured) const
{
    if (measured.pastKeepAge)
        return QStringLiteral("%1 entries past keep age (first payments after a long pause)")
            .arg(measured.entries);
    return measured.entries == 10500 ? QStringLiteral("10500 entries (35 days of 300 payments)")
                                     : QStringLiteral("%1 entries").arg(measured.entries);
}

void JournalBench::addTo(Report &report) const
{
    report.addResult(QStringLiteral("6. payment journal: syncs per payment (most of any payment)"),
        QString::number(m_syncs.max(), 'f', 0), QStringLiteral("at most %1").arg(MaxSyncsPerPayment),
        m_syncs.max() <= MaxSyncsPerPayment ? Report::Verdict::Met : Report::Verdict::Missed);
    QStringList rows;
    for (const Case &measured : m_cases) {
        const double ratio = exchangeMs() > 0 ? measured.ms.median() / exchangeMs() : 0;
        report.addResult(QStringLiteral("6. payment journal, %1: a payment's writes / the "
                                        "payment's own exchange")
                             .arg(caseName(measured)),
            QStringLiteral("%1x (%2 beside %3)")
                .arg(ratio, 0, 'f', 2)
                .arg(ms(measured.ms.median()), ms(exchangeMs())),
            QStringLiteral("(reported)"), Report::Verdict::Informational);
        rows << QStringLiteral("| %1 | %2 | %3 | %4 | %5 / %6 | %7 | %8 |")
                    .arg(caseName(measured), ms(measured.ms.median()), ms(measured.ms.min()),
                         ms(measured.ms.max()))
                    .arg(measured.syncs.median())
                    .arg(measured.syncs.max())
                    .arg(ms(measured.openMs.median()), ms(measured.checkMs.median()));
    }
    const Case &largest = m_cases.value(2);
    report.addResult(QStringLiteral("6. payment journal: opening it, PRAGMA quick_check included, "
                                    "at %1 entries")
                         .arg(largest.entries),
        QStringLiteral("%1 (quick_check alone %2)")
            .arg(ms(largest.openMs.median()), ms(largest.checkMs.median())),
        QStringLiteral("(reported)"), Report::Verdict::Informational);
    report.addSection(QStringLiteral("6. Payment journal"),
        QStringList{ QStringLiteral("%1 payments paid at once over HTTP (loopback) through the "
                                    "plug-in, journal included, after %2 warm-up payments. Beside "
                                    "them, a payment's journal writes on their own (SQLite, WAL, "
                                    "synchronous=FULL) in a folder under `%3`, on this machine's "
                                    "disk: the entry inserted, updated to paid, and the prune of at "
                                    "most %4 entries past the keep age (35 days), %5 rounds at each "
                                    "size of journal after %2 warm-up rounds. After a long pause "
                                    "every round counts without warm-up, each deleting a full batch. "
                                    "The payment's own exchange is the whole payment less the time "
                                    "it spent in syncs. Syncs are every `fsync` and `fdatasync` of "
                                    "the process.")
                         .arg(m_payment.count())
                         .arg(WarmUpRounds)
                         .arg(m_folder)
                         .arg(PruneBatch)
                         .arg(m_rounds),
            QString(), QStringLiteral("| measured | median | min | max |"),
            QStringLiteral("|---|---|---|---|"),
            QStringLiteral("| payment through the plug-in | %1 | %2 | %3 |")
                .arg(ms(m_payment.median()), ms(m_payment.min()), ms(m_payment.max())),
            QStringLiteral("| time in syncs during a payment | %1 | %2 | %3 |")
                .arg(ms(m_syncMs.median()), ms(m_syncMs.min()), ms(m_syncMs.max())),
            QStringLiteral("| syncs per payment | %1 | %2 | %3 |")
                .arg(m_syncs.median())
                .arg(m_syncs.min())
                .arg(m_syncs.max()),
            QString(),
            QStringLiteral("| journal | a payment's writes: median | min | max | syncs: median / "
                           "max | opening it (median of %1) | quick_check alone |")
                .arg(OpenRounds),
            QStringLiteral("|---|---|---|---|---|---|---|") }
            + rows
            + QStringList{ QString(),
                  QStringLiteral("Each write is one commit and one sync of SQLite's write-ahead "
                                 "log; a prune that finds nothing to delete writes nothing. Every "
                                 "1000 pages of log SQLite folds the log into the database, which "
                                 "costs two syncs more for that one payment and one more (the "
                                 "log's header) for the next. Opening the journal checks it "
                                 "(`PRAGMA quick_check`, which reads every page), writes its "
                                 "version and syncs its folder, at start rather than in a "
                                 "payment; the file's pages are in the system's cache here.") });
}
