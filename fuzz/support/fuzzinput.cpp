#include "fuzzinput.h"

#include <QtGlobal>

FuzzInput::FuzzInput(const std::uint8_t *data, std::size_t size)
    // Fuzz inputs stay far below 2 GiB (libFuzzer's -max_len), so int holds any size.
    : m_data(reinterpret_cast<const char *>(data), int(size))
{
}

std::uint8_t FuzzInput::takeByte()
{
    if (atEnd())
        return 0;
    return std::uint8_t(m_data.at(m_position++));
}

std::int32_t FuzzInput::takeInt32()
{
    std::uint32_t value = 0;
    for (int i = 0; i < 4; ++i)
        value = (value << 8) | takeByte();
    return std::int32_t(value);
}

QByteArray FuzzInput::takeBytes(int count)
{
    const int available = qMin(count, m_data.size() - m_position);
    const QByteArray bytes = m_data.mid(m_position, available);
    m_position += available;
    return bytes;
}

QByteArray FuzzInput::takeRest()
{
    return takeBytes(m_data.size() - m_position);
}
