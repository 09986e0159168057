#include "pngheader.h"

#include <QIODevice>
#include <QtEndian>

namespace vesanuhost {

namespace {

const QByteArray Signature("\x89PNG\r\n\x1a\n", 8);
const QByteArray HeaderChunk("\0\0\0\x0dIHDR", 8);

quint32 bigEndianAt(const QByteArray &bytes, int offset)
{
    return qFromBigEndian<quint32>(bytes.constData() + offset);
}

} // namespace

PngHeader PngHeader::parse(const QByteArray &start)
{
    PngHeader header;
    if (start.size() < Size || !start.startsWith(Signature) || start.mid(8, 8) != HeaderChunk)
        return header;
    header.m_width = bigEndianAt(start, 16);
    header.m_height = bigEndianAt(start, 20);
    header.m_bitDepth = static_cast<quint8>(start.at(24));
    header.m_colourType = static_cast<quint8>(start.at(25));
    header.m_interlace = static_cast<quint8>(start.at(28));
    header.m_valid = header.m_width > 0 && header.m_height > 0;
    return header;
}

PngHeader PngHeader::read(QIODevice &device)
{
    return parse(device.read(Size));
}

} // namespace vesanuhost
