#include "network/restclient.h"

#include "log4qt/logmanager.h"
#include "scopedenvironment.h"
#include "support/logcapture.h"
#include "testserver.h"

#include <QElapsedTimer>
#include <QJsonArray>
#include <QNetworkReply>
#include <QTcpServer>
#include <gtest/gtest.h>

namespace {

using namespace std::chrono_literals;

const QString authValue = QStringLiteral("branch-7:0123456789abcdef0123456789abcdef:1700000000");
const QString token = QStringLiteral("otp-941736");

QHash<QString, QString> apiHeaders()
{
    return { { QStringLiteral("Accept"), QStringLiteral("application/json") },
        { QStringLiteral("Content-Type"), QStringLiteral("application/json") },
        { QStringLiteral("Auth"), authValue } };
}

QJsonDocument paymentBody()
{
    return QJsonDocument(
        QJsonObject { { QStringLiteral("amount"), 1050 }, { QStringLiteral("otp_data"), token } });
}

class RestClientTest : public ::testing::Test
{
protected:
    RestClientTest()
    {
        httplib::Server &server = m_server.server();
        const auto answer = [this](const httplib::Request &request, httplib::Response &response) {
            m_server.record(request);
            response.set_content(R"({"payment_status": 2})", "application/json");
        };
        server.Get("/any", answer);
        server.Post("/any", answer);
        server.Put("/any", answer);
        server.Delete("/any", answer);
        server.Post("/hang", [this](const httplib::Request &request, httplib::Response &) {
            m_server.record(request);
            m_server.waitForRelease(10s);
        });
        server.Get("/drip", [this](const httplib::Request &, httplib::Response &response) {
            response.set_chunked_content_provider(
                "text/plain", [this](size_t, httplib::DataSink &sink) {
                    return !m_server.waitForRelease(200ms) && sink.write("x", 1);
                });
        });
    }

    RestClient::Result send(int operation, const QUrl &url, const QJsonDocument &body = {},
        const QHash<QString, QString> &headers = apiHeaders(), qint64 timeout = 5000)
    {
        RestClient client;
        client.setTimeout(timeout);
        client.setLogger(Log4Qt::LogManager::logger(QStringLiteral("restclient.test")));
        const bool completed = client.request(operation, url, body, headers);
        const RestClient::Result result = client.result();
        EXPECT_EQ(completed, result.completed);
        return result;
    }

    RestClient::Result send(int operation, const QString &path, const QJsonDocument &body = {})
    {
        return send(operation, m_server.url(path), body);
    }

    // Loopback never goes through a proxy the environment may name.
    const ScopedEnvironment m_noProxy { "no_proxy", "127.0.0.1,localhost" };
    TestServer m_server;
};

TEST_F(RestClientTest, PostSendsCompactJsonAndHeaders)
{
    m_server.start();
    const RestClient::Result result = send(RestClient::Post, QStringLiteral("/any"), paymentBody());

    EXPECT_TRUE(result.completed);
    EXPECT_EQ(result.httpStatus, 200);
    EXPECT_EQ(result.networkError, 0);
    EXPECT_TRUE(result.error.isEmpty());
    EXPECT_EQ(result.json, QJsonObject({ { QStringLiteral("payment_status"), 2 } }));
    EXPECT_EQ(result.body, QByteArray(R"({"payment_status": 2})"));

    const auto requests = m_server.requests();
    ASSERT_EQ(requests.size(), 1u);
    EXPECT_EQ(requests[0].method, "POST");
    EXPECT_EQ(requests[0].body, R"({"amount":1050,"otp_data":"otp-941736"})");
    EXPECT_EQ(requests[0].headers.find("Auth")->second, authValue.toStdString());
    EXPECT_EQ(requests[0].headers.find("Content-Type")->second, "application/json");
    EXPECT_EQ(requests[0].headers.find("Accept")->second, "application/json");
    // Asked uncompressed, so the size limit measures the real body.
    EXPECT_EQ(requests[0].headers.find("Accept-Encoding")->second, "identity");
}

struct VerbCase
{
    int operation;
    const char *method;
    bool sendsBody;
};

void PrintTo(const VerbCase &value, std::ostream *out)
{
    *out << value.method;
}

class RestClientVerbTest : public RestClientTest, public ::testing::WithParamInterface<VerbCase>
{
};

TEST_P(RestClientVerbTest, OperationCodeChoosesTheVerb)
{
    m_server.start();
    const QJsonDocument body = GetParam().sendsBody ? paymentBody() : QJsonDocument();
    const RestClient::Result result = send(GetParam().operation, QStringLiteral("/any"), body);

    EXPECT_TRUE(result.completed);
    const auto requests = m_server.requests();
    ASSERT_EQ(requests.size(), 1u);
    EXPECT_EQ(requests[0].method, GetParam().method);
    EXPECT_EQ(requests[0].body.empty(), !GetParam().sendsBody);
    EXPECT_EQ(requests[0].headers.find("Auth")->second, authValue.toStdString());
}

INSTANTIATE_TEST_SUITE_P(Verbs, RestClientVerbTest,
    ::testing::Values(VerbCase { RestClient::Get, "GET", false },
        VerbCase { RestClient::Head, "HEAD", false },
        VerbCase { RestClient::Delete, "DELETE", false }, VerbCase { RestClient::Put, "PUT", true },
        VerbCase { RestClient::Post, "POST", true }),
    [](const ::testing::TestParamInfo<VerbCase> &info) { return std::string(info.param.method); });

struct AnswerCase
{
    const char *name;
    int status;
    const char *body;
    bool isObject;
};

void PrintTo(const AnswerCase &value, std::ostream *out)
{
    *out << value.name;
}

class RestClientAnswerTest : public RestClientTest, public ::testing::WithParamInterface<AnswerCase>
{
};

// Whatever the status, the body is handed over, and parsed only when it is
// a JSON object.
TEST_P(RestClientAnswerTest, JsonOnlyForObjectBodies)
{
    const AnswerCase answer = GetParam();
    m_server.server().Get(
        "/answer", [answer](const httplib::Request &, httplib::Response &response) {
            response.status = answer.status;
            response.set_content(answer.body, "application/json");
        });
    m_server.start();
    const RestClient::Result result = send(RestClient::Get, QStringLiteral("/answer"));

    EXPECT_TRUE(result.completed);
    EXPECT_TRUE(result.error.isEmpty());
    EXPECT_EQ(result.httpStatus, GetParam().status);
    EXPECT_EQ(result.body, QByteArray(GetParam().body));
    EXPECT_EQ(result.json.isEmpty(), !GetParam().isObject);
}

INSTANTIATE_TEST_SUITE_P(Answers, RestClientAnswerTest,
    ::testing::Values(AnswerCase { "Object", 200, R"({"error_code": 0})", true },
        AnswerCase { "ObjectWithServerError", 500, R"({"error_code": 17})", true },
        AnswerCase { "ObjectWithNotFound", 404, R"({"error_note": "x"})", true },
        AnswerCase { "Array", 200, "[1, 2]", false }, AnswerCase { "Text", 200, "not json", false },
        AnswerCase { "Truncated", 200, R"({"a": )", false },
        AnswerCase { "Empty", 200, "", false }),
    [](const ::testing::TestParamInfo<AnswerCase> &info) { return info.param.name; });

TEST_F(RestClientTest, RedirectIsNotFollowed)
{
    m_server.server().Get(
        "/moved", [this](const httplib::Request &request, httplib::Response &response) {
            m_server.record(request);
            response.set_redirect("/any");
        });
    m_server.start();
    const RestClient::Result result = send(RestClient::Get, QStringLiteral("/moved"));

    EXPECT_TRUE(result.completed);
    EXPECT_EQ(result.httpStatus, 302);
    EXPECT_EQ(m_server.requests().size(), 1u);
}

class RestClientTimeoutTest : public RestClientTest,
                              public ::testing::WithParamInterface<std::pair<int, const char *>>
{
};

// A server that accepts and then stalls holds the caller no longer than the
// time-out, whether it says nothing or drips its answer.
TEST_P(RestClientTimeoutTest, DeadlineCoversTheWholeExchange)
{
    m_server.start();
    QElapsedTimer clock;
    clock.start();
    const RestClient::Result result = send(GetParam().first,
        m_server.url(QString::fromLatin1(GetParam().second)), paymentBody(), apiHeaders(), 800);
    const qint64 elapsed = clock.elapsed();

    EXPECT_GE(elapsed, 750);
    EXPECT_LE(elapsed, 800 + 700);
    EXPECT_FALSE(result.completed);
    EXPECT_EQ(result.networkError, QNetworkReply::TimeoutError);
    EXPECT_EQ(result.error.key(), QStringLiteral("restClientTimeout"));
    EXPECT_TRUE(result.json.isEmpty());
    EXPECT_TRUE(result.body.isEmpty());
}

INSTANTIATE_TEST_SUITE_P(Stalls, RestClientTimeoutTest,
    ::testing::Values(std::make_pair(int(RestClient::Post), "/hang"),
        std::make_pair(int(RestClient::Get), "/drip")));

// No time-out given still means a bounded wait, not an immediate failure.
TEST_F(RestClientTest, NonPositiveTimeoutStillAllowsAnAnswer)
{
    m_server.start();
    for (const qint64 timeout : { qint64(0), qint64(-1) }) {
        const RestClient::Result result = send(RestClient::Get,
            m_server.url(QStringLiteral("/any")), QJsonDocument(), apiHeaders(), timeout);
        EXPECT_TRUE(result.completed) << timeout;
    }
}

struct SizeCase
{
    const char *name;
    qint64 size;
    bool chunked;
    bool completed;
};

void PrintTo(const SizeCase &value, std::ostream *out)
{
    *out << value.name;
}

class RestClientSizeTest : public RestClientTest, public ::testing::WithParamInterface<SizeCase>
{
};

// The body is a JSON object of exactly the given size. It is shared with the
// server thread, which may still be writing when the client has given up.
TEST_P(RestClientSizeTest, BodiesOverTheLimitAreRefused)
{
    const auto body = std::make_shared<const std::string>(
        R"({"a":")" + std::string(size_t(GetParam().size) - 8, 'x') + R"("})");
    const bool chunked = GetParam().chunked;
    m_server.server().Get(
        "/big", [body, chunked](const httplib::Request &, httplib::Response &response) {
            if (!chunked) {
                response.set_content(*body, "application/json");
                return;
            }
            response.set_chunked_content_provider(
                "application/json", [body](size_t offset, httplib::DataSink &sink) {
                    const size_t length = std::min<size_t>(64 * 1024, body->size() - offset);
                    sink.write(body->data() + offset, length);
                    if (offset + length == body->size())
                        sink.done();
                    return true;
                });
        });
    m_server.start();
    const RestClient::Result result = send(RestClient::Get, QStringLiteral("/big"));

    EXPECT_EQ(result.completed, GetParam().completed);
    if (GetParam().completed) {
        EXPECT_EQ(result.body.size(), GetParam().size);
        EXPECT_FALSE(result.json.isEmpty());
    } else {
        EXPECT_EQ(result.error.key(), QStringLiteral("restClientAnswerTooLarge"));
        EXPECT_TRUE(result.body.isEmpty());
        EXPECT_TRUE(result.json.isEmpty());
    }
}

INSTANTIATE_TEST_SUITE_P(Sizes, RestClientSizeTest,
    ::testing::Values(SizeCase { "AtLimit", RestClient::MaxBodySize, false, true },
        SizeCase { "AtLimitChunked", RestClient::MaxBodySize, true, true },
        SizeCase { "OverLimit", RestClient::MaxBodySize + 1, false, false },
        SizeCase { "OverLimitChunked", RestClient::MaxBodySize + 1, true, false },
        SizeCase { "FarOverChunked", 16 * RestClient::MaxBodySize, true, false }),
    [](const ::testing::TestParamInfo<SizeCase> &info) { return info.param.name; });

TEST_F(RestClientTest, RefusedConnectionFails)
{
    QTcpServer probe;
    ASSERT_TRUE(probe.listen(QHostAddress::LocalHost));
    const quint16 port = probe.serverPort();
    probe.close();

    const RestClient::Result result
        = send(RestClient::Get, QUrl(QStringLiteral("http://127.0.0.1:%1/any").arg(port)));
    EXPECT_FALSE(result.completed);
    EXPECT_EQ(result.networkError, QNetworkReply::ConnectionRefusedError);
    EXPECT_EQ(result.error.key(), QStringLiteral("restClientNetworkError"));
}

struct BadRequestCase
{
    const char *name;
    int operation;
    QString url; // empty: the test server
    QString headerName;
    QString headerValue;
};

void PrintTo(const BadRequestCase &value, std::ostream *out)
{
    *out << value.name;
}

class RestClientBadRequestTest : public RestClientTest,
                                 public ::testing::WithParamInterface<BadRequestCase>
{
};

// What cannot be sent safely is not sent at all.
TEST_P(RestClientBadRequestTest, NothingIsSent)
{
    m_server.start();
    QHash<QString, QString> headers = apiHeaders();
    if (!GetParam().headerName.isNull())
        headers.insert(GetParam().headerName, GetParam().headerValue);
    const QUrl url
        = GetParam().url.isEmpty() ? m_server.url(QStringLiteral("/any")) : QUrl(GetParam().url);
    const RestClient::Result result = send(GetParam().operation, url, paymentBody(), headers);

    EXPECT_FALSE(result.completed);
    EXPECT_EQ(result.error.key(), QStringLiteral("restClientBadRequest"));
    EXPECT_TRUE(result.body.isEmpty());
    EXPECT_TRUE(m_server.requests().empty());
}

INSTANTIATE_TEST_SUITE_P(BadRequests, RestClientBadRequestTest,
    ::testing::Values(BadRequestCase { "OperationZero", 0, {}, {}, {} },
        BadRequestCase { "OperationCustom", 6, {}, {}, {} },
        BadRequestCase { "HeaderValueWithLineBreak", RestClient::Post, {}, QStringLiteral("X-Note"),
            QStringLiteral("a\r\nX-Injected: 1") },
        BadRequestCase { "HeaderNameWithBlank", RestClient::Post, {}, QStringLiteral("Bad Name"),
            QStringLiteral("v") },
        BadRequestCase {
            "EmptyHeaderName", RestClient::Post, {}, QStringLiteral(""), QStringLiteral("v") },
        BadRequestCase {
            "LocalFile", RestClient::Get, QStringLiteral("file:///etc/passwd"), {}, {} },
        BadRequestCase { "NoHost", RestClient::Get, QStringLiteral("http:///any"), {}, {} }),
    [](const ::testing::TestParamInfo<BadRequestCase> &info) { return info.param.name; });

// One line for the request, one for its outcome; never the signature, the
// one-time token (echoed back by the server here) or the address's user info.
TEST_F(RestClientTest, LogLinesKeepSecretsOut)
{
    m_server.server().Post(
        "/echo", [](const httplib::Request &request, httplib::Response &response) {
            response.status = 500;
            response.set_content(request.body + request.get_header_value("Auth"), "text/plain");
        });
    m_server.start();
    const QString password = QStringLiteral("pa55word");
    for (const QString &path : { QStringLiteral("/any"), QStringLiteral("/echo"),
             QStringLiteral("/hang"), QStringLiteral("/missing") }) {
        LogCapture log;
        QUrl url = m_server.url(path);
        url.setUserInfo(QStringLiteral("techuser:") + password);
        send(RestClient::Post, url, paymentBody(), apiHeaders(), 500);

        const QStringList lines = log.texts(QStringLiteral("restclient.test"));
        ASSERT_EQ(lines.size(), 2) << qPrintable(path);
        EXPECT_TRUE(lines[0].contains(QStringLiteral("POST ") + m_server.url(path).toString()))
            << qPrintable(lines[0]);
        for (const QString &line : lines) {
            EXPECT_FALSE(line.contains(authValue)) << qPrintable(line);
            EXPECT_FALSE(line.contains(token)) << qPrintable(line);
            EXPECT_FALSE(line.contains(password)) << qPrintable(line);
            EXPECT_FALSE(line.contains(QStringLiteral("techuser"))) << qPrintable(line);
        }
    }
}

} // namespace
