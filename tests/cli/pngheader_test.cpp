#include "pngheader.h"

#include <QFile>

#include <gtest/gtest.h>

using vesanuhost::PngHeader;

namespace {

QByteArray headerBytes(quint32 width, quint32 height)
{
    QByteArray bytes("\x89PNG\r\n\x1a\n\0\0\0\x0dIHDR", 16);
    for (quint32 value : {width, height}) {
        for (int shift = 24; shift >= 0; shift -= 8)
            bytes.append(static_cast<char>((value >> shift) & 0xff));
    }
    bytes.append("\x08\x06\x00\x00\x00", 5);
    return bytes;
}

// The picture the plug-in embeds must be what the scan dialog expects.
TEST(PngHeader, ScanPictureIs453By350RgbaNonInterlaced)
{
    QFile file(QStringLiteral(VESANU_SCAN_PICTURE));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const PngHeader header = PngHeader::read(file);
    ASSERT_TRUE(header.isValid());
    EXPECT_EQ(header.width(), 453u);
    EXPECT_EQ(header.height(), 350u);
    EXPECT_EQ(header.bitDepth(), 8);
    EXPECT_EQ(header.colourType(), 6);
    EXPECT_EQ(header.interlace(), 0);
}

TEST(PngHeader, ReadsSizesAboveTwoToTheThirtyOneUnsigned)
{
    const PngHeader header = PngHeader::parse(headerBytes(0x80000001u, 0xfffffffeu));
    ASSERT_TRUE(header.isValid());
    EXPECT_EQ(header.width(), 0x80000001u);
    EXPECT_EQ(header.height(), 0xfffffffeu);
}

class BrokenPng : public ::testing::TestWithParam<QByteArray>
{
};

TEST_P(BrokenPng, IsNotValid)
{
    EXPECT_FALSE(PngHeader::parse(GetParam()).isValid());
}

QByteArray withByte(QByteArray bytes, int index, char value)
{
    bytes[index] = value;
    return bytes;
}

INSTANTIATE_TEST_SUITE_P(Headers, BrokenPng,
                         ::testing::Values(QByteArray(), headerBytes(453, 350).left(PngHeader::Size - 1),
                                           withByte(headerBytes(453, 350), 1, 'Q'),
                                           withByte(headerBytes(453, 350), 12, 'i'),
                                           withByte(headerBytes(453, 350), 11, 0x0c), headerBytes(0, 350),
                                           headerBytes(453, 0)));

} // namespace
