#pragma once

#include <QByteArray>
#include <cstddef>
#include <cstdint>

// Reads a fuzz input front to back. Past the end every read gives zero or
// nothing, so a decoder always terminates on short input.
class FuzzInput
{
public:
    FuzzInput(const std::uint8_t *data, std::size_t size);

    bool atEnd() const { return m_position >= m_data.size(); }
    std::uint8_t takeByte();
    std::int32_t takeInt32();
    QByteArray takeBytes(int count);
    QByteArray takeRest();

private:
    QByteArray m_data;
    int m_position = 0;
};
