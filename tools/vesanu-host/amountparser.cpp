#include "amountparser.h"

#include <QRegularExpression>

#include <limits>

namespace vesanuhost {

bool AmountParser::parse(const QString &text)
{
    m_hundredths = 0;
    m_error.clear();
    static const QRegularExpression format(QStringLiteral("\\A([0-9]+)(?:\\.([0-9]{1,2}))?\\z"));
    const QRegularExpressionMatch match = format.match(text);
    if (!match.hasMatch()) {
        return fail(QStringLiteral("invalid amount \"%1\": expected a number with at most two "
                                   "decimals, such as 123.45")
                        .arg(text));
    }

    // qint64 holds any value below the limit times 10 plus a digit, so
    // checking after each digit is enough to catch overflow.
    constexpr qint64 limit = std::numeric_limits<qint32>::max();
    const QString digits = match.captured(1) + match.captured(2).leftJustified(2, QLatin1Char('0'));
    qint64 value = 0;
    for (const QChar digit : digits) {
        value = value * 10 + digit.digitValue();
        if (value > limit)
            return fail(QStringLiteral("amount \"%1\" is too large").arg(text));
    }
    if (value == 0)
        return fail(QStringLiteral("amount \"%1\" must be greater than zero").arg(text));
    m_hundredths = static_cast<int>(value);
    return true;
}

bool AmountParser::fail(const QString &error)
{
    m_error = error;
    return false;
}

} // namespace vesanuhost
