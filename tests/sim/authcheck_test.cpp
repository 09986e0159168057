#include "authcheck.h"

#include <gtest/gtest.h>

using sim::AuthCheck;

namespace {

const qint64 kNow = 1700000000;
const QByteArray kSecret = "s3cret";

QString signedHeader(const QString &branch, qint64 timestamp, const QByteArray &secret = kSecret)
{
    const QByteArray stamp = QByteArray::number(timestamp);
    return branch + QLatin1Char(':') + QString::fromLatin1(AuthCheck::digest(stamp, secret))
        + QLatin1Char(':') + QString::fromLatin1(stamp);
}

struct AuthCase
{
    const char *name;
    QString header;
    bool ok;
    int httpStatus;
    int errorCode;
};

// Test names show the case, not its bytes.
void PrintTo(const AuthCase &c, std::ostream *os)
{
    *os << c.name;
}

class AuthVerify : public ::testing::TestWithParam<AuthCase>
{
};

TEST_P(AuthVerify, AcceptsOnlyAFreshSignatureOfAKnownBranch)
{
    const AuthCase &c = GetParam();
    const AuthCheck check(kSecret, { QStringLiteral("b1"), QStringLiteral("shop:7") }, 300);
    const AuthCheck::Result result = check.verify(c.header, kNow);
    EXPECT_EQ(result.ok, c.ok);
    EXPECT_EQ(result.httpStatus, c.httpStatus);
    EXPECT_EQ(result.errorCode, c.errorCode);
    EXPECT_EQ(result.note.isEmpty(), c.ok);
}

QString upperDigest()
{
    QString header = signedHeader(QStringLiteral("b1"), kNow);
    const int from = header.indexOf(QLatin1Char(':')) + 1;
    return header.left(from) + header.mid(from, 64).toUpper() + header.mid(from + 64);
}

INSTANTIATE_TEST_SUITE_P(Headers, AuthVerify,
    ::testing::Values(AuthCase { "good", signedHeader(QStringLiteral("b1"), kNow), true, 200, 0 },
        AuthCase { "branchWithColon", signedHeader(QStringLiteral("shop:7"), kNow), true, 200, 0 },
        AuthCase { "edgeOfSkewPast", signedHeader(QStringLiteral("b1"), kNow - 300), true, 200, 0 },
        AuthCase {
            "edgeOfSkewFuture", signedHeader(QStringLiteral("b1"), kNow + 300), true, 200, 0 },
        AuthCase { "stale", signedHeader(QStringLiteral("b1"), kNow - 301), false, 401, 401 },
        AuthCase { "future", signedHeader(QStringLiteral("b1"), kNow + 301), false, 401, 401 },
        AuthCase {
            "wrongSecret", signedHeader(QStringLiteral("b1"), kNow, "other"), false, 401, 401 },
        AuthCase { "upperCaseDigest", upperDigest(), false, 401, 401 },
        AuthCase { "unknownBranch", signedHeader(QStringLiteral("b2"), kNow), false, 403, 403 },
        AuthCase { "missing", QString(), false, 401, 401 },
        AuthCase { "noColons", QStringLiteral("garbage"), false, 401, 401 },
        AuthCase { "emptyDigest", QStringLiteral("b1::1700000000"), false, 401, 401 },
        AuthCase { "signedTimestamp", QStringLiteral("b1:00:-5"), false, 401, 401 },
        AuthCase { "letterInTimestamp", QStringLiteral("b1:00:17x"), false, 401, 401 }),
    [](const ::testing::TestParamInfo<AuthCase> &info) { return std::string(info.param.name); });

TEST(AuthCheck, WithoutConfiguredBranchesAnyBranchWithAGoodSignaturePasses)
{
    const AuthCheck check(kSecret, {}, 300);
    EXPECT_TRUE(check.verify(signedHeader(QStringLiteral("anything"), kNow), kNow).ok);
    EXPECT_FALSE(check.verify(signedHeader(QStringLiteral("anything"), kNow, "x"), kNow).ok);
}

TEST(AuthCheck, DigestIsLowerCaseHexOfTimestampFollowedBySecret)
{
    // sha256("1700000000s3cret"), computed independently.
    EXPECT_EQ(AuthCheck::digest("1700000000", kSecret),
        QByteArray("d2bb9920a09476593c8f7bcaba62e01b82fa45b6dd5d024f54bc62510c48b709"));
    EXPECT_EQ(AuthCheck::digest("", ""),
        QByteArray("e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855"));
}

TEST(AuthCheck, MaskedHeaderHidesTheDigest)
{
    const QString header = signedHeader(QStringLiteral("b1"), kNow);
    const QString masked = AuthCheck::masked(header);
    EXPECT_EQ(masked, QStringLiteral("b1:***:1700000000"));
    EXPECT_EQ(AuthCheck::masked(QStringLiteral("nocolons-secret")), QStringLiteral("(malformed)"));
}

} // namespace
