#include "faultbench.h"

#include "contract/paymentprocessinganswer.h"
#include "ledgerview.h"
#include "support/loadedplugin.h"
#include "vesanu/journal/paymentjournal.h"

#include <QDir>

using vesanu::journal::PaymentJournal;

namespace {

const char kSection[] = "The journal moved under a running register";
const int kSectionOrder = 8;
const char kFolder[] = "journal";
const char kMovedFolder[] = "journal.moved";
const char kFileName[] = "journal.sqlite";
// One status question, then the void.
const char kShortWait[] = "payDuration=1\nstatusRequestInterval=1\n";

// One register process: a payment, then the journal's folder renamed away
// (and, when `replaced`, a new journal made at the path), then a payment.
struct MoveCase
{
    const char *name;
    const char *done;
    const char *before; // the first payment's token
    bool replaced;
    bool success; // what the second payment's host is told
    const char *key;
};

const MoveCase kMoves[] = {
    // The open entry lives in the moved file only: a payment recorded elsewhere
    // would never be settled with it.
    { "moved with a payment open",
        "a payment pending, its void refused (void-pending); the journal's folder renamed; "
        "the next payment", "never+reverse-fail", false, false, "vesaNuJournalUnavailable" },
    { "replaced with nothing open",
        "a payment paid; the journal's folder renamed and a new journal made at the path; "
        "the next payment", "4111", true, true, "" },
};

class JournalMoved : public FaultBench
{
protected:
    // Where the second payment is recorded: its state in the file at the path.
    static QString recordedState(const QString &path, const QString &transaction)
    {
        PaymentJournal journal;
        PaymentJournal::Entry entry;
        bool found = false;
        if (!journal.open(path, PaymentJournal::Access::Read)
            || !journal.find(transaction, &entry, &found))
            return QStringLiteral("unreadable: ") + journal.errorString();
        return found ? QString::fromLatin1(PaymentJournal::stateName(entry.state))
                     : QStringLiteral("absent");
    }

    void moveAndPay(const MoveCase &c)
    {
        SCOPED_TRACE(c.name);
        SimulatorProcess *simulator = farm().simulator(Target::Http);
        ASSERT_NE(simulator, nullptr) << farm().errorString().toStdString();
        QTemporaryDir root;
        QDir folder(root.path());
        ASSERT_TRUE(folder.mkdir(kFolder));
        const QString path = folder.filePath(QStringLiteral("%1/%2").arg(kFolder, kFileName));
        const QString ini = iniFor(simulator->baseUrl(), kShortWait)
            + QStringLiteral("journal=%1\n").arg(path);

        PaymentProcessingAnswer answer;
        QByteArray requests;
        {
            LoadedPlugin plugin(ini);
            ASSERT_TRUE(plugin.processing()) << "the plug-in did not load";
            pay(plugin.processing(), QString::fromLatin1(c.before));
            ASSERT_TRUE(folder.rename(kFolder, kMovedFolder));
            if (c.replaced) {
                ASSERT_TRUE(folder.mkdir(kFolder));
                PaymentJournal other;
                ASSERT_TRUE(other.open(path)) << other.errorString().toStdString();
            }
            const int logOffset = simulator->log().size();
            answer = pay(plugin.processing(), QStringLiteral("4111"));
            requests = simulator->log().mid(logOffset);
        }
        const QString transaction
            = answer.getAdditionalInfo().value(QStringLiteral("rrn")).toString();
        const LedgerView ledger(
            simulator->payment(transaction), requests, simulator->apiUrl().path());
        const QString recorded = recordedState(path, transaction);

        ScenarioRow row;
        row.sectionOrder = kSectionOrder;
        row.section = QString::fromUtf8(kSection);
        row.name = QString::fromLatin1(c.name);
        const QString settings = QString::fromLatin1(kShortWait).trimmed().replace(
            QLatin1Char('\n'), QStringLiteral(", "));
        row.done = QStringLiteral("%1 [first token %2, %3]")
                       .arg(QString::fromUtf8(c.done), QString::fromLatin1(c.before), settings);
        const auto told = [](bool success, const QString &key) {
            return success ? QStringLiteral("success") : QStringLiteral("failure `%1`").arg(key);
        };
        row.expected = told(c.success, QString::fromLatin1(c.key))
            + (c.success ? QStringLiteral(", in the new file: paid")
                         : QStringLiteral(", nothing sent"));
        const QString sent = ledger.apiRequests() == 0
            ? QStringLiteral(", nothing sent")
            : QStringLiteral(", %1 request(s) sent").arg(ledger.apiRequests());
        row.observed = told(answer.isSuccess(), answer.getMessage().key())
            + (c.success ? QStringLiteral(", in the new file: %1").arg(recorded) : sent);
        row.ledger = ledger.describe(Operation::Pay);
        const bool completed = ledger.completed(Operation::Pay);
        row.falseSuccess = answer.isSuccess() && !completed;
        row.limbo = completed && !answer.isSuccess();
        row.unexpected = row.observed != row.expected;
        EXPECT_FALSE(row.falseSuccess) << row.ledger.toStdString();
        EXPECT_FALSE(row.limbo) << row.ledger.toStdString();
        EXPECT_EQ(row.observed, row.expected) << row.ledger.toStdString();
        keep(row);
    }
};

} // namespace

// A journal moved under a running register takes its open entries with it:
// no payment leaves until it is back. One with nothing open is let go, and
// the file at the path keeps the next payment.
TEST_F(JournalMoved, APaymentLeavesOnlyIntoTheJournalAtItsPath)
{
    for (const MoveCase &c : kMoves)
        moveAndPay(c);
}
