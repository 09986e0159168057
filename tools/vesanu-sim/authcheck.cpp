#include "authcheck.h"

#include "simconstants.h"

#include <QCryptographicHash>

namespace sim {

namespace {

AuthCheck::Result refusal(int httpStatus, int code, const char *note, const QString &branch = {})
{
    AuthCheck::Result result;
    result.httpStatus = httpStatus;
    result.errorCode = code;
    result.note = QLatin1String(note);
    result.branchId = branch;
    return result;
}

struct Parts
{
    QString branch;
    QString digest;
    QString timestamp;
};

// Split on the last two colons: a branch identifier may itself hold a colon.
bool split(const QString &header, Parts *parts)
{
    const int last = header.lastIndexOf(QLatin1Char(':'));
    if (last <= 0)
        return false;
    const int middle = header.lastIndexOf(QLatin1Char(':'), last - 1);
    if (middle < 0)
        return false;
    parts->branch = header.left(middle);
    parts->digest = header.mid(middle + 1, last - middle - 1);
    parts->timestamp = header.mid(last + 1);
    return true;
}

} // namespace

AuthCheck::AuthCheck(const QByteArray &secret, const QSet<QString> &branches, qint64 skewSeconds)
    : m_secret(secret)
    , m_branches(branches)
    , m_skewSeconds(skewSeconds)
{
}

AuthCheck::Result AuthCheck::verify(const QString &header, qint64 nowSeconds) const
{
    if (header.isEmpty())
        return refusal(401, code::Signature, note::AuthMissing);
    Parts parts;
    qint64 timestamp = 0;
    if (!split(header, &parts) || !parseTimestamp(parts.timestamp, &timestamp))
        return refusal(401, code::Signature, note::AuthMalformed);
    if (!m_branches.isEmpty() && !m_branches.contains(parts.branch))
        return refusal(403, code::Forbidden, note::UnknownBranch, parts.branch);
    const QByteArray expected = digest(parts.timestamp.toLatin1(), m_secret);
    if (!equalInConstantTime(parts.digest.toLatin1(), expected))
        return refusal(401, code::Signature, note::AuthSignature, parts.branch);
    const qint64 drift = nowSeconds - timestamp;
    if (drift > m_skewSeconds || -drift > m_skewSeconds)
        return refusal(401, code::Signature, note::AuthStale, parts.branch);
    Result result;
    result.ok = true;
    result.httpStatus = 200;
    result.branchId = parts.branch;
    return result;
}

QByteArray AuthCheck::digest(const QByteArray &timestamp, const QByteArray &secret)
{
    return QCryptographicHash::hash(timestamp + secret, QCryptographicHash::Sha256).toHex();
}

QString AuthCheck::masked(const QString &header)
{
    Parts parts;
    if (!split(header, &parts))
        return header.isEmpty() ? QString() : QStringLiteral("(malformed)");
    return parts.branch + QStringLiteral(":***:") + parts.timestamp;
}

bool AuthCheck::parseTimestamp(const QString &text, qint64 *seconds)
{
    // Decimal digits only: no sign, no spaces; 18 digits keep it within 64 bits.
    if (text.isEmpty() || text.size() > 18)
        return false;
    for (const QChar c : text) {
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            return false;
    }
    *seconds = text.toLongLong();
    return true;
}

bool AuthCheck::equalInConstantTime(const QByteArray &a, const QByteArray &b)
{
    // Every byte is looked at whatever the first difference, so the time
    // taken tells an attacker nothing about how much of a guess was right.
    unsigned char difference = a.size() == b.size() ? 0 : 1;
    const int length = qMin(a.size(), b.size());
    for (int i = 0; i < length; ++i)
        difference |= static_cast<unsigned char>(a.at(i) ^ b.at(i));
    return difference == 0;
}

} // namespace sim
