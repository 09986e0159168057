#pragma once

#include <QLatin1String>

// The command-line host's vocabulary: commands, options, paths, environment
// variables and output names, in one place.
namespace vesanuhost {

// The tool's version: the project's, from the build.
constexpr char ToolVersion[] = VESANU_VERSION;

// Exit codes: scripts tell a declined operation from a mistake in the call,
// and a payment that may still be charged from one that is not.
constexpr int ExitSuccess = 0;
// The answer is a failure; nothing was charged, or the plug-in voided it.
constexpr int ExitFailed = 1;
// The command line is wrong, or the plug-in cannot be loaded.
constexpr int ExitUsage = 2;
// The plug-in's ini file is missing, cannot be read or lacks a required setting.
constexpr int ExitSettings = 3;
// The answer is a failure, but the payment may still be charged (or the
// refund still made): the service's books decide, the journal settles it.
constexpr int ExitInDoubt = 4;
// journal: the journal holds abandoned entries, each for a person to
// reconcile with the service ("journal resolve" records it).
constexpr int ExitNeedsPerson = 5;

constexpr int DefaultCurrency = 398;
constexpr int MaxCurrency = 999;

// Where the plug-in is looked for when --plugin is not given, in order.
// Run from where the tools package installs it, the tool takes the plug-in
// of the plug-in's package (both paths come from the build's install rules).
#ifndef VESANU_INSTALLED_TOOL_DIR
#define VESANU_INSTALLED_TOOL_DIR "/usr/bin"
#endif
#ifndef VESANU_INSTALLED_PLUGIN
#define VESANU_INSTALLED_PLUGIN "/usr/lib/i386-linux-gnu/velta/paysystems/libProcessingVesaNu.so"
#endif
constexpr char InstalledToolDir[] = VESANU_INSTALLED_TOOL_DIR;
constexpr char InstalledPlugin[] = VESANU_INSTALLED_PLUGIN;
constexpr char BuildTreePlugin[] = "../lib/libProcessingVesaNu.so";
constexpr char InstalledPlugin32[] = "/usr/lib/i386-linux-gnu/velta/paysystems/libProcessingVesaNu.so";
constexpr char InstalledPlugin64[] = "/usr/lib/x86_64-linux-gnu/velta/paysystems/libProcessingVesaNu.so";

// The interface the cash register casts the plug-in's object to.
constexpr char ProcessingIid[] = "VeltaPaymentProcessing/1.0";

// The ini file the plug-in loads, as the host's configuration store sees it.
constexpr char PluginIniPath[] = "/tessaroot/cash/paysystems/vesanu/vesanu.ini";
constexpr char ConfigRootVariable[] = "VELTA_CONFIG_ROOT";
constexpr char CaFileVariable[] = "VELTA_NETWORK_CA_FILE";

// The plug-in's logger, and what its HTTP client's request lines contain.
constexpr char LogCategory[] = "vesanu";
constexpr char StatusQueryPath[] = "/payment/status/";
constexpr char StatusQueryMethod[] = "GET";
// Every request line of the HTTP client starts so, whatever it asks.
constexpr char RequestLinePrefix[] = "HTTP-запрос: ";

constexpr char FiscalMessageType[] = "sendofddata";

namespace command {
constexpr char Info[] = "info";
constexpr char Pay[] = "pay";
constexpr char Refund[] = "refund";
constexpr char Cancel[] = "cancel";
constexpr char SendFiscal[] = "send-fiscal";
constexpr char Check[] = "check";
constexpr char Journal[] = "journal";
} // namespace command

// What "journal" does beside listing.
namespace journalaction {
constexpr char Retry[] = "retry";
constexpr char Resolve[] = "resolve";
} // namespace journalaction

// The journal's folder and files as the package makes them: the folder
// root:GROUP 2770 (GROUP: the ini file's), the files 0660.
constexpr unsigned JournalFolderMode = 02770;
constexpr unsigned JournalFileMode = 0660;
constexpr char JournalLogSuffix[] = "-wal";

// OpenMetrics names of "journal --metrics", for node_exporter's textfile collector.
namespace metrics {
constexpr char Readable[] = "vesanu_journal_readable";
constexpr char Open[] = "vesanu_journal_open_entries";
constexpr char VoidPending[] = "vesanu_journal_void_pending_entries";
constexpr char Abandoned[] = "vesanu_journal_abandoned_entries";
constexpr char OldestOpenAge[] = "vesanu_journal_oldest_open_age_seconds";
constexpr char LastPaid[] = "vesanu_journal_last_paid_timestamp_seconds";
constexpr char End[] = "# EOF";
} // namespace metrics

// The live wait line's note during a payment, and what the cancel key says.
constexpr char CancelHint[] = "Ctrl-C cancels the payment";
constexpr char CancellingLine[] =
    "vesanu-host: cancelling the payment, waiting for the plug-in's answer (Ctrl-C again quits at once)";
constexpr char QuitLine[] =
    "vesanu-host: quit without the plug-in's answer: the payment may be left open; the plug-in's "
    "journal settles it at its next start";

// A token given as this is read from standard input: command lines are
// visible to every user of the machine.
constexpr char TokenFromStdin[] = "-";

// The longest duration setting the set-up check takes for sane, in seconds.
constexpr int MaxSaneSeconds = 3600;

// The marks of the set-up check's lines.
namespace check {
constexpr char MarkOk[] = "\u2713";
constexpr char MarkWarning[] = "!";
constexpr char MarkFailed[] = "\u2717";
// Said, not judged: what the check did or could not see.
constexpr char MarkNote[] = "\u00b7";
} // namespace check

namespace option {
constexpr char Plugin[] = "plugin";
constexpr char Root[] = "root";
constexpr char Ini[] = "ini";
constexpr char CaFile[] = "ca-file";
constexpr char Json[] = "json";
constexpr char Verbose[] = "verbose";
constexpr char Progress[] = "progress";
constexpr char Amount[] = "amount";
constexpr char Token[] = "token";
constexpr char Currency[] = "currency";
constexpr char Rrn[] = "rrn";
constexpr char Qr[] = "qr";
constexpr char All[] = "all";
constexpr char CheckNumber[] = "check";
constexpr char Metrics[] = "metrics";
constexpr char Note[] = "note";
constexpr char User[] = "user";
} // namespace option

namespace json {
constexpr char Success[] = "success";
constexpr char Code[] = "code";
constexpr char Message[] = "message";
constexpr char Key[] = "key";
constexpr char Text[] = "text";
constexpr char Rrn[] = "rrn";
constexpr char TerminalId[] = "terminalId";
constexpr char AdditionalInfo[] = "additionalInfo";
constexpr char AdditionalData[] = "additionalData";
constexpr char StatusQueries[] = "statusQueries";
constexpr char Delivered[] = "delivered";
constexpr char Iid[] = "iid";
constexpr char ClassName[] = "className";
constexpr char QtVersion[] = "qtVersion";
constexpr char OptionFlags[] = "optionFlags";
constexpr char ProcessingOptions[] = "processingOptions";
constexpr char PaymentTypes[] = "paymentTypes";
constexpr char CancelTypes[] = "cancelTypes";
constexpr char UseTerminal[] = "useTerminal";
constexpr char Messages[] = "messages";
constexpr char Type[] = "type";
constexpr char DialogImage[] = "dialogImage";
constexpr char Path[] = "path";
constexpr char Width[] = "width";
constexpr char Height[] = "height";
constexpr char Readable[] = "readable";
constexpr char Checks[] = "checks";
constexpr char Mark[] = "mark";
constexpr char Ok[] = "ok";
constexpr char Open[] = "open";
constexpr char TransactionId[] = "transactionId";
constexpr char Amount[] = "amount";
constexpr char Currency[] = "currency";
constexpr char AgeSeconds[] = "ageSeconds";
constexpr char State[] = "state";
constexpr char Attempts[] = "attempts";
constexpr char Fix[] = "fix";
constexpr char Entries[] = "entries";
constexpr char NeedsPerson[] = "needsPerson";
constexpr char Created[] = "created";
constexpr char NextAttempt[] = "nextAttempt";
constexpr char Questions[] = "questions";
constexpr char Voids[] = "voids";
constexpr char Acknowledged[] = "acknowledged";
constexpr char Reason[] = "reason";
constexpr char ShiftNumber[] = "shiftNumber";
constexpr char CheckNumber[] = "checkNumber";
constexpr char DocumentId[] = "documentId";
constexpr char Refunds[] = "refunds";
constexpr char Requests[] = "requests";
} // namespace json

// Members of QPluginLoader::metaData().
namespace metadata {
constexpr char Iid[] = "IID";
constexpr char ClassName[] = "className";
constexpr char Version[] = "version";
} // namespace metadata

// Members of the queued fiscal-data message the host hands over.
namespace fiscal {
constexpr char MessageType[] = "messagetype";
constexpr char Payload[] = "payload";
constexpr char Rrn[] = "rrn";
constexpr char FiscalData[] = "fiscalData";
constexpr char Qr[] = "qr";
} // namespace fiscal

} // namespace vesanuhost
