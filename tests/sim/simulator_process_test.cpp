#include "simfixture.h"

#include <QDateTime>
#include <QFile>
#include <QJsonDocument>
#include <QProcess>
#include <QStandardPaths>

namespace {

using ProcessTest = SimFixture;

struct CommandCase
{
    const char *name;
    QStringList arguments;
    int exitCode;
    const char *output; // expected in stdout + stderr
};

// Test names show the case, not its bytes.
void PrintTo(const CommandCase &c, std::ostream *os)
{
    *os << c.name;
}

class CommandLine : public ::testing::TestWithParam<CommandCase>
{
};

TEST_P(CommandLine, AnswersWithoutServing)
{
    const CommandCase &c = GetParam();
    QProcess process;
    process.start(SimulatorProcess::executable(), c.arguments);
    ASSERT_TRUE(process.waitForFinished(5000));
    EXPECT_EQ(process.exitCode(), c.exitCode);
    const QByteArray output = process.readAllStandardOutput() + process.readAllStandardError();
    EXPECT_TRUE(output.contains(c.output)) << output.toStdString();
}

INSTANTIATE_TEST_SUITE_P(Options, CommandLine,
    ::testing::Values(CommandCase { "help", { QStringLiteral("--help") }, 0, "reverse-pending:N" },
        CommandCase { "unknownOption", { QStringLiteral("--bogus") }, 2, "bogus" },
        CommandCase {
            "badPort", { QStringLiteral("--port"), QStringLiteral("70000") }, 2, "--port" },
        CommandCase { "badClockOffset",
            { QStringLiteral("--clock-offset"), QStringLiteral("soon") }, 2, "--clock-offset" },
        CommandCase {
            "certWithoutKey", { QStringLiteral("--cert"), QStringLiteral("c.pem") }, 2, "--key" },
        CommandCase { "unreadableCert",
            { QStringLiteral("--cert"), QStringLiteral("/nonexistent/c.pem"),
                QStringLiteral("--key"), QStringLiteral("/nonexistent/k.pem") },
            1, "certificate" },
        CommandCase { "unwritableLedger",
            { QStringLiteral("--ledger"), QStringLiteral("/nonexistent/dir/ledger.json") }, 1,
            "ledger file" }),
    [](const ::testing::TestParamInfo<CommandCase> &info) { return std::string(info.param.name); });

TEST_F(ProcessTest, StopsCleanlyOnSigterm)
{
    client().pay(QStringLiteral("tx-1"), QStringLiteral("4111"));
    EXPECT_EQ(sim.stop(), 0);
}

TEST_F(ProcessTest, LedgerFileFollowsEveryChange)
{
    const QString path = sim.filePath(QStringLiteral("ledger.json"));
    ASSERT_TRUE(startWith({ QStringLiteral("--ledger"), path }));
    SimClient c = client();
    c.pay(QStringLiteral("tx-2"), QStringLiteral("pending:5"));
    c.status(QStringLiteral("tx-2"));
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QJsonObject onDisk = QJsonDocument::fromJson(file.readAll()).object();
    const QJsonObject payment
        = onDisk.value(QStringLiteral("payments")).toArray().first().toObject();
    EXPECT_EQ(payment.value(QStringLiteral("transaction_id")).toString(), QStringLiteral("tx-2"));
    EXPECT_EQ(payment.value(QStringLiteral("status_queries")).toInt(), 1);
}

TEST_F(ProcessTest, LogNeverHoldsSecretSignatureOrToken)
{
    const QString token = QStringLiteral("TOKENVALUE-ABCDEFGH-4321");
    SimClient c = client();
    c.pay(QStringLiteral("tx-3"), token);
    c.status(QStringLiteral("tx-3"));
    c.setAuth(SimulatorProcess::authHeader(QLatin1String(Branch), QStringLiteral("wrong"), 1));
    c.status(QStringLiteral("tx-3"));
    sim.stop();
    const QByteArray log = sim.log();
    const qint64 now = QDateTime::currentSecsSinceEpoch();
    EXPECT_TRUE(log.contains("POST /api/v1/payment")) << log.toStdString();
    EXPECT_TRUE(log.contains("****4321"));
    EXPECT_FALSE(log.contains(Secret));
    EXPECT_FALSE(log.contains(token.toUtf8()));
    EXPECT_FALSE(log.contains("ABCDEFGH"));
    for (qint64 seconds = now - 5; seconds <= now; ++seconds) {
        const QByteArray auth
            = SimulatorProcess::authHeader(QLatin1String(Branch), QLatin1String(Secret), seconds);
        EXPECT_FALSE(log.contains(auth.split(':').at(1)));
    }
    EXPECT_EQ(log.count('\n'), 3) << log.toStdString();
}

TEST_F(ProcessTest, ServesHttpsWithTheGivenCertificate)
{
    const QString openssl = QStandardPaths::findExecutable(QStringLiteral("openssl"));
    if (openssl.isEmpty())
        GTEST_SKIP() << "openssl command not found";
    const QString cert = sim.filePath(QStringLiteral("cert.pem"));
    const QString key = sim.filePath(QStringLiteral("key.pem"));
    QProcess make;
    make.start(openssl,
        { QStringLiteral("req"), QStringLiteral("-x509"), QStringLiteral("-newkey"),
            QStringLiteral("rsa:2048"), QStringLiteral("-nodes"), QStringLiteral("-days"),
            QStringLiteral("2"), QStringLiteral("-subj"), QStringLiteral("/CN=127.0.0.1"),
            QStringLiteral("-keyout"), key, QStringLiteral("-out"), cert });
    ASSERT_TRUE(make.waitForFinished(20000));
    ASSERT_EQ(make.exitCode(), 0) << make.readAllStandardError().toStdString();
    ASSERT_TRUE(startWith({ QStringLiteral("--cert"), cert, QStringLiteral("--key"), key }))
        << sim.errorString().toStdString();
    EXPECT_EQ(sim.baseUrl().scheme(), QStringLiteral("https"));
    EXPECT_EQ(client().pay(QStringLiteral("tx-4"), QStringLiteral("4111")).paymentStatus(), 2);
    EXPECT_EQ(field(QStringLiteral("tx-4"), "state"), QStringLiteral("paid"));
}

} // namespace
