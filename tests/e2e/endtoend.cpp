#include "endtoend.h"

std::unique_ptr<QTemporaryDir> EndToEnd::s_directory;
std::unique_ptr<TestCertificates> EndToEnd::s_certificates;
std::unique_ptr<SimulatorProcess> EndToEnd::s_http;
std::unique_ptr<SimulatorProcess> EndToEnd::s_https;

namespace {

// Under valgrind (VESANU_TEST_SLOW=1) the plug-in runs many times slower, and
// its first HTTPS exchange loads the system's trusted certificates for
// seconds. Only the time-out of one exchange grows: waits and the number of
// status queries stay as the tests expect.
QString exchangeTimeoutSeconds()
{
    return QString::number(qEnvironmentVariableIsSet("VESANU_TEST_SLOW") ? 60 : 2);
}

QStringList simulatorArguments()
{
    return {"--branch", EndToEnd::Branch, "--cashbox", EndToEnd::Cashbox, "--secret", EndToEnd::Secret,
            "--quiet"};
}

} // namespace

void EndToEnd::SetUpTestSuite()
{
    s_directory = std::make_unique<QTemporaryDir>();
    s_certificates = std::make_unique<TestCertificates>(s_directory->path());
    s_http = std::make_unique<SimulatorProcess>();
    s_https = std::make_unique<SimulatorProcess>();
    s_http->start(simulatorArguments());
    if (s_certificates->isValid()) {
        s_https->start(simulatorArguments()
                       << "--cert" << s_certificates->certificateFile(TestCertificates::Good)
                       << "--key" << s_certificates->keyFile(TestCertificates::Good));
    }
    qputenv("VELTA_NETWORK_CA_FILE", QFile::encodeName(s_certificates->caFile()));
}

void EndToEnd::TearDownTestSuite()
{
    qunsetenv("VELTA_NETWORK_CA_FILE");
    s_https.reset();
    s_http.reset();
    s_certificates.reset();
    s_directory.reset();
}

void EndToEnd::SetUp()
{
    ASSERT_TRUE(s_certificates->isValid());
    ASSERT_TRUE(simulator().isRunning()) << simulator().errorString().toStdString();
}

SimulatorProcess &EndToEnd::simulator() const
{
    return tls() ? *s_https : *s_http;
}

std::unique_ptr<LoadedPlugin> EndToEnd::loadPlugin(const QString &extra) const
{
    const QString ini = QStringLiteral("[VesaNu]\n"
                                       "host=%1\n"
                                       "timeout=%5\n"
                                       "payDuration=3\n"
                                       "statusRequestInterval=0\n"
                                       "cashboxCode=%2\n"
                                       "branchId=%3\n"
                                       "secretKey=\"%4\"\n")
                            .arg(simulator().baseUrl().toString(), Cashbox, Branch, Secret,
                                 exchangeTimeoutSeconds())
                        + extra;
    return std::make_unique<LoadedPlugin>(ini);
}

PaymentProcessingAnswer EndToEnd::pay(BasicPaymentProcessing *processing, const QString &token,
                                      int amount) const
{
    PaymentProcessingRequest request;
    request.setRequestType(1);
    request.setAmount(amount);
    request.setCardNumber(token);
    request.setValutCode(398);
    return processing->payment(request);
}

QJsonObject EndToEnd::ledgerEntry(const PaymentProcessingAnswer &answer) const
{
    return simulator().payment(answer.getAdditionalInfo().value(QStringLiteral("rrn")).toString());
}

void EndToEnd::expectAgreement(const PaymentProcessingAnswer &answer, const QJsonObject &entry,
                               const QString &completedState) const
{
    const bool completed = entry.value(QStringLiteral("state")).toString() == completedState;
    EXPECT_FALSE(answer.isSuccess() && !completed) << "false success: the service holds "
                                                   << entry.value("state").toString().toStdString();
    EXPECT_FALSE(completed && !answer.isSuccess())
        << "money in limbo: the service completed it, the host was told "
        << answer.getMessage().key().toStdString();
}

void EndToEnd::expectMoneyAgrees(const PaymentProcessingAnswer &answer, const QJsonObject &entry) const
{
    const QString money = answer.getAdditionalInfo().value(QStringLiteral("moneyState")).toString();
    const QString state = entry.value(QStringLiteral("state")).toString();
    // The service's states each money state allows; in doubt allows any but a failure.
    const QHash<QString, QStringList> allowed{
        {QStringLiteral("charged"), {QStringLiteral("paid")}},
        {QStringLiteral("notCharged"), {QStringLiteral("failed"), QString()}},
        {QStringLiteral("voided"), {QStringLiteral("reversed")}},
        {QStringLiteral("inDoubt"),
         {QStringLiteral("pending"), QStringLiteral("paid"), QStringLiteral("reversed")}},
        {QStringLiteral("refunded"), {QStringLiteral("reversed")}},
        {QStringLiteral("alreadyRefunded"), {QStringLiteral("reversed")}},
        {QStringLiteral("notRefunded"), {QStringLiteral("paid"), QStringLiteral("failed")}},
        {QStringLiteral("refundUndecided"), {QStringLiteral("paid"), QStringLiteral("reversed")}},
    };
    EXPECT_TRUE(allowed.value(money).contains(state))
        << "the answer says " << money.toStdString() << ", the service holds " << state.toStdString();
}

std::string transportName(const ::testing::TestParamInfo<bool> &info)
{
    return info.param ? "https" : "http";
}
