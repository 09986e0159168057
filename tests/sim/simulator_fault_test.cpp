#include "simfixture.h"

#include <QElapsedTimer>
#include <QJsonDocument>
#include <QTextCodec>
#include <thread>

namespace {

using FaultTest = SimFixture;

bool isValidUtf8(const QByteArray &bytes)
{
    QTextCodec::ConverterState state;
    QTextCodec::codecForName("UTF-8")->toUnicode(bytes.constData(), bytes.size(), &state);
    return state.invalidChars == 0;
}

bool parsesAsJson(const QByteArray &body)
{
    QJsonParseError error;
    QJsonDocument::fromJson(body, &error);
    return error.error == QJsonParseError::NoError;
}

struct BodyFaultCase
{
    const char *kind;
    int httpStatus;
    // What the client finds in the body.
    std::function<bool(const QByteArray &)> check;
};

// Test names show the case, not its bytes.
void PrintTo(const BodyFaultCase &c, std::ostream *os)
{
    *os << c.kind;
}

class BodyFault : public SimFixture, public ::testing::WithParamInterface<BodyFaultCase>
{
};

TEST_P(BodyFault, MangledAnswerStillRecordsThePayment)
{
    const BodyFaultCase &c = GetParam();
    const QString token = QStringLiteral("4111+") + QLatin1String(c.kind);
    const SimClient::Reply reply = client().pay(QStringLiteral("tx-f"), token);
    ASSERT_TRUE(reply.delivered);
    EXPECT_EQ(reply.httpStatus, c.httpStatus);
    EXPECT_TRUE(c.check(reply.body)) << reply.body.left(200).toStdString();
    EXPECT_EQ(field(QStringLiteral("tx-f"), "state"), QStringLiteral("paid"));
}

INSTANTIATE_TEST_SUITE_P(Kinds, BodyFault,
    ::testing::Values(BodyFaultCase { "nonjson", 200,
                          [](const QByteArray &b) { return !b.isEmpty() && !parsesAsJson(b); } },
        BodyFaultCase { "http500", 500, [](const QByteArray &b) { return b.contains("<html>"); } },
        BodyFaultCase { "error500", 500,
            [](const QByteArray &b) {
                const QJsonObject json = QJsonDocument::fromJson(b).object();
                return json.value(QStringLiteral("error_code")).toInt() == 500
                    && json.value(QStringLiteral("payment_status")).toInt() == 2;
            } },
        BodyFaultCase { "empty", 200, [](const QByteArray &b) { return b.isEmpty(); } },
        BodyFaultCase { "array", 200,
            [](const QByteArray &b) { return QJsonDocument::fromJson(b).isArray(); } },
        BodyFaultCase { "nested", 200,
            [](const QByteArray &b) {
                return b.size() == 200000 && b.startsWith("[[[") && !parsesAsJson(b);
            } },
        BodyFaultCase { "badutf8", 200,
            [](const QByteArray &b) {
                return b.startsWith("{\"error_code\":0") && !isValidUtf8(b);
            } },
        BodyFaultCase { "huge", 200,
            [](const QByteArray &b) {
                return b.size() == 50 * 1024 * 1024 && b.startsWith("{\"error_code\":0")
                    && b.endsWith("\"}");
            } }),
    [](const ::testing::TestParamInfo<BodyFaultCase> &info) {
        return std::string(info.param.kind);
    });

TEST_F(FaultTest, DropLeavesAPaidPaymentWithNoAnswer)
{
    SimClient c = client();
    EXPECT_FALSE(c.pay(QStringLiteral("tx-d"), QStringLiteral("pending:1+drop")).delivered);
    // The client's way out of the unknown outcome: ask the status.
    EXPECT_EQ(c.status(QStringLiteral("tx-d")).paymentStatus(), 2);
    EXPECT_EQ(field(QStringLiteral("tx-d"), "state"), QStringLiteral("paid"));
    EXPECT_FALSE(c.pay(QStringLiteral("tx-d"), QStringLiteral("pending:1+drop")).delivered);
    EXPECT_EQ(payments().size(), 1);
}

TEST_F(FaultTest, LimitedFaultSparesLaterAnswers)
{
    SimClient c = client();
    EXPECT_FALSE(c.pay(QStringLiteral("tx-l"), QStringLiteral("drop@1")).delivered);
    const SimClient::Reply repeat = c.pay(QStringLiteral("tx-l"), QStringLiteral("drop@1"));
    ASSERT_TRUE(repeat.delivered);
    EXPECT_EQ(repeat.paymentStatus(), 2);
    EXPECT_EQ(repeat.json().value(QStringLiteral("payment_id")).toInt(), 1001);
}

TEST_F(FaultTest, CutAnswerIsIncomplete)
{
    EXPECT_FALSE(client().pay(QStringLiteral("tx-c"), QStringLiteral("cut")).delivered);
    EXPECT_EQ(field(QStringLiteral("tx-c"), "state"), QStringLiteral("paid"));
}

TEST_F(FaultTest, FaultsReachStatusReversalAndFiscalAnswers)
{
    SimClient c = client();
    const QString token
        = QStringLiteral("pending:2+status-fault:nonjson@1+reversal-fault:empty+ofd-fault:http500");
    EXPECT_EQ(c.pay(QStringLiteral("tx-s"), token).paymentStatus(), 1);
    EXPECT_FALSE(parsesAsJson(c.status(QStringLiteral("tx-s")).body));
    EXPECT_EQ(c.status(QStringLiteral("tx-s")).paymentStatus(), 2);
    EXPECT_TRUE(c.reverse(QStringLiteral("tx-s")).body.isEmpty());
    EXPECT_EQ(c.submitQrCode(QStringLiteral("tx-s"), QStringLiteral("qr")).httpStatus, 500);
    const QJsonObject payment = sim.payment(QStringLiteral("tx-s"));
    EXPECT_EQ(payment.value(QStringLiteral("state")).toString(), QStringLiteral("reversed"));
    EXPECT_EQ(payment.value(QStringLiteral("qrcodes")).toArray().size(), 1);
}

TEST_F(FaultTest, DelayHoldsTheAnswerBack)
{
    QElapsedTimer timer;
    timer.start();
    const SimClient::Reply reply
        = client().pay(QStringLiteral("tx-w"), QStringLiteral("delay:300"));
    EXPECT_GE(timer.elapsed(), 300);
    EXPECT_EQ(reply.paymentStatus(), 2);
}

TEST_F(FaultTest, SilentAnswerEndsWhenTheClientGivesUp)
{
    // One worker: if the silent handler kept it, the next request would wait a minute.
    ASSERT_TRUE(startWith({ QStringLiteral("--threads"), QStringLiteral("1") }));
    SimClient impatient = client();
    impatient.setTimeoutMs(400);
    EXPECT_FALSE(impatient.pay(QStringLiteral("tx-q"), QStringLiteral("silent")).delivered);
    QElapsedTimer timer;
    timer.start();
    SimClient next = client();
    next.setTimeoutMs(5000);
    EXPECT_EQ(next.status(QStringLiteral("tx-q")).paymentStatus(), 2);
    EXPECT_LT(timer.elapsed(), 3000);
}

TEST_F(FaultTest, WaitingFaultsDoNotHoldUpShutdown)
{
    std::vector<std::thread> clients;
    for (const char *kind : { "silent", "drip", "delay:60000" }) {
        clients.emplace_back([this, kind] {
            SimClient c = client();
            c.setTimeoutMs(30000);
            const QString token = QString::fromLatin1(kind);
            c.pay(QStringLiteral("tx-") + token.left(5), token);
        });
    }
    // Until all three are recorded, their handlers have not started waiting.
    for (int i = 0; i < 100 && payments().size() < 3; ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    EXPECT_EQ(payments().size(), 3);
    QElapsedTimer timer;
    timer.start();
    EXPECT_EQ(sim.stop(10000), 0);
    EXPECT_LT(timer.elapsed(), 3000);
    for (std::thread &thread : clients)
        thread.join();
}

} // namespace
