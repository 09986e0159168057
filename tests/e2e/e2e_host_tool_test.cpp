#include "endtoend.h"

#include "support/qtprinting.h"

#include <QFile>
#include <QJsonDocument>
#include <QProcess>

namespace {

// The command-line host drives the plug-in exactly as a cash register does.
class EndToEndHostTool : public EndToEnd
{
protected:
    QJsonObject run(const QStringList &arguments, int *exitCode, const QByteArray &input = {},
                    const QString &extraSettings = {})
    {
        QTemporaryDir root;
        LoadedPlugin::writeIni(root.path(), QStringLiteral("[VesaNu]\nhost=%1\ntimeout=2\npayDuration=5\n"
                                                           "statusRequestInterval=0\ncashboxCode=%2\n"
                                                           "branchId=%3\nsecretKey=\"%4\"\n")
                                                    .arg(simulator().baseUrl().toString(), Cashbox, Branch, Secret)
                                                + extraSettings);
        // As installed: the secret key is for the register's group only.
        QFile::setPermissions(root.path() + "/tessaroot/cash/paysystems/vesanu/vesanu.ini",
                              QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup);
        QProcess host;
        host.start(QStringLiteral(VESANU_RUNTIME_DIR "/vesanu-host"),
                   QStringList(arguments) << "--root" << root.path() << "--json");
        host.write(input);
        host.closeWriteChannel();
        if (!host.waitForFinished(30000))
            host.kill();
        *exitCode = host.exitCode();
        return QJsonDocument::fromJson(host.readAllStandardOutput()).object();
    }
};

} // namespace

TEST_P(EndToEndHostTool, PayFiscalDataAndRefundThroughTheLoadedPlugin)
{
    int exitCode = -1;
    // The token from standard input: command lines are visible to every user.
    const QJsonObject paid = run({"pay", "--amount", "123.45", "--token", "-"}, &exitCode, "4111+pending:2\n");
    EXPECT_EQ(exitCode, 0);
    const QString rrn = paid.value("rrn").toString();
    const QJsonObject entry = simulator().payment(rrn);
    ASSERT_FALSE(entry.isEmpty()) << QJsonDocument(paid).toJson().toStdString();
    EXPECT_EQ(entry.value("state").toString(), "paid");
    EXPECT_EQ(entry.value("amount").toInt(), 12345);
    EXPECT_EQ(entry.value("status_queries").toInt(), 2);

    const QJsonObject fiscal = run({"send-fiscal", "--rrn", rrn, "--qr", "t=1&s=123.45"}, &exitCode);
    EXPECT_EQ(exitCode, 0);
    EXPECT_TRUE(fiscal.value("delivered").toBool());

    const QJsonObject refunded = run({"refund", "--rrn", rrn, "--amount", "123.45"}, &exitCode);
    EXPECT_EQ(exitCode, 0);
    EXPECT_EQ(simulator().payment(rrn).value("state").toString(), "reversed");

    run({"pay", "--amount", "1.00", "--token", "error:51"}, &exitCode);
    EXPECT_EQ(exitCode, 1) << "a refused payment is no success for scripts either";
}

TEST_P(EndToEndHostTool, CheckPassesOnlyForAWorkingSetUp)
{
    int exitCode = -1;
    // Questions back to back are fine for tests, not for a register.
    const QString sane = "statusRequestInterval=1\n";
    QJsonObject report = run({"check"}, &exitCode, {}, sane);
    EXPECT_EQ(exitCode, 0) << QJsonDocument(report).toJson().toStdString();
    EXPECT_TRUE(report.value("success").toBool());

    report = run({"check"}, &exitCode, {}, sane + "secretKey=wrong\n");
    EXPECT_EQ(exitCode, 1);
    EXPECT_FALSE(report.value("success").toBool());
    EXPECT_TRUE(QJsonDocument(report).toJson().contains("code 401")) << "the service's refusal is shown";
}

INSTANTIATE_TEST_SUITE_P(Transport, EndToEndHostTool, ::testing::Values(false), transportName);
