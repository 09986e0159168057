#include "faultbench.h"

#include "ledgerview.h"
#include "memoryprobe.h"
#include "network/restclient.h"
#include "reliabilityreport.h"
#include "support/loadedplugin.h"
#include "support/logcapture.h"
#include "support/qtprinting.h"

#include <QElapsedTimer>
#include <QJsonArray>
#include <QRegularExpression>
#include <QThread>

#include <limits>

std::unique_ptr<QTemporaryDir> FaultBench::s_directory;
std::unique_ptr<ServiceFarm> FaultBench::s_farm;

namespace {

const char kUnknownTransaction[] = "00000000-0000-4000-8000-000000000000";
const char kQrCode[] = "t=20261208T1200&s=45.50&fn=9999&i=17&fp=42&n=1";
const int kAmount = 4550;
// Plain text before the scenario's directives, as a scanned one-time token
// would be; it must never reach a log line.
const char kTokenText[] = "5559000011112222";
// A hang is anything beyond the longest road a call may take plus this.
const qint64 kMarginMs = 1500;
// How long after a late confirmation was due the ledger is read.
const qint64 kLateConfirmationMarginMs = 500;
// A bounded exchange holds about its 1 MiB cap; this is far above that and
// far below the 50 MiB a hostile answer offers. AddressSanitizer's shadow
// memory and quarantine swell the resident size by more than that, so there
// the bound is left to the plain builds.
#if defined(__SANITIZE_ADDRESS__)
const qint64 kMemoryLimitKiB = std::numeric_limits<qint64>::max();
#else
const qint64 kMemoryLimitKiB = 16 * 1024;
#endif
const qint64 kQuietMemoryKiB = 8 * 1024;

bool isMoney(Operation operation)
{
    return operation != Operation::Fiscal && operation != Operation::FiscalUnknown;
}

bool paysFirst(Operation operation)
{
    return operation == Operation::Refund || operation == Operation::Cancel
        || operation == Operation::Fiscal;
}

// The longest a call may block with these settings: the first exchange, the
// question after an unknown outcome, a status wait whose last question leaves
// by payDuration, and the void of a payment left in doubt.
qint64 boundMs(const QString &ini, Operation operation)
{
    auto seconds = [&ini](const char *key) {
        const QRegularExpression line(QStringLiteral("^%1=(\\d+)$").arg(QLatin1String(key)),
            QRegularExpression::MultilineOption);
        qint64 value = 0;
        for (auto match = line.globalMatch(ini); match.hasNext();)
            value = match.next().captured(1).toLongLong();
        return value * 1000;
    };
    const qint64 timeout = seconds("timeout");
    if (!isMoney(operation))
        return timeout + kMarginMs;
    return 4 * timeout + seconds("payDuration") + kMarginMs;
}

// "confirm-late:MS" in a token: when the customer confirms on their own; -1 if never.
qint64 lateConfirmationMs(const char *token)
{
    static const QRegularExpression directive(QStringLiteral("(?:^|\\+)confirm-late:(\\d+)"));
    const QRegularExpressionMatch match = directive.match(QString::fromLatin1(token));
    return match.hasMatch() ? match.captured(1).toLongLong() : -1;
}

// "success", or "failure `key` (code N)"; fiscal data is delivered or not.
QString answerText(Operation operation, bool success, const QString &key, int code)
{
    if (!isMoney(operation))
        return success ? QStringLiteral("delivered") : QStringLiteral("not delivered");
    if (success)
        return QStringLiteral("success");
    const QString failure = QStringLiteral("failure `%1`").arg(key);
    return code == 0 ? failure : failure + QStringLiteral(" (code %1)").arg(code);
}

// Figures for the report, coarse enough not to change from run to run with
// the machine's moods; the calls' times lie close to whole time-outs.
QString timeText(qint64 ms)
{
    if (ms < 500)
        return QStringLiteral("ended in under 0.5 s");
    return QStringLiteral("ended in about %1 s").arg((ms + 500) / 1000);
}

QString memoryText(qint64 kib)
{
    if (kib < kQuietMemoryKiB)
        return QStringLiteral("peak memory up less than %1 MiB").arg(kQuietMemoryKiB / 1024);
    return QStringLiteral("peak memory up %1 MiB").arg((kib + 1023) / 1024);
}

// The host's own client, failing after it sent the payment: its answer is
// lost inside the client, which throws instead of handing it back.
class ClientThrowingAfterPayment : public RestClient
{
public:
    bool request(const int &operation, const QUrl &url, const QJsonDocument &body,
        const QHash<QString, QString> &headers) override
    {
        m_payment = operation == Post && url.path().endsWith(QLatin1String("/payment"));
        return RestClient::request(operation, url, body, headers);
    }
    Result result() const override
    {
        if (m_payment)
            throw std::bad_alloc();
        return RestClient::result();
    }

private:
    bool m_payment = false;
};

// Puts that client in place of the host's while it lives.
class ThrowingClients
{
public:
    explicit ThrowingClients(bool active)
        : m_previous(MockFactory<RestClient>::creator)
    {
        if (active)
            MockFactory<RestClient>::creator = [] {
                return QSharedPointer<RestClient>(new ClientThrowingAfterPayment);
            };
    }
    ~ThrowingClients() { MockFactory<RestClient>::creator = m_previous; }

private:
    MockFactory<RestClient>::Creator m_previous;
};

PaymentProcessingAnswer reverse(BasicPaymentProcessing *processing, const QString &rrn, bool cancel)
{
    PaymentProcessingRequest request;
    request.setRequestType(cancel ? 1 : 3);
    request.setAmount(kAmount);
    request.setRrn(rrn);
    request.setValutCode(398);
    return cancel ? processing->cancel(request) : processing->payment(request);
}

bool sendFiscal(BasicPaymentProcessing *processing, const QString &rrn)
{
    const QVariantMap fiscalData { { QStringLiteral("qr"), QString::fromLatin1(kQrCode) } };
    return processing->sendEnqueuedMessage(
        { { QStringLiteral("messagetype"), QStringLiteral("sendofddata") },
            { QStringLiteral("payload"),
                QVariantMap { { QStringLiteral("rrn"), rrn },
                    { QStringLiteral("fiscalData"), fiscalData } } } });
}

} // namespace

struct FaultBench::Observation
{
    bool prepared = true;
    bool success = false;
    QString key;
    int code = 0;
    QString transaction;
    qint64 elapsedMs = 0;
    qint64 memoryKiB = -1;
    QStringList logLines;
    QByteArray simulatorLog; // what the simulator logged during the call
};

QString FaultBench::iniFor(const QUrl &host, const char *settings)
{
    return QStringLiteral("[VesaNu]\n"
                          "host=%1\n"
                          "timeout=1\n"
                          "payDuration=3\n"
                          "statusRequestInterval=0\n"
                          "cashboxCode=%2\n"
                          "branchId=%3\n"
                          "secretKey=\"%4\"\n")
               .arg(host.toString(), ServiceFarm::Cashbox, ServiceFarm::Branch, ServiceFarm::Secret)
        + QString::fromLatin1(settings);
}

PaymentProcessingAnswer FaultBench::pay(BasicPaymentProcessing *processing, const QString &token)
{
    PaymentProcessingRequest request;
    request.setRequestType(1);
    request.setAmount(kAmount);
    request.setCardNumber(QLatin1String(kTokenText) + QLatin1Char('+') + token);
    request.setValutCode(398);
    return processing->payment(request);
}

void FaultBench::SetUpTestSuite()
{
    s_directory = std::make_unique<QTemporaryDir>();
    s_farm = std::make_unique<ServiceFarm>(s_directory->path());
}

void FaultBench::TearDownTestSuite()
{
    s_farm.reset();
    s_directory.reset();
}

void FaultBench::SetUp()
{
    ASSERT_TRUE(farm().isValid()) << "test certificates could not be made";
}

void FaultBench::TearDown()
{
    const ::testing::TestInfo *test = ::testing::UnitTest::GetInstance()->current_test_info();
    const QString group = QString::fromLatin1(test->test_suite_name()) + QLatin1Char('.')
        + QString::fromLatin1(test->name());
    EXPECT_TRUE(ReliabilityReport::save(group, m_rows)) << "results of " << group.toStdString();
}

ScenarioRow FaultBench::run(int order, const char *section, const FaultCase &c)
{
    SCOPED_TRACE(c.name);
    const QUrl host = farm().baseUrl(c.target);
    if (host.isEmpty()) {
        ADD_FAILURE() << "cannot start the peer: " << farm().errorString().toStdString();
        return ScenarioRow();
    }
    // A register that starts again finds the journal it left.
    const QString ini = iniFor(host, c.settings)
        + ((c.flags & Restarted) ? QStringLiteral("journal=%1/%2.sqlite\n")
                                       .arg(s_directory->path(), QString::number(qHash(c.name)))
                                 : QString());
    Observation seen;
    {
        LoadedPlugin plugin(ini);
        if (!plugin.processing()) {
            ADD_FAILURE() << "the plug-in did not load";
            return ScenarioRow();
        }
        seen = perform(c, plugin.processing());
    }
    if (!seen.prepared)
        return ScenarioRow();
    // Limbo is judged once the customer's late confirmation had its chance.
    const qint64 lateMs = lateConfirmationMs(c.token);
    const qint64 untilLedgerMs = lateMs + kLateConfirmationMarginMs - seen.elapsedMs;
    if (lateMs >= 0 && untilLedgerMs > 0)
        QThread::msleep(static_cast<unsigned long>(untilLedgerMs));
    if (c.flags & Restarted) {
        const LoadedPlugin restarted(ini);
        EXPECT_NE(restarted.processing(), nullptr) << "the plug-in did not load again";
    }
    SimulatorProcess *simulator = farm().simulator(c.target);
    const LedgerView ledger(simulator ? simulator->payment(seen.transaction) : QJsonObject(),
        seen.simulatorLog, simulator ? simulator->apiUrl().path() : QString());
    checkBounds(c, seen, ledger);
    ScenarioRow row = judge(c, seen, ledger);
    row.sectionOrder = order;
    row.section = QString::fromUtf8(section);
    m_rows.append(row);
    return row;
}

void FaultBench::warmUp(Target target)
{
    const QUrl host = farm().baseUrl(target);
    ASSERT_FALSE(host.isEmpty()) << "cannot start the peer: " << farm().errorString().toStdString();
    LoadedPlugin plugin(iniFor(host, ""));
    ASSERT_TRUE(plugin.processing()) << "the plug-in did not load";
    EXPECT_TRUE(pay(plugin.processing(), QStringLiteral("4111")).isSuccess()) << "the warm-up payment";
}

FaultBench::Observation FaultBench::perform(const FaultCase &c, BasicPaymentProcessing *processing)
{
    Observation seen;
    seen.transaction = QString::fromLatin1(kUnknownTransaction);
    if (paysFirst(c.operation)) {
        const PaymentProcessingAnswer paid = pay(processing, QString::fromLatin1(c.token));
        seen.prepared = paid.isSuccess();
        EXPECT_TRUE(seen.prepared)
            << "the payment to work on failed: " << paid.getMessage().key().toStdString();
        seen.transaction = paid.getRRN();
    }
    if (!seen.prepared)
        return seen;
    SimulatorProcess *simulator = farm().simulator(c.target);
    const int logOffset = simulator ? simulator->log().size() : 0;

    const ThrowingClients throwing(c.flags & ClientThrows);
    LogCapture capture;
    QElapsedTimer clock;
    clock.start();
    const MemoryProbe memory;
    PaymentProcessingAnswer answer;
    switch (c.operation) {
    case Operation::Pay:
        answer = pay(processing, QString::fromLatin1(c.token));
        seen.transaction = answer.getAdditionalInfo().value(QStringLiteral("rrn")).toString();
        break;
    case Operation::Refund:
    case Operation::RefundUnknown:
    case Operation::Cancel:
        answer = reverse(processing, seen.transaction, c.operation == Operation::Cancel);
        break;
    case Operation::Fiscal:
    case Operation::FiscalUnknown:
        answer.setSuccess(sendFiscal(processing, seen.transaction));
        break;
    }
    seen.memoryKiB = memory.growthKiB();
    seen.elapsedMs = clock.elapsed();
    seen.logLines = capture.texts();
    seen.success = answer.isSuccess();
    seen.key = answer.getMessage().key();
    seen.code = answer.getCode();
    if (simulator)
        seen.simulatorLog = simulator->log().mid(logOffset);
    return seen;
}

void FaultBench::checkBounds(const FaultCase &c, const Observation &seen, const LedgerView &ledger)
{
    const QString ini = iniFor(QUrl(), c.settings);
    EXPECT_LE(seen.elapsedMs, boundMs(ini, c.operation)) << "the call hung past its time-outs";
    EXPECT_LE(seen.memoryKiB, kMemoryLimitKiB) << "memory grew with the answer's size";
    if (c.flags & NothingArrives) {
        EXPECT_EQ(ledger.apiRequests(), 0) << "a request reached a peer that was not to be trusted";
    }
    EXPECT_LE(ledger.paymentRequests(), 1) << "a payment is never sent twice";
    // A void the service refused is sent once more at the next start.
    const int reversals = (c.flags & Restarted) ? 2 : 1;
    EXPECT_LE(ledger.reversalRequests(), reversals) << "a reversal is never sent twice";
    if (c.operation == Operation::Pay && farm().simulator(c.target)) {
        EXPECT_EQ(ledger.reversalRequests(), (c.flags & Voided) ? reversals : 0)
            << "a payment is voided exactly when it was left in doubt";
    }
    if (c.flags & VoidRefused) {
        const QString refused = QStringLiteral("Отмена неподтвержденного платежа не подтверждена сервисом: ")
            + seen.transaction;
        EXPECT_TRUE(seen.logLines.contains(refused)) << "a refused void is logged as such";
    }
    // Nothing the service answers may bring the secret, a signature or the
    // customer's token into the log.
    const QRegularExpression digest(QStringLiteral("[0-9a-f]{64}"));
    for (const QString &line : seen.logLines) {
        EXPECT_FALSE(line.contains(QLatin1String(kTokenText))) << line.toStdString();
        EXPECT_FALSE(line.contains(QLatin1String(ServiceFarm::Secret))) << line.toStdString();
        EXPECT_FALSE(line.contains(digest)) << line.toStdString();
    }
}

ScenarioRow FaultBench::judge(const FaultCase &c, const Observation &seen, const LedgerView &ledger)
{
    ScenarioRow row;
    row.name = QString::fromLatin1(c.name);
    row.done = QString::fromUtf8(c.done);
    const QString settings = QString::fromLatin1(c.settings).trimmed();
    if (!settings.isEmpty())
        row.done += QStringLiteral(" [%1]").arg(
            settings.split(QLatin1Char('\n')).join(QStringLiteral(", ")));
    row.expected = answerText(c.operation, c.success, QString::fromLatin1(c.key), c.code);
    row.observed = answerText(c.operation, seen.success, seen.key, seen.code);
    if (c.flags & Measured)
        row.observed
            += QStringLiteral(", %1, %2").arg(timeText(seen.elapsedMs), memoryText(seen.memoryKiB));
    row.ledger = peerAccount(c.target, ledger, c.operation);
    const bool completed = ledger.completed(c.operation);
    row.falseSuccess = seen.success && !completed;
    const bool inLimbo = isMoney(c.operation) && completed && !seen.success;
    // Only where the plug-in did send its void and the service refused it.
    row.serviceKept = inLimbo && (c.flags & VoidRefused) && ledger.reversalRefused();
    row.limbo = inLimbo && !row.serviceKept;
    row.resent = !isMoney(c.operation) && completed && !seen.success;
    row.unexpected = row.observed.section(QLatin1Char(','), 0, 0) != row.expected;

    EXPECT_FALSE(row.falseSuccess) << "false success; the service: " << row.ledger.toStdString();
    EXPECT_FALSE(row.limbo) << "money in limbo; the host was told " << seen.key.toStdString();
    EXPECT_EQ(row.serviceKept, bool(c.flags & VoidRefused)) << row.ledger.toStdString();
    EXPECT_EQ(seen.success, c.success) << seen.key.toStdString();
    EXPECT_EQ(seen.key, QString::fromLatin1(c.key));
    EXPECT_EQ(seen.code, c.code);
    return row;
}

QString FaultBench::peerAccount(Target target, const LedgerView &ledger, Operation operation)
{
    if (target == Target::Refused)
        return QStringLiteral("no service: nothing listens on the port");
    if (const RawServer *server = farm().rawServer(target)) {
        return QStringLiteral("no service (bare socket): %1 connection(s), %2 bytes received, "
                              "nothing carried out")
            .arg(server->connections())
            .arg(server->bytesReceived());
    }
    return ledger.describe(operation);
}
