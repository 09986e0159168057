#pragma once

#include <QStringList>

// What the numbers were measured on.
class Machine
{
public:
    static QStringList description();

private:
    static int processors();
    static QString cpuModel();
    static QString loadAverage();
};
