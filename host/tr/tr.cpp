#include "tr.h"

namespace tr {

Tr::Tr() = default;

Tr::Tr(const QString &key, const QString &defaultText)
    : m_key(key)
    , m_defaultText(defaultText)
{
}

Tr::Tr(const Tr &other) = default;
Tr &Tr::operator=(const Tr &other) = default;
Tr::~Tr() = default;

bool Tr::operator==(const Tr &other) const
{
    return m_key == other.m_key && m_defaultText == other.m_defaultText;
}

QString Tr::key() const
{
    return m_key;
}

QString Tr::defaultText() const
{
    return m_defaultText;
}

bool Tr::isEmpty() const
{
    return m_key.isEmpty() && m_defaultText.isEmpty();
}

QString Tr::ui() const
{
    return m_defaultText;
}

} // namespace tr
