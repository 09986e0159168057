#pragma once

#include <QByteArray>
#include <QSet>
#include <QString>

namespace sim {

// Verifies the "Auth" header of a request: "branchId:hexdigest:timestamp",
// the digest being lower-case hex SHA-256 of the decimal timestamp followed
// by the secret key.
class AuthCheck
{
public:
    struct Result
    {
        bool ok = false;
        int httpStatus = 401;
        int errorCode = 0;
        QString note;
        QString branchId;
    };

    // An empty branch set accepts every branch; the signature is always checked.
    AuthCheck(const QByteArray &secret, const QSet<QString> &branches, qint64 skewSeconds);

    Result verify(const QString &header, qint64 nowSeconds) const;

    // The digest a client must send for a timestamp: also used to sign in tests.
    static QByteArray digest(const QByteArray &timestamp, const QByteArray &secret);
    // The header value with its digest hidden, for logs.
    static QString masked(const QString &header);

private:
    static bool parseTimestamp(const QString &text, qint64 *seconds);
    static bool equalInConstantTime(const QByteArray &a, const QByteArray &b);

    QByteArray m_secret;
    QSet<QString> m_branches;
    qint64 m_skewSeconds;
};

} // namespace sim
