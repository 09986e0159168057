#include "exitcode.h"

#include "contract/paymentprocessinganswer.h"

#include <QFile>
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
