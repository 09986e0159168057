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
                      QStringList{QStringLiteral("info"), QStringLiteral("--root"),
                                  QStringLiteral("/nonexistent/config-root")},
                      QStringList{QStringLiteral("info"), QStringLiteral("--ini"), QStringLiteral("/nonexistent.ini")},
                      QStringList{QStringLiteral("info"), QStringLiteral("--ca-file"),
                                  QStringLiteral("/nonexistent.pem")},
                      QStringList{QStringLiteral("info"), QStringLiteral("--plugin"),
                                  QStringLiteral("/nonexistent/libProcessingVesaNu.so")}));

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
    for (const char *command : {"info", "pay", "refund", "cancel", "send-fiscal", "check"}) {
        const ToolRun run = runTool({QString::fromUtf8(command), QStringLiteral("--help")});
        EXPECT_EQ(run.exitCode, 0) << command;
        EXPECT_TRUE(run.out.contains(QStringLiteral("Usage:"))) << command;
        EXPECT_TRUE(run.out.contains(QStringLiteral("--json"))) << command;
    }
}

} // namespace
