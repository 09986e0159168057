#pragma once

#include "hostconstants.h"

#include <QString>

namespace vesanuhost {

// One run of the tool as the command line asked for it, already checked.
struct Invocation
{
    enum class Command { Info, Pay, Refund, Cancel, SendFiscal, Check, Journal };

    Command command = Command::Info;
    // Set when --help was asked for: print it and do nothing else.
    QString helpText;
    // --version: the tool's and the plug-in's, and nothing else.
    bool version = false;

    QString pluginPath;
    QString configRoot;
    QString iniFile;
    QString caFile;
    bool json = false;
    bool verbose = false;
    bool progress = false;

    int amount = 0; // hundredths
    int currency = DefaultCurrency;
    QString token;
    QString rrn;
    QString qr;
};

} // namespace vesanuhost
