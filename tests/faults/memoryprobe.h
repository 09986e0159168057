#pragma once

#include <QtGlobal>

// The peak resident memory of this process while it lives, from Linux's
// /proc/self: the kernel's high-water mark is reset when the probe starts.
class MemoryProbe
{
public:
    MemoryProbe();

    // How far the peak rose above the resident size at the start, in KiB;
    // -1 when the figures cannot be read.
    qint64 growthKiB() const;

private:
    static qint64 statusField(const char *name);

    qint64 m_startKiB;
};
