#pragma once

#include <QColor>
#include <QSize>

// The picture's size and palette, in one place so the look can be tuned
// without reading the drawing code.
namespace art {

constexpr QSize ImageSize(453, 350);

// Modules of the QR-like grid, the size of a version 2 code.
constexpr int QrModules = 25;
constexpr int QrFinderSize = 7;
// Fixed seed: the picture must come out byte for byte the same on every run.
constexpr quint32 QrSeed = 0x5ca17015u;

inline QColor backgroundTop() { return QColor(0xdd, 0xef, 0xfb); }
inline QColor backgroundBottom() { return QColor(0xb7, 0xdc, 0xf5); }
inline QColor backgroundBubble() { return QColor(255, 255, 255, 70); }
inline QColor shadow() { return QColor(20, 50, 80, 60); }
inline QColor phoneBody() { return QColor(0x2a, 0x2f, 0x38); }
inline QColor phoneEdge() { return QColor(0x4a, 0x52, 0x5e); }
inline QColor screen() { return QColor(0xfb, 0xfd, 0xff); }
inline QColor screenBar() { return QColor(0x2f, 0x80, 0xd1); }
inline QColor scanFrame() { return QColor(0x2f, 0x80, 0xd1); }
inline QColor qrDark() { return QColor(0x16, 0x1a, 0x20); }
inline QColor skinLight() { return QColor(0xf6, 0xcf, 0xa8); }
inline QColor skinDark() { return QColor(0xe2, 0xa8, 0x7c); }
inline QColor skinOutline() { return QColor(0xb9, 0x7a, 0x52); }
inline QColor nail() { return QColor(0xfb, 0xe3, 0xd3); }

} // namespace art
