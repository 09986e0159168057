#include "endtoend.h"

#include "support/qtprinting.h"

#include <QElapsedTimer>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QProcess>
#include <QThread>

#include <signal.h>
#include <sys/stat.h>

namespace {

// The command-line host drives the plug-in exactly as a cash register does.
class EndToEndHostTool : public EndToEnd
{
protected:
    QJsonObject run(const QStringList &arguments, int *exitCode, const QByteArray &input = {},
                    const QString &extraSettings = {})
    {
        const std::unique_ptr<QTemporaryDir> root = makeRoot(extraSettings);
        QProcess host;
        start(host, arguments, *root);
        host.write(input);
        host.closeWriteChannel();
        if (!host.waitForFinished(30000))
            host.kill();
        *exitCode = host.exitCode();
        return QJsonDocument::fromJson(host.readAllStandardOutput()).object();
    }

    // A configuration root with the ini file as installed; `extraSettings` lines override.
    std::unique_ptr<QTemporaryDir> makeRoot(const QString &extraSettings) const
    {
        auto root = std::make_unique<QTemporaryDir>();
        LoadedPlugin::writeIni(root->path(), QStringLiteral("[VesaNu]\nhost=%1\ntimeout=2\npayDuration=5\n"
                                                            "statusRequestInterval=0\ncashboxCode=%2\n"
                                                            "branchId=%3\nsecretKey=\"%4\"\n")
                                                     .arg(simulator().baseUrl().toString(), Cashbox, Branch, Secret)
                                                 + extraSettings);
        // As installed: the secret key is for the register's group only.
        QFile::setPermissions(root->path() + "/tessaroot/cash/paysystems/vesanu/vesanu.ini",
                              QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup);
        // The journal's folder, as the package makes it.
        ::chmod(QFile::encodeName(root->path()).constData(), 02770);
        return root;
    }

    static void start(QProcess &host, const QStringList &arguments, const QTemporaryDir &root)
    {
        host.start(QStringLiteral(VESANU_RUNTIME_DIR "/vesanu-host"),
                   QStringList(arguments) << "--root" << root.path() << "--json");
    }

    int paymentCount() const { return simulator().ledger().value("payments").toArray().size(); }

    // The payment the simulator recorded after the `known` ones before it.
    QJsonObject newPayment(int known) const
    {
        return simulator().ledger().value("payments").toArray().at(known).toObject();
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

    // Each named with its fix, and the plug-in's reason for the connection.
    for (const auto &broken : {std::make_pair("host=127.0.0.1:9\n", "no http:// or https:// scheme"),
                               std::make_pair("journal=/nonexistent/journal.sqlite\n", "cannot be opened to write"),
                               std::make_pair("host=http://127.0.0.1:9\n", "http://127.0.0.1:9/")}) {
        report = run({"check"}, &exitCode, {}, sane + broken.first);
        EXPECT_EQ(exitCode, 1) << broken.first;
        bool named = false;
        for (const QJsonValue &line : report.value("checks").toArray())
            named = named || (line.toObject().value("text").toString().contains(broken.second)
                              && !line.toObject().value("fix").toString().isEmpty());
        EXPECT_TRUE(named) << QJsonDocument(report).toJson().toStdString();
    }
}

// The cashier's cancel key: Ctrl-C voids the payment at once, and the
// customer who confirms on the phone afterwards finds it cancelled.
TEST_P(EndToEndHostTool, CtrlCDuringAPaymentVoidsItAtOnce)
{
    const int confirmMs = 2500;
    const std::unique_ptr<QTemporaryDir> root = makeRoot("payDuration=30\nstatusRequestInterval=1\n");
    const int known = paymentCount();
    QElapsedTimer sincePayment;
    sincePayment.start();
    QProcess host;
    // A SIGINT ignored by whatever started the tests (a background job's) is
    // inherited, and the tool rightly keeps it ignored: the child gets the default.
    struct sigaction keyDefault = {}, previous = {};
    keyDefault.sa_handler = SIG_DFL;
    sigaction(SIGINT, &keyDefault, &previous);
    start(host, {"pay", "--amount", "9.99", "--token", QStringLiteral("4111+never+confirm-late:%1").arg(confirmMs)},
          *root);
    sigaction(SIGINT, &previous, nullptr);
    // Pressed while the register waits for the payment's status.
    while (newPayment(known).value("status_queries").toInt() < 1 && sincePayment.elapsed() < confirmMs)
        QThread::msleep(20);
    ASSERT_GE(newPayment(known).value("status_queries").toInt(), 1) << host.readAllStandardError().toStdString();
    QElapsedTimer sinceSignal;
    sinceSignal.start();
    ASSERT_EQ(::kill(static_cast<pid_t>(host.processId()), SIGINT), 0);
    ASSERT_TRUE(host.waitForFinished(confirmMs));
    EXPECT_LT(sinceSignal.elapsed(), 1500) << "ended at the key, not at the end of payDuration";

    EXPECT_EQ(host.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(host.exitCode(), 1) << "voided: a plain failure, nothing is charged";
    const QJsonObject told = QJsonDocument::fromJson(host.readAllStandardOutput()).object();
    EXPECT_EQ(told.value("message").toObject().value("key").toString(), "requestInterrupted");
    const QString rrn = told.value("additionalInfo").toObject().value("rrn").toString();
    EXPECT_EQ(simulator().payment(rrn).value("state").toString(), "reversed");

    const qint64 untilConfirmed = confirmMs + 300 - sincePayment.elapsed();
    if (untilConfirmed > 0)
        QThread::msleep(static_cast<unsigned long>(untilConfirmed));
    EXPECT_EQ(simulator().payment(rrn).value("state").toString(), "reversed") << "the late confirmation took it";
}

INSTANTIATE_TEST_SUITE_P(Transport, EndToEndHostTool, ::testing::Values(false), transportName);
