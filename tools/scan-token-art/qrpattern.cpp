#include "qrpattern.h"

#include "artconstants.h"

#include <algorithm>
#include <cstdlib>

QrPattern::QrPattern(int modules, quint32 seed)
    : m_modules(modules)
    , m_dark(modules * modules)
{
    fillData(seed);
    drawTiming();
    const int far = m_modules - art::QrFinderSize;
    drawFinder(0, 0);
    drawFinder(far, 0);
    drawFinder(0, far);
    drawAlignment(m_modules - 7, m_modules - 7);
}

bool QrPattern::isDark(int column, int row) const
{
    if (column < 0 || row < 0 || column >= m_modules || row >= m_modules)
        return false;
    return m_dark.testBit(row * m_modules + column);
}

void QrPattern::set(int column, int row, bool dark)
{
    if (column >= 0 && row >= 0 && column < m_modules && row < m_modules)
        m_dark.setBit(row * m_modules + column, dark);
}

// xorshift32 in unsigned 32-bit arithmetic: the same bits on every platform.
void QrPattern::fillData(quint32 seed)
{
    quint32 state = seed ? seed : 1u;
    for (int index = 0; index < m_dark.size(); ++index) {
        state ^= state << 13;
        state ^= state >> 17;
        state ^= state << 5;
        m_dark.setBit(index, (state & 0x100u) != 0);
    }
}

// A 7x7 ring, a 3x3 centre and a one-module light border around it.
void QrPattern::drawFinder(int left, int top)
{
    for (int row = -1; row <= art::QrFinderSize; ++row) {
        for (int column = -1; column <= art::QrFinderSize; ++column) {
            const int ring = std::max(std::abs(column - 3), std::abs(row - 3));
            set(left + column, top + row, ring == 3 || ring <= 1);
        }
    }
}

void QrPattern::drawTiming()
{
    for (int index = 0; index < m_modules; ++index) {
        set(index, 6, index % 2 == 0);
        set(6, index, index % 2 == 0);
    }
}

void QrPattern::drawAlignment(int centreColumn, int centreRow)
{
    for (int row = -2; row <= 2; ++row) {
        for (int column = -2; column <= 2; ++column) {
            const int ring = std::max(std::abs(column), std::abs(row));
            set(centreColumn + column, centreRow + row, ring != 1);
        }
    }
}
