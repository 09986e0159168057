#pragma once

#include <QString>

namespace vesanuhost {

// Turns a decimal amount as a person types it ("123.45") into hundredths,
// exactly: money never passes through floating point here. The result must
// fit the request's 32-bit amount field and be greater than zero.
class AmountParser
{
public:
    bool parse(const QString &text);

    int hundredths() const { return m_hundredths; }
    QString errorString() const { return m_error; }

private:
    bool fail(const QString &error);

    int m_hundredths = 0;
    QString m_error;
};

} // namespace vesanuhost
