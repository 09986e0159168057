#pragma once

#include "hostconstants.h"

#include <QString>

namespace vesanuhost {

// One run of the tool as the command line asked for it, already checked.
struct Invocation
{
    enum class Command { Info, Pay, Refund, Cancel, SendFiscal, Check, Journal };
    // journal: list (the default), settle now, or record a person's reconciliation.
    enum class JournalAction { List, Retry, Resolve };

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

    JournalAction journalAction = JournalAction::List;
    bool all = false; // journal: every entry, not only those still open
    int checkNumber = 0; // journal: the host's check number; 0 for any
    bool metrics = false; // journal: OpenMetrics text
    QString note; // journal resolve: what the person found
    QString user; // check: run as this user
};

} // namespace vesanuhost
