#include "commandline.h"

#include "amountparser.h"

#include <QCommandLineParser>

#include <algorithm>

namespace vesanuhost {

namespace {

struct CommandInfo
{
    const char *name;
    Invocation::Command command;
    const char *description;
    // The command's own help adds this: what else it does, and an example.
    const char *details;
};

const CommandInfo Commands[] = {
    {command::Info, Invocation::Command::Info,
     "Show the plug-in's metadata, options, enabled request types and scan-dialog texts.", ""},
    {command::Pay, Invocation::Command::Pay,
     "Pay an amount with a scanned one-time token (request type 1); Ctrl-C cancels it.",
     "--json prints the answer with its additionalInfo, whose \"moneyState\" says where the money is.\n"
     "Example: vesanu-host pay --amount 123.45 --token - --json   (the token on standard input)"},
    {command::Refund, Invocation::Command::Refund,
     "Refund an earlier payment by its RRN (request type 3, through payment).", ""},
    {command::Cancel, Invocation::Command::Cancel, "Cancel an earlier payment by its RRN (request type 1).", ""},
    {command::SendFiscal, Invocation::Command::SendFiscal,
     "Hand the receipt's fiscal QR code for a payment to the plug-in's message queue.", ""},
    {command::Check, Invocation::Command::Check,
     "Check the set-up: the ini file, its settings, the journal, the plug-in, and the connection to the service.",
     "The journal is opened to write and closed again; the plug-in's init() may send the voids its\n"
     "journal owes, and the check says so. Each failing line says how to fix it.\n"
     "Example: vesanu-host check --user cashier   (as root: the checks run as the register's user)"},
    {command::Journal, Invocation::Command::Journal,
     "List the payments the plug-in's journal still has to settle, or retry or resolve them.",
     "The listing sends nothing. Abandoned entries come first: each needs a person (exit code 5).\n"
     "  journal retry                         settle the open entries now, through the plug-in's init()\n"
     "  journal resolve --rrn ID --note TEXT  record that a person reconciled an abandoned entry\n"
     "                                        (while no register holds the journal)\n"
     "Example: vesanu-host journal --all --check 1042\n"
     "         vesanu-host journal --metrics > /var/lib/node_exporter/textfile/vesanu.prom"},
};

const CommandInfo *findCommand(const QString &name)
{
    for (const CommandInfo &info : Commands) {
        if (name == QLatin1String(info.name))
            return &info;
    }
    return nullptr;
}

QCommandLineOption valueOption(const char *name, const QString &description, const QString &valueName)
{
    return QCommandLineOption(QLatin1String(name), description, valueName);
}

QList<QCommandLineOption> commonOptions()
{
    return {
        valueOption(option::Plugin, QStringLiteral("The plug-in library (default: the search list)."),
                    QStringLiteral("path")),
        valueOption(option::Root, QStringLiteral("Configuration root that holds tessaroot/... "
                                                 "(sets VELTA_CONFIG_ROOT)."),
                    QStringLiteral("dir")),
        valueOption(option::Ini, QStringLiteral("Use this file as the plug-in's vesanu.ini "
                                                "(in a temporary configuration root)."),
                    QStringLiteral("file")),
        valueOption(option::CaFile, QStringLiteral("Extra trusted CA certificates, PEM "
                                                   "(sets VELTA_NETWORK_CA_FILE)."),
                    QStringLiteral("file")),
        QCommandLineOption(QLatin1String(option::Json), QStringLiteral("Print one JSON object.")),
        QCommandLineOption(QLatin1String(option::Verbose), QStringLiteral("Show the plug-in's log lines on stderr.")),
        QCommandLineOption(QLatin1String(option::Progress),
                           QStringLiteral("Show the live wait line even when stderr is not a terminal.")),
    };
}

QList<QCommandLineOption> commandOptions(Invocation::Command command)
{
    const QCommandLineOption amount = valueOption(
        option::Amount, QStringLiteral("Amount with at most two decimals, e.g. 123.45."), QStringLiteral("amount"));
    const QCommandLineOption token = valueOption(
        option::Token, QStringLiteral("The scanned one-time token; - reads it from standard input."),
        QStringLiteral("token"));
    const QCommandLineOption currency =
        valueOption(option::Currency, QStringLiteral("Numeric currency code (default %1).").arg(DefaultCurrency),
                    QStringLiteral("code"));
    const QCommandLineOption rrn =
        valueOption(option::Rrn, QStringLiteral("RRN of the payment (its transaction id)."), QStringLiteral("rrn"));
    const QCommandLineOption qr =
        valueOption(option::Qr, QStringLiteral("The receipt's fiscal QR code text."), QStringLiteral("text"));
    const QCommandLineOption payment = valueOption(
        option::Rrn, QStringLiteral("Only this payment (its transaction id), with its refunds."), QStringLiteral("rrn"));
    const QCommandLineOption all(QLatin1String(option::All),
                                 QStringLiteral("Every entry, also those settled, voided or resolved."));
    const QCommandLineOption checkNumber = valueOption(
        option::CheckNumber, QStringLiteral("Only entries of the host's check number."), QStringLiteral("number"));
    const QCommandLineOption metrics(QLatin1String(option::Metrics),
                                     QStringLiteral("Print OpenMetrics text for node_exporter's textfile collector."));
    const QCommandLineOption note = valueOption(
        option::Note, QStringLiteral("resolve: what the person found, kept as the entry's reason."),
        QStringLiteral("text"));
    const QCommandLineOption user = valueOption(
        option::User, QStringLiteral("Run the checks as this user, e.g. the register's (needs root)."),
        QStringLiteral("name"));
    switch (command) {
    case Invocation::Command::Pay:
        return {amount, token, currency};
    case Invocation::Command::Refund:
        return {rrn, amount, currency};
    case Invocation::Command::Cancel:
        return {rrn, currency};
    case Invocation::Command::SendFiscal:
        return {rrn, qr};
    case Invocation::Command::Check:
        return {user};
    case Invocation::Command::Journal:
        return {all, payment, checkNumber, metrics, note};
    case Invocation::Command::Info:
        break;
    }
    return {};
}

} // namespace

QString CommandLine::overview()
{
    QString text = QStringLiteral("Drives the VesaNu payment plug-in as the cash register does.\n\nCommands:\n");
    for (const CommandInfo &info : Commands)
        text += QStringLiteral("  %1  %2\n").arg(QLatin1String(info.name), -12).arg(QLatin1String(info.description));
    text += QStringLiteral("\nExit codes: %1 success, %2 failed answer, %3 usage error or plug-in not loadable,\n"
                           "%4 ini file missing, unreadable or incomplete, %5 failed answer but the payment\n"
                           "(or refund) may still go through: check it with the service, %6 the journal\n"
                           "holds abandoned entries for a person to reconcile.")
                .arg(ExitSuccess)
                .arg(ExitFailed)
                .arg(ExitUsage)
                .arg(ExitSettings)
                .arg(ExitInDoubt)
                .arg(ExitNeedsPerson);
    return text;
}

bool CommandLine::parse(const QStringList &arguments)
{
    m_invocation = Invocation();
    m_error.clear();
    const QString program = arguments.value(0, QStringLiteral("vesanu-host"));
    m_helpHint = program + QStringLiteral(" --help");

    QCommandLineParser parser;
    parser.setApplicationDescription(overview());
    parser.addOptions(commonOptions());
    const QCommandLineOption help = parser.addHelpOption();
    const QCommandLineOption version = parser.addVersionOption();
    parser.addPositionalArgument(QStringLiteral("command"), QStringLiteral("One of the commands above."),
                                 QStringLiteral("COMMAND [options]"));
    // Everything after the command belongs to the command's own parser.
    parser.setOptionsAfterPositionalArgumentsMode(QCommandLineParser::ParseAsPositionalArguments);
    if (!parser.parse(arguments))
        return fail(parser.errorText());
    readCommon(parser);

    const QStringList positional = parser.positionalArguments();
    if (parser.isSet(help)) {
        m_invocation.helpText = parser.helpText();
        return true;
    }
    if (parser.isSet(version)) {
        m_invocation.version = true;
        return true;
    }
    if (positional.isEmpty())
        return fail(QStringLiteral("no command given"));
    return parseCommand(program, positional.first(), positional.mid(1));
}

bool CommandLine::parseCommand(const QString &program, const QString &command, const QStringList &rest)
{
    const CommandInfo *info = findCommand(command);
    if (!info)
        return fail(QStringLiteral("unknown command \"%1\"").arg(command));
    m_invocation.command = info->command;
    m_helpHint = QStringLiteral("%1 %2 --help").arg(program, command);

    QCommandLineParser parser;
    parser.setApplicationDescription(*info->details ? QStringLiteral("%1\n%2").arg(QLatin1String(info->description),
                                                                                  QString::fromUtf8(info->details))
                                                    : QLatin1String(info->description));
    parser.addOptions(commonOptions() + commandOptions(info->command));
    const QCommandLineOption help = parser.addHelpOption();
    parser.addPositionalArgument(command, QString(), command);
    if (info->command == Invocation::Command::Journal)
        parser.addPositionalArgument(QStringLiteral("action"), QStringLiteral("retry or resolve (optional)."),
                                     QStringLiteral("[retry|resolve]"));
    if (!parser.parse(QStringList{program, command} + rest))
        return fail(parser.errorText());
    const QStringList positional = parser.positionalArguments();
    const int allowed = info->command == Invocation::Command::Journal ? 2 : 1;
    if (positional.size() > allowed)
        return fail(QStringLiteral("unexpected argument \"%1\"").arg(positional.at(allowed)));
    readCommon(parser);
    if (parser.isSet(help)) {
        m_invocation.helpText = parser.helpText();
        return true;
    }
    if (positional.size() == 2 && !readJournalAction(positional.at(1)))
        return false;
    return readCommandOptions(parser) && checkCommon();
}

bool CommandLine::readJournalAction(const QString &action)
{
    if (action == QLatin1String(journalaction::Retry))
        m_invocation.journalAction = Invocation::JournalAction::Retry;
    else if (action == QLatin1String(journalaction::Resolve))
        m_invocation.journalAction = Invocation::JournalAction::Resolve;
    else
        return fail(QStringLiteral("unexpected argument \"%1\": journal takes retry or resolve").arg(action));
    return true;
}

bool CommandLine::readJournalOptions(const QCommandLineParser &parser)
{
    Invocation &run = m_invocation;
    run.all = parser.isSet(QLatin1String(option::All));
    run.metrics = parser.isSet(QLatin1String(option::Metrics));
    run.rrn = parser.value(QLatin1String(option::Rrn));
    run.note = parser.value(QLatin1String(option::Note));
    if (parser.isSet(QLatin1String(option::CheckNumber))) {
        bool ok = false;
        run.checkNumber = parser.value(QLatin1String(option::CheckNumber)).toInt(&ok);
        if (!ok || run.checkNumber <= 0)
            return fail(QStringLiteral("invalid check number \"%1\": expected a whole number above 0")
                            .arg(parser.value(QLatin1String(option::CheckNumber))));
    }
    if (run.journalAction != Invocation::JournalAction::Resolve)
        return true;
    // A reconciliation names the payment and what the person found.
    return readRequired(parser, option::Rrn, &run.rrn) && readRequired(parser, option::Note, &run.note);
}

bool CommandLine::readCommandOptions(const QCommandLineParser &parser)
{
    Invocation &run = m_invocation;
    switch (run.command) {
    case Invocation::Command::Pay:
        return readAmount(parser) && readRequired(parser, option::Token, &run.token) && readCurrency(parser);
    case Invocation::Command::Refund:
        return readRequired(parser, option::Rrn, &run.rrn) && readAmount(parser) && readCurrency(parser);
    case Invocation::Command::Cancel:
        return readRequired(parser, option::Rrn, &run.rrn) && readCurrency(parser);
    case Invocation::Command::SendFiscal:
        return readRequired(parser, option::Rrn, &run.rrn) && readRequired(parser, option::Qr, &run.qr);
    case Invocation::Command::Journal:
        return readJournalOptions(parser);
    case Invocation::Command::Check:
        run.user = parser.value(QLatin1String(option::User));
        break;
    case Invocation::Command::Info:
        break;
    }
    return true;
}

bool CommandLine::readAmount(const QCommandLineParser &parser)
{
    QString text;
    if (!readRequired(parser, option::Amount, &text))
        return false;
    AmountParser amount;
    if (!amount.parse(text))
        return fail(amount.errorString());
    m_invocation.amount = amount.hundredths();
    return true;
}

bool CommandLine::readCurrency(const QCommandLineParser &parser)
{
    if (!parser.isSet(QLatin1String(option::Currency)))
        return true;
    const QString text = parser.value(QLatin1String(option::Currency));
    bool ok = false;
    const int code = text.toInt(&ok);
    const bool digitsOnly = !text.isEmpty() && std::all_of(text.begin(), text.end(), [](QChar c) {
        return c >= QLatin1Char('0') && c <= QLatin1Char('9');
    });
    if (!ok || !digitsOnly || code <= 0 || code > MaxCurrency)
        return fail(QStringLiteral("invalid currency code \"%1\": expected a number from 1 to %2")
                        .arg(text)
                        .arg(MaxCurrency));
    m_invocation.currency = code;
    return true;
}

bool CommandLine::readRequired(const QCommandLineParser &parser, const char *name, QString *value)
{
    *value = parser.value(QLatin1String(name));
    if (value->isEmpty())
        return fail(QStringLiteral("--%1 is required").arg(QLatin1String(name)));
    return true;
}

void CommandLine::readCommon(const QCommandLineParser &parser)
{
    Invocation &run = m_invocation;
    const auto take = [&parser](const char *name, QString *target) {
        if (parser.isSet(QLatin1String(name)))
            *target = parser.value(QLatin1String(name));
    };
    take(option::Plugin, &run.pluginPath);
    take(option::Root, &run.configRoot);
    take(option::Ini, &run.iniFile);
    take(option::CaFile, &run.caFile);
    run.json = run.json || parser.isSet(QLatin1String(option::Json));
    run.verbose = run.verbose || parser.isSet(QLatin1String(option::Verbose));
    run.progress = run.progress || parser.isSet(QLatin1String(option::Progress));
}

bool CommandLine::checkCommon()
{
    if (!m_invocation.configRoot.isEmpty() && !m_invocation.iniFile.isEmpty())
        return fail(QStringLiteral("--root and --ini cannot be used together"));
    return true;
}

bool CommandLine::fail(const QString &error)
{
    m_error = error;
    return false;
}

} // namespace vesanuhost
