#include "log4qt/logmanager.h"
#include "network/restclient.h"
#include "scopedenvironment.h"
#include "support/logcapture.h"
#include "testserver.h"

#include <QFile>
#include <QNetworkReply>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

const char caVariable[] = "VELTA_NETWORK_CA_FILE";

// Certificates made afresh for the test run: one for the loopback address,
// one for a name the client never uses, one unrelated authority.
class RestClientTlsTest : public ::testing::Test
{
protected:
    static void SetUpTestSuite()
    {
        s_dir = new QTemporaryDir;
        s_ready = s_dir->isValid() && makeCertificate("loopback", "IP:127.0.0.1")
            && makeCertificate("othername", "DNS:other.invalid")
            && makeCertificate("unrelated", "DNS:unrelated.invalid");
    }

    static void TearDownTestSuite()
    {
        delete s_dir;
        s_dir = nullptr;
    }

    static bool makeCertificate(const QString &name, const QString &altName)
    {
        QProcess openssl;
        openssl.start(QStringLiteral("openssl"),
            { QStringLiteral("req"), QStringLiteral("-x509"), QStringLiteral("-newkey"),
                QStringLiteral("ec"), QStringLiteral("-pkeyopt"),
                QStringLiteral("ec_paramgen_curve:prime256v1"), QStringLiteral("-nodes"),
                QStringLiteral("-days"), QStringLiteral("2"), QStringLiteral("-subj"),
                QStringLiteral("/CN=") + name, QStringLiteral("-addext"),
                QStringLiteral("subjectAltName=") + altName, QStringLiteral("-keyout"),
                file(name + QStringLiteral(".key")), QStringLiteral("-out"),
                file(name + QStringLiteral(".pem")) });
        return openssl.waitForFinished(20000) && openssl.exitStatus() == QProcess::NormalExit
            && openssl.exitCode() == 0;
    }

    static QString file(const QString &name) { return s_dir->filePath(name); }

    // A bundle of several certificates, as a real one would be.
    static QString bundle(const QStringList &names)
    {
        const QString path = file(names.join(QLatin1Char('+')) + QStringLiteral(".bundle"));
        QFile out(path);
        EXPECT_TRUE(out.open(QIODevice::WriteOnly));
        for (const QString &name : names) {
            QFile in(file(name + QStringLiteral(".pem")));
            EXPECT_TRUE(in.open(QIODevice::ReadOnly));
            out.write(in.readAll());
        }
        return path;
    }

    void SetUp() override { ASSERT_TRUE(s_ready) << "could not make test certificates"; }

    RestClient::Result post(TestServer &server)
    {
        server.server().Post(
            "/pay", [&server](const httplib::Request &request, httplib::Response &response) {
                server.record(request);
                response.set_content(R"({"payment_status": 2})", "application/json");
            });
        server.start();
        RestClient client;
        client.setTimeout(5000);
        client.setLogger(Log4Qt::LogManager::logger(QStringLiteral("restclient.tls")));
        client.request(RestClient::Post, server.url(QStringLiteral("/pay")),
            QJsonDocument(QJsonObject { { QStringLiteral("otp_data"), 12345 } }),
            { { QStringLiteral("Auth"), QStringLiteral("a:b:c") } });
        return client.result();
    }

    // Loopback never goes through a proxy the environment may name.
    const ScopedEnvironment m_noProxy { "no_proxy", "127.0.0.1,localhost" };
    static QTemporaryDir *s_dir;
    static bool s_ready;
};

QTemporaryDir *RestClientTlsTest::s_dir = nullptr;
bool RestClientTlsTest::s_ready = false;

TEST_F(RestClientTlsTest, TrustedThroughTheCaFile)
{
    const ScopedEnvironment ca(caVariable, bundle({ "unrelated", "loopback" }).toLocal8Bit());
    TestServer server(file("loopback.pem"), file("loopback.key"));
    const RestClient::Result result = post(server);

    EXPECT_TRUE(result.completed);
    EXPECT_EQ(result.json.value(QStringLiteral("payment_status")).toInt(), 2);
    const auto requests = server.requests();
    ASSERT_EQ(requests.size(), 1u);
    EXPECT_EQ(requests[0].body, R"({"otp_data":12345})");
}

struct RefusalCase
{
    const char *name;
    const char *certificate;
    QByteArray caFile; // null: unset; else a file name in the test folder
};

void PrintTo(const RefusalCase &value, std::ostream *out)
{
    *out << value.name;
}

class RestClientTlsRefusalTest : public RestClientTlsTest,
                                 public ::testing::WithParamInterface<RefusalCase>
{
};

// An untrusted or misnamed server never sees the request.
TEST_P(RestClientTlsRefusalTest, UntrustedServerGetsNothing)
{
    const QByteArray caFile = GetParam().caFile.isNull()
        ? QByteArray()
        : file(QString::fromLatin1(GetParam().caFile)).toLocal8Bit();
    const ScopedEnvironment ca(caVariable, caFile);
    const QString certificate = QString::fromLatin1(GetParam().certificate);
    TestServer server(
        file(certificate + QStringLiteral(".pem")), file(certificate + QStringLiteral(".key")));
    const RestClient::Result result = post(server);

    EXPECT_FALSE(result.completed);
    EXPECT_EQ(result.networkError, QNetworkReply::SslHandshakeFailedError);
    EXPECT_EQ(result.error.key(), QStringLiteral("restClientTlsError"));
    EXPECT_TRUE(server.requests().empty());
}

INSTANTIATE_TEST_SUITE_P(Refusals, RestClientTlsRefusalTest,
    ::testing::Values(RefusalCase { "NoCaFile", "loopback", QByteArray() },
        RefusalCase { "OtherAuthority", "loopback", "unrelated.pem" },
        RefusalCase { "MissingCaFile", "loopback", "missing.pem" },
        RefusalCase { "NotPem", "loopback", "loopback.key" },
        RefusalCase { "WrongName", "othername", "othername.pem" }),
    [](const ::testing::TestParamInfo<RefusalCase> &info) { return info.param.name; });

TEST_F(RestClientTlsTest, UnusableCaFileIsLogged)
{
    const ScopedEnvironment ca(caVariable, file("missing.pem").toLocal8Bit());
    TestServer server(file("loopback.pem"), file("loopback.key"));
    LogCapture log;
    post(server);
    EXPECT_TRUE(log.contains(file("missing.pem")));
}

} // namespace
