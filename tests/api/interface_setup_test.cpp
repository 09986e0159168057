#include "apitestsupport.h"
#include "support/qtprinting.h"

#include <QDateTime>
#include <QRegularExpression>

#include <gtest/gtest.h>
#include <openssl/sha.h>

using vesanu::Interface;
using std::chrono::milliseconds;

TEST(InterfaceSettings, ConstructorDefaultsThenInitReadsSecondsAsMilliseconds)
{
    MemoryConfig config;
    TestInterface client;
    EXPECT_EQ(client.timeout, milliseconds(10000));
    EXPECT_EQ(client.payDuration, milliseconds(300000));
    EXPECT_EQ(client.statusRequestInterval, milliseconds(10000));

    config.values = {{"VesaNu:payDuration", "0"},
                     {"VesaNu:statusRequestInterval", "-3"},
                     {"VesaNu:cashboxCode", " C 1 "},
                     {"VesaNu:branchId", "B7"},
                     {"VesaNu:secretKey", "s3cret"}};
    client.init();
    EXPECT_EQ(client.timeout, milliseconds(10000)) << "an absent key keeps the default";
    EXPECT_EQ(client.payDuration, milliseconds(0));
    EXPECT_EQ(client.statusRequestInterval, milliseconds(-3000));
    EXPECT_EQ(client.cashboxCode, " C 1 ") << "texts are taken unchanged";
    EXPECT_EQ(client.getBranchId(), "B7");
    EXPECT_EQ(client.secretKey, "s3cret");

    // The largest int number of seconds does not overflow.
    config.values["VesaNu:timeout"] = QString::number(std::numeric_limits<int>::max());
    client.init();
    EXPECT_EQ(client.timeout.count(), qint64(std::numeric_limits<int>::max()) * 1000);
}

struct UrlCase
{
    const char *host;
    const char *path; // nullptr: not configured
    Interface::Method method;
    const char *id;
    const char *expected;
};

TEST(InterfaceAddresses, ResolveHostPathMethodAndIdentifier)
{
    const UrlCase cases[] = {
        {"https://h.example:8443", nullptr, Interface::Payment, "", "https://h.example:8443/api/v1/payment"},
        {"https://h.example:8443/", "/api/v1/", Interface::Payment, "", "https://h.example:8443/api/v1/payment"},
        {"https://h.example:8443", "api/v1", Interface::Payment, "", "https://h.example:8443/api/v1/payment"},
        {"https://h.example/base/", "/api/v2", Interface::OfdData, "", "https://h.example/api/v2/payment/ofd_data/submit_qrcode"},
        // The host's trailing slash goes before resolving, so a relative path
        // replaces the last segment of the host's path.
        {"https://h.example/base/", "v2", Interface::Payment, "", "https://h.example/v2/payment"},
        {"http://127.0.0.1:1", "/p", Interface::PaymentStatus, "f81d4fae-7dec-11d0-a765-00a0c91e6bf6",
         "http://127.0.0.1:1/p/payment/status/f81d4fae-7dec-11d0-a765-00a0c91e6bf6"},
        {"http://127.0.0.1:1", "/p", Interface::PaymentStatus, "", "http://127.0.0.1:1/p/payment/status"},
        {"http://127.0.0.1:1", "/p", Interface::Reversal, "", "http://127.0.0.1:1/p/payment/reversal"},
        {"http://127.0.0.1:1", "https://other.example/x", Interface::Payment, "", "https://other.example/x/payment"},
        // An identifier stays one path segment, whatever it holds.
        {"http://h", "/api", Interface::Reversal, "../../payment", "http://h/api/payment/reversal/..%2F..%2Fpayment"},
        {"http://h", "/api", Interface::PaymentStatus, "a?b#c%d e", "http://h/api/payment/status/a%3Fb%23c%25d%20e"},
        // A dot segment would be dropped on the way and reach another address: none at all.
        {"http://h", "/api", Interface::Reversal, "..", ""},
        {"http://h", "/api", Interface::PaymentStatus, ".", ""},
        {"http://h", "/api", Interface::Method(7), "x", "http://h/api"},
    };
    MemoryConfig config;
    Interface client;
    for (const UrlCase &c : cases) {
        config.values = {{"VesaNu:host", c.host}};
        if (c.path)
            config.values["VesaNu:path"] = c.path;
        EXPECT_EQ(client.getUrl(c.method, c.id).toString(QUrl::FullyEncoded), c.expected)
            << c.host << " " << (c.path ? c.path : "(default)") << " id " << c.id;
    }
}

TEST(InterfaceAddresses, DefaultHostIsHttpsWithExplicitPort)
{
    MemoryConfig config;
    const QUrl url = Interface().getUrl(Interface::Payment, QString());
    EXPECT_EQ(url.scheme(), "https");
    EXPECT_NE(url.port(), -1);
    EXPECT_EQ(url.path(), "/api/v1/payment");
}

TEST(InterfaceAddresses, OperationCodesFollowTheMethod)
{
    Interface client;
    EXPECT_EQ(client.getOperation(Interface::Payment), 4);
    EXPECT_EQ(client.getOperation(Interface::PaymentStatus), 2);
    EXPECT_EQ(client.getOperation(Interface::Reversal), 5);
    EXPECT_EQ(client.getOperation(Interface::OfdData), 4);
    EXPECT_EQ(client.getOperation(Interface::Method(9)), 4);
}

namespace {

// SHA-256 by a second implementation, so the signature is checked, not restated.
QString opensslSha256Hex(const QByteArray &data)
{
    unsigned char digest[SHA256_DIGEST_LENGTH];
    SHA256(reinterpret_cast<const unsigned char *>(data.constData()), size_t(data.size()), digest);
    return QString::fromLatin1(
        QByteArray(reinterpret_cast<const char *>(digest), SHA256_DIGEST_LENGTH).toHex());
}

} // namespace

TEST(InterfaceHeaders, AuthIsBranchDigestOfTimestampAndSecretAndTimestamp)
{
    struct Case
    {
        const char *branch;
        const char *secret;
    };
    const Case cases[] = {{"BR-01", "k3y"}, {"", "k3y"}, {"BR", ""}, {"a%3b%1", "ключ,;#%="}};
    MemoryConfig config;
    for (const Case &c : cases) {
        config.values = {{"VesaNu:branchId", QString::fromUtf8(c.branch)},
                         {"VesaNu:secretKey", QString::fromUtf8(c.secret)}};
        Interface client;
        client.init();
        const qint64 before = QDateTime::currentSecsSinceEpoch();
        const QHash<QString, QString> headers = client.getHeaders();
        const qint64 after = QDateTime::currentSecsSinceEpoch();

        ASSERT_EQ(headers.size(), 3);
        EXPECT_EQ(headers.value("Accept"), "application/json");
        EXPECT_EQ(headers.value("Content-Type"), "application/json");

        const QString auth = headers.value("Auth");
        const QString branch = QString::fromUtf8(c.branch);
        ASSERT_TRUE(auth.startsWith(branch + ":")) << auth.toStdString();
        const QStringList rest = auth.mid(branch.size() + 1).split(':');
        ASSERT_EQ(rest.size(), 2) << auth.toStdString();
        const QString timestamp = rest.at(1);
        EXPECT_TRUE(QRegularExpression("^[1-9][0-9]*$").match(timestamp).hasMatch());
        EXPECT_GE(timestamp.toLongLong(), before);
        EXPECT_LE(timestamp.toLongLong(), after);
        EXPECT_EQ(rest.at(0), opensslSha256Hex((timestamp + QString::fromUtf8(c.secret)).toUtf8()));
    }
}

TEST(InterfaceIdentifiers, UuidsAreNewLowerCaseWithoutBraces)
{
    Interface client;
    const QRegularExpression shape(
        "^[0-9a-f]{8}-[0-9a-f]{4}-[0-9a-f]{4}-[0-9a-f]{4}-[0-9a-f]{12}$");
    const QString first = client.getUuid();
    EXPECT_TRUE(shape.match(first).hasMatch()) << first.toStdString();
    EXPECT_NE(first, client.getUuid());
}
