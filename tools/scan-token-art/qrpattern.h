#pragma once

#include <QBitArray>

// A square grid that looks like a QR code: three finder squares, timing
// lines, one alignment square and data modules from a fixed pseudo-random
// sequence. It encodes nothing; it only has to read as "a QR code" at a glance.
class QrPattern
{
public:
    QrPattern(int modules, quint32 seed);

    int modules() const { return m_modules; }
    bool isDark(int column, int row) const;

private:
    void set(int column, int row, bool dark);
    void fillData(quint32 seed);
    void drawFinder(int left, int top);
    void drawTiming();
    void drawAlignment(int centreColumn, int centreRow);

    int m_modules;
    QBitArray m_dark;
};
