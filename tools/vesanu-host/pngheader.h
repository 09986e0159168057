#pragma once

#include <QByteArray>
#include <QtGlobal>

class QIODevice;

namespace vesanuhost {

// The image header (IHDR) at the start of a PNG file: enough to tell the
// picture's size and pixel format without an image library.
class PngHeader
{
public:
    // Bytes a header needs: signature, chunk length and type, 13 data bytes.
    static constexpr int Size = 8 + 8 + 13;

    static PngHeader parse(const QByteArray &start);
    static PngHeader read(QIODevice &device);

    bool isValid() const { return m_valid; }
    quint32 width() const { return m_width; }
    quint32 height() const { return m_height; }
    int bitDepth() const { return m_bitDepth; }
    int colourType() const { return m_colourType; }
    int interlace() const { return m_interlace; }

private:
    bool m_valid = false;
    quint32 m_width = 0;
    quint32 m_height = 0;
    int m_bitDepth = 0;
    int m_colourType = 0;
    int m_interlace = 0;
};

} // namespace vesanuhost
