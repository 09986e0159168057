#include "exitcode.h"

#include "contract/paymentprocessinganswer.h"
#include "vesanu/journal/paymentjournal.h"

#include <QDateTime>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

// The built tool, as a script runs it.
namespace {

struct ToolRun
{
    int exitCode;
    QString out;
    QString err;
};

ToolRun runTool(const QStringList &arguments)
{
    QProcess process;
    process.start(QStringLiteral(VESANU_HOST_EXECUTABLE), arguments);
    EXPECT_TRUE(process.waitForFinished(30000));
    return {process.exitCode(), QString::fromUtf8(process.readAllStandardOutput()),
            QString::fromUtf8(process.readAllStandardError())};
}

class UsageError : public ::testing::TestWithParam<QStringList>
{
};

TEST_P(UsageError, ExitsWithTwoAndSaysWhyOnStderr)
{
    const ToolRun run = runTool(GetParam());
    EXPECT_EQ(run.exitCode, 2) << qPrintable(run.err);
    EXPECT_TRUE(run.out.isEmpty()) << qPrintable(run.out);
    EXPECT_TRUE(run.err.startsWith(QStringLiteral("vesanu-host: "))) << qPrintable(run.err);
}

INSTANTIATE_TEST_SUITE_P(
    Arguments, UsageError,
    ::testing::Values(QStringList{}, QStringList{QStringLiteral("frob")},
                      QStringList{QStringLiteral("pay"), QStringLiteral("--amount"), QStringLiteral("1.234"),
                                  QStringLiteral("--token"), QStringLiteral("t")},
                      QStringList{QStringLiteral("--json"), QStringLiteral("pay"), QStringLiteral("--token"),
                                  QStringLiteral("t")},
                      QStringList{QStringLiteral("info"), QStringLiteral("--ca-file"),
                                  QStringLiteral("/nonexistent.pem")},
                      QStringList{QStringLiteral("info"), QStringLiteral("--plugin"),
                                  QStringLiteral("/nonexistent/libProcessingVesaNu.so")}));

// Settings the plug-in cannot work with are not a mistake in the call: the
// technician mends the ini file, not the command line.
struct SettingsCase
{
    QStringList arguments;
    // Written to an ini file given with --ini, when set.
    const char *ini;
    const char *named;
};

class SettingsError : public ::testing::TestWithParam<SettingsCase>
{
};

TEST_P(SettingsError, ExitsWithThreeAndNamesWhatIsWrong)
{
    QTemporaryDir directory;
    QStringList arguments = GetParam().arguments;
    if (GetParam().ini) {
        const QString path = directory.filePath(QStringLiteral("vesanu.ini"));
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(GetParam().ini);
        file.close();
        arguments << QStringLiteral("--ini") << path;
    }
    const ToolRun run = runTool(arguments);
    EXPECT_EQ(run.exitCode, 3) << qPrintable(run.err);
    EXPECT_TRUE(run.out.isEmpty()) << qPrintable(run.out);
    EXPECT_TRUE(run.err.contains(QString::fromUtf8(GetParam().named))) << qPrintable(run.err);
}

INSTANTIATE_TEST_SUITE_P(
    Files, SettingsError,
    ::testing::Values(
        SettingsCase{{QStringLiteral("info"), QStringLiteral("--root"), QStringLiteral("/nonexistent/config-root")},
                     nullptr, "/nonexistent/config-root"},
        SettingsCase{{QStringLiteral("info"), QStringLiteral("--ini"), QStringLiteral("/nonexistent.ini")}, nullptr,
                     "/nonexistent.ini"},
        // Refused before the plug-in loads: it would only fail once the payment is sent.
        SettingsCase{{QStringLiteral("pay"), QStringLiteral("--amount"), QStringLiteral("1"),
                      QStringLiteral("--token"), QStringLiteral("4111")},
                     "[VesaNu]\nhost=http://127.0.0.1:9\nbranchId=B\ncashboxCode=C\n", "VesaNu:secretKey"}));

// A script must tell a payment that may still be charged from one that is
// not, by where the answer says the money is, whatever its message.
struct AnswerCase
{
    bool success;
    const char *moneyState;
    int exitCode;
};

class AnswerExitCode : public ::testing::TestWithParam<AnswerCase>
{
};

TEST_P(AnswerExitCode, SaysWhetherThePaymentMayStillBeCharged)
{
    PaymentProcessingAnswer answer;
    answer.setSuccess(GetParam().success);
    answer.setMessage(tr::Tr(QStringLiteral("requestStatusTimeout"), QStringLiteral("text")));
    if (*GetParam().moneyState)
        answer.setAdditionalInfo({{QStringLiteral("moneyState"), QString::fromUtf8(GetParam().moneyState)}});
    EXPECT_EQ(vesanuhost::exitCodeFor(answer), GetParam().exitCode);
}

INSTANTIATE_TEST_SUITE_P(
    Answers, AnswerExitCode,
    ::testing::Values(AnswerCase{true, "charged", 0}, AnswerCase{false, "notCharged", 1},
                      AnswerCase{false, "voided", 1}, AnswerCase{false, "inDoubt", 4},
                      AnswerCase{false, "notRefunded", 1}, AnswerCase{false, "refundUndecided", 4},
                      // No statement: a key alone no longer says the money may have moved.
                      AnswerCase{false, "", 1}));

// Support reads the journal without a register: what needs a person comes
// first and the exit code says so; a person's reconciliation clears it.
class JournalCommand : public ::testing::Test
{
protected:
    using Journal = vesanu::journal::PaymentJournal;

    void SetUp() override
    {
        m_ini = m_directory.filePath(QStringLiteral("vesanu.ini"));
        QFile file(m_ini);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(QStringLiteral("[VesaNu]\njournal=%1\n").arg(journalPath()).toUtf8());
    }

    QString journalPath() const { return m_directory.filePath(QStringLiteral("journal.sqlite")); }

    void write(const QString &id, Journal::State state, int check)
    {
        Journal journal;
        ASSERT_TRUE(journal.open(journalPath())) << qPrintable(journal.errorString());
        Journal::Entry entry;
        entry.transactionId = id;
        entry.amount = 12345;
        entry.currency = 398;
        entry.created = QDateTime::currentSecsSinceEpoch() - 60;
        entry.state = state;
        entry.stateText = QLatin1String(Journal::stateName(state));
        entry.checkNumber = check;
        ASSERT_TRUE(journal.insert(entry)) << qPrintable(journal.errorString());
    }

    ToolRun journal(const QStringList &arguments) const
    {
        return runTool(QStringList{QStringLiteral("journal")} + arguments << QStringLiteral("--ini") << m_ini);
    }

    static QJsonArray entries(const ToolRun &run)
    {
        return QJsonDocument::fromJson(run.out.toUtf8()).object().value(QStringLiteral("entries")).toArray();
    }

    QTemporaryDir m_directory;
    QString m_ini;
};

TEST_F(JournalCommand, ListsAbandonedFirstUntilAPersonResolvesIt)
{
    write(QStringLiteral("open-1"), Journal::State::VoidPending, 7);
    write(QStringLiteral("lost-1"), Journal::State::Abandoned, 8);
    write(QStringLiteral("paid-1"), Journal::State::Paid, 9);
    ToolRun run = journal({QStringLiteral("--json")});
    EXPECT_EQ(run.exitCode, 5) << qPrintable(run.err);
    ASSERT_EQ(entries(run).size(), 2) << "open and abandoned, not paid: " << qPrintable(run.out);
    EXPECT_EQ(entries(run).at(0).toObject().value(QStringLiteral("transactionId")).toString(), QStringLiteral("lost-1"));
    EXPECT_EQ(entries(run).at(0).toObject().value(QStringLiteral("checkNumber")).toInt(), 8);
    run = journal({QStringLiteral("--metrics")});
    EXPECT_TRUE(run.out.contains(QStringLiteral("\nvesanu_journal_abandoned_entries 1\n"))) << qPrintable(run.out);
    EXPECT_TRUE(run.out.contains(QStringLiteral("\nvesanu_journal_void_pending_entries 1\n")));
    EXPECT_TRUE(run.out.endsWith(QStringLiteral("# EOF\n")));

    // Only what recovery gave up is a person's to resolve.
    EXPECT_EQ(journal({QStringLiteral("resolve"), QStringLiteral("--rrn"), QStringLiteral("open-1"),
                       QStringLiteral("--note"), QStringLiteral("x")}).exitCode, 1);
    run = journal({QStringLiteral("resolve"), QStringLiteral("--rrn"), QStringLiteral("lost-1"), QStringLiteral("--note"),
                   QStringLiteral("refunded by the bank, ticket 77")});
    EXPECT_EQ(run.exitCode, 0) << qPrintable(run.err);
    EXPECT_EQ(journal({}).exitCode, 0);
    run = journal({QStringLiteral("--check"), QStringLiteral("8"), QStringLiteral("--json")});
    ASSERT_EQ(entries(run).size(), 1) << qPrintable(run.out);
    EXPECT_EQ(entries(run).at(0).toObject().value(QStringLiteral("state")).toString(), QStringLiteral("resolved"));
    EXPECT_EQ(entries(run).at(0).toObject().value(QStringLiteral("reason")).toString(),
              QStringLiteral("refunded by the bank, ticket 77"));
}

TEST_F(JournalCommand, AJournalThatCannotBeReadIsAnErrorNeverNothingOpen)
{
    EXPECT_EQ(journal({}).exitCode, 1) << "missing";
    QFile file(journalPath());
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(QByteArray(4096, 'x'));
    file.close();
    for (const QStringList &arguments : {QStringList{}, QStringList{QStringLiteral("--metrics")}}) {
        const ToolRun run = journal(arguments);
        EXPECT_EQ(run.exitCode, 1);
        EXPECT_TRUE(run.err.contains(journalPath())) << qPrintable(run.err);
        EXPECT_FALSE(run.out.contains(QStringLiteral("open entries"))) << qPrintable(run.out);
    }
}

TEST(ExitCode, VersionNamesTheToolAndThePluginItFinds)
{
    const ToolRun run = runTool({QStringLiteral("--version")});
    EXPECT_EQ(run.exitCode, 0);
    const QStringList lines = run.out.split(QLatin1Char('\n'));
    ASSERT_GE(lines.size(), 2) << qPrintable(run.out);
    EXPECT_EQ(lines.at(0), QStringLiteral("vesanu-host " VESANU_VERSION));
    EXPECT_TRUE(lines.at(1).contains(QStringLiteral("libProcessingVesaNu.so, VesaNu for Qt 5."))) << qPrintable(run.out);
}

TEST(ExitCode, AFileThatIsNoPluginIsAUsageError)
{
    QTemporaryDir directory;
    const QString path = directory.filePath(QStringLiteral("libProcessingVesaNu.so"));
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("not a library");
    file.close();
    const ToolRun run = runTool({QStringLiteral("info"), QStringLiteral("--plugin"), path});
    EXPECT_EQ(run.exitCode, 2);
    EXPECT_TRUE(run.err.contains(QStringLiteral("cannot load"))) << qPrintable(run.err);
}

TEST(ExitCode, HelpOfEveryCommandSucceedsOnStdout)
{
    for (const char *command : {"info", "pay", "refund", "cancel", "send-fiscal", "check", "journal"}) {
        const ToolRun run = runTool({QString::fromUtf8(command), QStringLiteral("--help")});
        EXPECT_EQ(run.exitCode, 0) << command;
        EXPECT_TRUE(run.out.contains(QStringLiteral("Usage:"))) << command;
        EXPECT_TRUE(run.out.contains(QStringLiteral("--json"))) << command;
    }
    // The commands a technician or support runs by hand show how.
    for (const char *command : {"pay", "check", "journal"})
        EXPECT_TRUE(runTool({QString::fromUtf8(command), QStringLiteral("--help")}).out.contains(
            QStringLiteral("Example: vesanu-host ") + QString::fromUtf8(command)))
            << command;
}

} // namespace
