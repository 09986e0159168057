#include "faultbench.h"

#include "ledgerview.h"

#include <QElapsedTimer>
#include <QJsonArray>
#include <QJsonDocument>
#include <QProcess>
#include <QThread>

namespace {

const char kSection[] = "A register killed mid-payment (SIGKILL), then started again";
const int kSectionOrder = 6;

// Where the host process is stopped.
enum class Kill {
    BeforeSend, // the shim, at the connect() to the service: the entry is written, nothing left
    AnswerHeld, // from outside, once the service recorded the payment; its answer is held back
    StatusWait, // from outside, once the service was asked its status
    DuringVoid, // from outside, once the service took the void; its answer is held back
    Answered, // the shim, at the journal's next write: the final answer is in, not recorded
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

    QString writeIni(const CrashCase &c) const
    {
        const QString path = m_root.filePath(QString::fromLatin1(c.name) + QStringLiteral(".ini"));
        QFile file(path);
        file.open(QIODevice::WriteOnly | QIODevice::Truncate);
        file.write(QStringLiteral("[VesaNu]\nhost=%1\ntimeout=1\npayDuration=10\n"
                                  "statusRequestInterval=1\ncashboxCode=%2\nbranchId=%3\n"
                                  "secretKey=\"%4\"\njournal=%5.sqlite\n")
                       .arg(m_simulator->baseUrl().toString(), ServiceFarm::Cashbox,
                           ServiceFarm::Branch, ServiceFarm::Secret,
                           m_root.filePath(QString::fromLatin1(c.name)))
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

    // Pays with the host process and stops it at the case's point. Returns
    // whether the process was killed; `told` is what it printed if it was not.
    bool payAndKill(const CrashCase &c, const QString &ini, QJsonObject *told)
    {
        const int known = paymentCount();
        QProcess process;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        const QString port = QString::number(m_simulator->baseUrl().port());
        if (c.kill == Kill::BeforeSend || c.kill == Kill::Answered) {
            environment.insert("LD_PRELOAD", QStringLiteral(VESANU_KILL_SHIM));
#if defined(__SANITIZE_ADDRESS__)
            // The shim comes before AddressSanitizer's run time, which then must not object.
            environment.insert("ASAN_OPTIONS",
                environment.value("ASAN_OPTIONS") + QStringLiteral(":verify_asan_link_order=0"));
#endif
            environment.insert("VESANU_KILL_AT",
                (c.kill == Kill::BeforeSend ? QStringLiteral("connect:") : QStringLiteral("answered:"))
                    + port);
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

    QTemporaryDir m_root;
    SimulatorProcess *m_simulator = nullptr;
};

} // namespace

// Whatever instant the register dies at, the journal it left settles the
// payment at the next start: voided or never taken, never voided twice, and
// never voided when the host was told it succeeded.
TEST_F(RegisterKilled, NoMoneyIsLeftInLimbo)
{
    for (const CrashCase &c : kCrashes) {
        SCOPED_TRACE(c.name);
        const QString ini = writeIni(c);
        host({ "info" }, ini); // the journal exists before the payment, as on a till
        QElapsedTimer clock;
        clock.start();
        QJsonObject told;
        const bool killed = payAndKill(c, ini, &told);
        EXPECT_EQ(killed, c.kill != Kill::Never);

        const QJsonArray open = openEntries(ini);
        QString transaction = told.value(QStringLiteral("rrn")).toString();
        if (killed) {
            ASSERT_EQ(open.size(), 1) << "the journal keeps the payment the register died in";
            transaction = open.at(0).toObject().value(QStringLiteral("transactionId")).toString();
        } else {
            EXPECT_TRUE(open.isEmpty());
        }
        const qint64 untilRestart = c.restartAfterMs - clock.elapsed();
        if (untilRestart > 0)
            QThread::msleep(static_cast<unsigned long>(untilRestart));
        host({ "info" }, ini); // the next start: init() settles the journal
        EXPECT_TRUE(openEntries(ini).isEmpty()) << "the start settled every open entry";
        const qint64 untilJudged = c.judgeAfterMs - clock.elapsed();
        if (untilJudged > 0)
            QThread::msleep(static_cast<unsigned long>(untilJudged));

        const LedgerView ledger(m_simulator->payment(transaction), QByteArray(), QString());
        const bool paid = ledger.completed(Operation::Pay);
        const bool success = told.value(QStringLiteral("success")).toBool();
        EXPECT_LE(ledger.reversalRequests(), c.maxReversals) << "voided once at most, but a refused void";
        EXPECT_EQ(ledger.reversalRequests() > 0, killed && ledger.paymentRequests() > 0)
            << "voided exactly when it may have reached the service";

        ScenarioRow row;
        row.name = QString::fromLatin1(c.name);
        row.done = QString::fromUtf8(c.done) + QStringLiteral(" [token %1, started again at %2 s]")
                                                   .arg(QString::fromLatin1(c.token))
                                                   .arg(c.restartAfterMs / 1000.0);
        row.expected = killed ? QStringLiteral("killed; at the next start: reversed or never taken")
                              : QStringLiteral("success; paid at the next start");
        const QString state = m_simulator->payment(transaction).value("state").toString();
        row.observed = killed ? QStringLiteral("killed; at the next start: %1")
                                    .arg(state.isEmpty() ? QStringLiteral("never taken") : state)
                              : QStringLiteral("%1; %2 at the next start")
                                    .arg(success ? QStringLiteral("success") : QStringLiteral("failure"),
                                         state);
        row.ledger = ledger.describe(Operation::Pay);
        row.falseSuccess = success && !paid;
        row.limbo = paid && !success;
        row.unexpected = killed ? paid : !(success && paid);
        EXPECT_FALSE(row.falseSuccess) << row.ledger.toStdString();
        EXPECT_FALSE(row.limbo) << row.ledger.toStdString();
        EXPECT_FALSE(row.unexpected) << row.observed.toStdString();
        row.sectionOrder = kSectionOrder;
        row.section = QString::fromUtf8(kSection);
        keep(row);
    }
}
