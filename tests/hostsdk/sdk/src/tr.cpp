#include "tr/tr.h"

namespace tr {

Tr::Tr() = default;

Tr::Tr(const QString &key, const QString &defaultText)
    : m_key(key)
    , m_text(defaultText)
{
}

Tr::Tr(const Tr &other) = default;
Tr &Tr::operator=(const Tr &other) = default;
Tr::~Tr() = default;

QString Tr::translated() const
{
    QString result = m_text;
    for (const QString &argument : m_arguments)
        result = result.arg(argument);
    return result;
}

bool Tr::operator==(const Tr &other) const
{
    return m_key == other.m_key && m_text == other.m_text && m_arguments == other.m_arguments;
}

Tr &Tr::arg(const QString &value)
{
    m_arguments << value;
    return *this;
}

QString Tr::key() const
{
    return m_key;
}

QString Tr::text() const
{
    return m_text;
}

} // namespace tr
