#include "faultbench.h"

#include "ledgerview.h"
#include "network/restclient.h"
#include "vesanu/journal/paymentjournal.h"

#include <QDateTime>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QProcess>
#include <QThread>
#include <QUuid>

using vesanu::journal::PaymentJournal;

namespace {

const char kSection[] = "A register killed mid-payment (SIGKILL), then started again";
const int kSectionOrder = 6;
const char kStorageSection[] = "The journal's storage failing under a payment, then started again";
const int kStorageSectionOrder = 7;

const qint64 kAmount = 4550;
const int kCurrency = 398;
// Past the default journalRetryDays (7): an entry old enough to be given up.
const qint64 kLongAgoSeconds = 8 * 24 * 3600;
const char kVoidPending[] = "void-pending";

// Where the host process is stopped.
enum class Kill {
    BeforeSend, // the shim, at the connect() to the service: the entry is written, nothing left
    AnswerHeld, // from outside, once the service recorded the payment; its answer is held back
    StatusWait, // from outside, once the service was asked its status
    DuringVoid, // from outside, once the service took the void; its answer is held back
    Answered, // the shim, at the journal's next write: the final answer is in, not recorded
    // Not by this test: a register that died in its status wait 8 days ago and was off
    // since. The payment is made at the service by hand, its entry written in flight.
    LongAgo,
    Never, // the payment ends and the host is told; the register then starts again
};

struct CrashCase
{
    const char *name;
    const char *done;
    Kill kill;
    const char *token;
    int restartAfterMs; // after the payment started
    int judgeAfterMs = 0; // the ledger is read then at the earliest (after a late confirmation)
    int maxReversals = 1;
    int starts = 1; // starts after the payment; each but the last leaves it void-pending
    const char *failure = nullptr; // Kill::Never: the failure the host is told; null: success
    // The storage shim's fault while the payment runs, its calls counted from the
    // payment's connect(), so that the syncs of opening the journal do not count.
    const char *storageFault = nullptr;
};

const CrashCase kCrashes[] = {
    { "kill before send", "killed at connect(), after the journal write; confirmed at 1 s",
        Kill::BeforeSend, "never+confirm-late:1000", 1500 },
    { "kill awaiting answer", "killed once the service took the payment, its answer held 5 s; "
        "confirmed at 1.5 s", Kill::AnswerHeld, "never+delay:5000+confirm-late:1500", 2500 },
    { "kill in status wait", "killed after the first status question; confirmed at 2 s",
        Kill::StatusWait, "never+confirm-late:2000", 3000 },
    // A refused void reads Failed at the service, which still holds the payment.
    { "kill during a refused void",
        "not known to the service, then its void refused and that answer held; confirmed at 2.5 s",
        Kill::DuringVoid,
        "never+status-fault:notfound@1+reverse-fail@1+reversal-fault:delay:3000@1+confirm-late:2500",
        1000, 3000, 2 },
    { "kill before recording", "paid at once, killed at the journal write that would record it",
        Kill::Answered, "4111", 500 },
    { "no kill", "paid at once and the host told so, then started again", Kill::Never, "4111",
        500 },
    // A service that refuses the void and answers 404 "not known" keeps the money;
    // it named the payment before, so "not known" proves nothing.
    { "kill in status wait, void not known",
        "killed after the first status question; at the first start the void refused with 404 "
        "'not known'; confirmed at 1 s", Kill::StatusWait,
        "never+confirm-late:1000+reverse-fail@1+reversal-fault:notfound@1", 0, 1500, 2, 2 },
    { "void not known, then again at the start",
        "pending, then a status 404 'not known' ends the wait; the course's void and the first "
        "start's refused with 404 'not known'; confirmed at 1 s", Kill::Never,
        "never+status-fault:notfound@1+reverse-fail@2+reversal-fault:notfound@2+confirm-late:1000",
        0, 1500, 3, 2, "vesaNuPaymentInDoubt" },
    { "killed 8 days ago", "pending at the service, its entry in flight and 8 days old, past the "
        "retry age; confirmed at 1 s", Kill::LongAgo, "never+confirm-late:1000", 0, 1500 },
};

// The storage shim fails the sync of the commit that records the success
// (the first sync of the journal after the payment's connect()).
const CrashCase kStorageFaults[] = {
    { "success's sync fails once", "paid at once; that sync fails once, then the register "
        "starts again without the fault", Kill::Never, "4111", 0, 0, 0, 1, nullptr, "fsync:1" },
    // Known to fail: the commit whose sync failed is on disk all the same and reads
    // paid at the next start, while the decision to void never reached the file.
    { "success's sync fails for good", "paid at once; that sync and every later one fail, the "
        "void refused once, then the register starts again without the fault", Kill::Never,
        "4111+reverse-fail@1", 0, 0, 2, 1, "vesaNuPaymentInDoubt", "fsync:1+" },
};

QString hostProgram()
{
    return QStringLiteral(VESANU_RUNTIME_DIR "/vesanu-host");
}

class RegisterKilled : public FaultBench
{
protected:
    void SetUp() override
    {
        FaultBench::SetUp();
        ASSERT_TRUE(m_root.isValid());
        m_simulator = farm().simulator(Target::Http);
        ASSERT_NE(m_simulator, nullptr) << farm().errorString().toStdString();
    }

    QString journalPath(const CrashCase &c) const
    {
        return m_root.filePath(QString::fromLatin1(c.name) + QStringLiteral(".sqlite"));
    }

    QString writeIni(const CrashCase &c) const
    {
        const QString path = m_root.filePath(QString::fromLatin1(c.name) + QStringLiteral(".ini"));
        QFile file(path);
        file.open(QIODevice::WriteOnly | QIODevice::Truncate);
        file.write(QStringLiteral("[VesaNu]\nhost=%1\ntimeout=1\npayDuration=10\n"
                                  "statusRequestInterval=1\ncashboxCode=%2\nbranchId=%3\n"
                                  "secretKey=\"%4\"\njournal=%5\n")
                       .arg(m_simulator->baseUrl().toString(), ServiceFarm::Cashbox,
                           ServiceFarm::Branch, ServiceFarm::Secret, journalPath(c))
                       .toUtf8());
        return path;
    }

    // One run of the host to its end; its JSON answer.
    static QJsonObject host(const QStringList &arguments, const QString &ini)
    {
        QProcess process;
        process.start(hostProgram(), QStringList(arguments) << "--ini" << ini << "--json");
        if (!process.waitForFinished(30000))
            process.kill();
        return QJsonDocument::fromJson(process.readAllStandardOutput()).object();
    }

    static QJsonArray openEntries(const QString &ini)
    {
        return host({ "journal" }, ini).value(QStringLiteral("open")).toArray();
    }

    // The payment the simulator recorded after the `known` ones before it.
    QJsonObject newPayment(int known) const
    {
        const QJsonArray payments
            = m_simulator->ledger().value(QStringLiteral("payments")).toArray();
        return payments.size() > known ? payments.at(known).toObject() : QJsonObject();
    }

    int paymentCount() const
    {
        return m_simulator->ledger().value(QStringLiteral("payments")).toArray().size();
    }

    static void preload(QProcessEnvironment *environment, const QString &shim)
    {
        environment->insert("LD_PRELOAD", shim);
#if defined(__SANITIZE_ADDRESS__)
        // The shim comes before AddressSanitizer's run time, which then must not object.
        environment->insert("ASAN_OPTIONS",
            environment->value("ASAN_OPTIONS") + QStringLiteral(":verify_asan_link_order=0"));
#endif
    }

    // Pays with the host process and stops it at the case's point. Returns
    // whether the process was killed; `told` is what it printed if it was not.
    bool payAndKill(const CrashCase &c, const QString &ini, QJsonObject *told)
    {
        const int known = paymentCount();
        QProcess process;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        const QString port = QString::number(m_simulator->baseUrl().port());
        if (c.kill == Kill::BeforeSend || c.kill == Kill::Answered) {
            preload(&environment, QStringLiteral(VESANU_KILL_SHIM));
            environment.insert("VESANU_KILL_AT",
                (c.kill == Kill::BeforeSend ? QStringLiteral("connect:") : QStringLiteral("answered:"))
                    + port);
        }
        if (c.storageFault) {
            preload(&environment, QStringLiteral(VESANU_STORAGE_SHIM));
            environment.insert("VESANU_STORAGE_FILE", QFileInfo(journalPath(c)).fileName());
            environment.insert("VESANU_STORAGE_FAULT", QString::fromLatin1(c.storageFault));
            environment.insert("VESANU_STORAGE_FROM", QStringLiteral("connect:") + port);
        }
        process.setProcessEnvironment(environment);
        process.start(hostProgram(),
            { "pay", "--amount", "45.50", "--token", QString::fromLatin1(c.token), "--ini", ini,
                "--json" });
        if (c.kill == Kill::AnswerHeld || c.kill == Kill::StatusWait || c.kill == Kill::DuringVoid) {
            const char *counter = c.kill == Kill::AnswerHeld ? "payment_requests"
                : c.kill == Kill::StatusWait                 ? "status_queries"
                                                             : "reversal_requests";
            QElapsedTimer waited;
            waited.start();
            while (newPayment(known).value(QLatin1String(counter)).toInt() < 1
                && waited.elapsed() < 10000)
                QThread::msleep(20);
            process.kill();
        }
        process.waitForFinished(30000);
        *told = QJsonDocument::fromJson(process.readAllStandardOutput()).object();
        return process.exitStatus() == QProcess::CrashExit;
    }

    // Kill::LongAgo: the payment made at the service by hand, as the register
    // sent it, and its entry written in flight with its age. Its identifier.
    QString payLongAgo(const CrashCase &c)
    {
        const QString id = QUuid::createUuid().toString(QUuid::WithoutBraces);
        const QJsonObject body { { "amount", kAmount },
            { "otp_data", QString::fromLatin1(c.token) }, { "cashbox_code", ServiceFarm::Cashbox },
            { "transaction_id", id } };
        const QHash<QString, QString> headers { { "Accept", "application/json" },
            { "Content-Type", "application/json" },
            { "Auth",
                QString::fromLatin1(SimulatorProcess::authHeader(ServiceFarm::Branch,
                    ServiceFarm::Secret, QDateTime::currentSecsSinceEpoch())) } };
        RestClient client;
        client.request(RestClient::Post, QUrl(m_simulator->apiUrl().toString() + "/payment"),
            QJsonDocument(body), headers);
        EXPECT_EQ(client.result().httpStatus, 200) << "the payment made by hand";

        PaymentJournal journal;
        EXPECT_TRUE(journal.open(journalPath(c))) << journal.errorString().toStdString();
        PaymentJournal::Entry entry;
        entry.transactionId = id;
        entry.amount = kAmount;
        entry.currency = kCurrency;
        entry.created = QDateTime::currentSecsSinceEpoch() - kLongAgoSeconds;
        EXPECT_TRUE(journal.insert(entry)) << journal.errorString().toStdString();
        return id;
    }

    // When the journal settled the payment: `settledAt` of the case's starts; 0: never.
    static QString startsText(const CrashCase &c, int settledAt)
    {
        if (c.starts == 1 && settledAt == 1)
            return QStringLiteral("at the next start");
        if (settledAt == 0)
            return QStringLiteral("still open after %1 start(s)").arg(c.starts);
        return QStringLiteral("settled at start %1 of %2").arg(settledAt).arg(c.starts);
    }

    void runCase(const CrashCase &c, int order, const char *section);
    ScenarioRow judge(const CrashCase &c, const QJsonObject &told, int settledAt,
        const QString &transaction) const;

    QTemporaryDir m_root;
    SimulatorProcess *m_simulator = nullptr;
};

// One case: the payment, its stop, every start after it, the service's ledger.
void RegisterKilled::runCase(const CrashCase &c, int order, const char *section)
{
    SCOPED_TRACE(c.name);
    const QString ini = writeIni(c);
    host({ "info" }, ini); // the journal exists before the payment, as on a till
    QElapsedTimer clock;
    clock.start();
    QJsonObject told;
    QString transaction;
    bool killed = true;
    if (c.kill == Kill::LongAgo)
        transaction = payLongAgo(c);
    else
        killed = payAndKill(c, ini, &told);
    const bool died = c.kill != Kill::Never;
    EXPECT_EQ(killed, died);

    const QJsonArray open = openEntries(ini);
    if (!died)
        transaction = told.value("additionalInfo").toObject().value("rrn").toString();
    else if (transaction.isEmpty() && !open.isEmpty())
        transaction = open.at(0).toObject().value(QStringLiteral("transactionId")).toString();
    EXPECT_EQ(open.size(), (died || c.failure) ? 1 : 0)
        << "the journal keeps the payment the register died in or could not void";
    ASSERT_FALSE(transaction.isEmpty());
    const qint64 untilRestart = c.restartAfterMs - clock.elapsed();
    if (untilRestart > 0)
        QThread::msleep(static_cast<unsigned long>(untilRestart));
    int settledAt = 0; // the start after which nothing was open
    for (int start = 1; start <= c.starts; ++start) {
        host({ "info" }, ini); // the next start: init() settles the journal
        const QJsonArray left = openEntries(ini);
        if (settledAt == 0 && left.isEmpty())
            settledAt = start;
        if (start < c.starts) {
            EXPECT_EQ(left.at(0).toObject().value("state").toString(), QLatin1String(kVoidPending))
                << "still open after start " << start;
        }
    }
    EXPECT_EQ(settledAt, c.starts) << "settled by the last start, not before";
    const qint64 untilJudged = c.judgeAfterMs - clock.elapsed();
    if (untilJudged > 0)
        QThread::msleep(static_cast<unsigned long>(untilJudged));

    ScenarioRow row = judge(c, told, settledAt, transaction);
    row.sectionOrder = order;
    row.section = QString::fromUtf8(section);
    keep(row);
}

// The row for the report: what the host was told, when the journal settled
// the payment, and what the service holds now.
ScenarioRow RegisterKilled::judge(const CrashCase &c, const QJsonObject &told, int settledAt,
    const QString &transaction) const
{
    const LedgerView ledger(m_simulator->payment(transaction), QByteArray(), QString());
    const bool died = c.kill != Kill::Never;
    const bool paid = ledger.completed(Operation::Pay);
    const bool success = told.value(QStringLiteral("success")).toBool();
    const QString key = told.value("message").toObject().value("key").toString();
    EXPECT_LE(ledger.reversalRequests(), c.maxReversals) << "voided once at most, but a refused void";
    EXPECT_EQ(ledger.reversalRequests() > 0, (died || c.failure) && ledger.paymentRequests() > 0)
        << "voided exactly when it may have reached the service";

    ScenarioRow row;
    row.name = QString::fromLatin1(c.name);
    QString details = QStringLiteral("token %1").arg(QString::fromLatin1(c.token));
    if (c.storageFault)
        details += QStringLiteral(", storage fault %1").arg(QString::fromLatin1(c.storageFault));
    details += c.restartAfterMs > 0
        ? QStringLiteral(", started again at %1 s").arg(c.restartAfterMs / 1000.0)
        : QStringLiteral(", started again at once");
    row.done = QStringLiteral("%1 [%2]").arg(QString::fromUtf8(c.done), details);
    const QString state = m_simulator->payment(transaction).value("state").toString();
    const QString atEnd = state.isEmpty() ? QStringLiteral("never taken") : state;
    const QString answer
        = success ? QStringLiteral("success") : QStringLiteral("failure `%1`").arg(key);
    const QString expectedStarts = startsText(c, c.starts);
    const QString observedStarts = startsText(c, settledAt);
    if (died) {
        row.expected = QStringLiteral("killed; %1: reversed or never taken").arg(expectedStarts);
        row.observed = QStringLiteral("killed; %1: %2").arg(observedStarts, atEnd);
        row.unexpected = paid;
    } else if (c.failure) {
        row.expected = QStringLiteral("failure `%1`; %2: reversed")
                           .arg(QString::fromLatin1(c.failure), expectedStarts);
        row.observed = QStringLiteral("%1; %2: %3").arg(answer, observedStarts, atEnd);
        row.unexpected
            = success || key != QLatin1String(c.failure) || state != QLatin1String("reversed");
    } else {
        row.expected = QStringLiteral("success; paid %1").arg(expectedStarts);
        row.observed = QStringLiteral("%1; %2 %3").arg(answer, atEnd, observedStarts);
        row.unexpected = !(success && paid);
    }
    row.unexpected = row.unexpected || settledAt != c.starts;
    row.ledger = ledger.describe(Operation::Pay);
    row.falseSuccess = success && !paid;
    row.limbo = paid && !success;
    EXPECT_FALSE(row.falseSuccess) << row.ledger.toStdString();
    EXPECT_FALSE(row.limbo) << row.ledger.toStdString();
    EXPECT_FALSE(row.unexpected) << row.observed.toStdString();
    return row;
}

} // namespace

// Whatever instant the register dies at, the journal it left settles the
// payment at the next start: voided or never taken, never voided twice, and
// never voided when the host was told it succeeded.
TEST_F(RegisterKilled, NoMoneyIsLeftInLimbo)
{
    for (const CrashCase &c : kCrashes)
        runCase(c, kSectionOrder, kSection);
}

// A sync that fails is a decision of unknown fate: the host hears a success
// only when the file, opened again, holds it, and a start after a journal
// that could not take the void still voids the payment.
TEST_F(RegisterKilled, AFailingDiskLeavesNoMoneyInLimbo)
{
    for (const CrashCase &c : kStorageFaults)
        runCase(c, kStorageSectionOrder, kStorageSection);
}
