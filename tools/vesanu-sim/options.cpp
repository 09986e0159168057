#include "options.h"

#include "simconstants.h"

#include <QCommandLineParser>

namespace sim {

namespace {

const char kHelp[] = R"(Usage: vesanu-sim [options]

A local stand-in for the VesaNu payment service, for tests.

Options:
  --listen ADDR       address to listen on (default 127.0.0.1)
  --port N            port; 0 picks a free one (default 0)
  --cert FILE         PEM certificate: serve HTTPS (needs --key)
  --key FILE          PEM private key of --cert
  --secret S          secret key the "Auth" digest is made with (default test-secret)
  --branch ID         known branch identifier; repeatable or comma list (none: any)
  --cashbox CODE      known cashbox code; repeatable or comma list (none: any)
  --base-path P       path of the API (default /api/v1)
  --skew SECONDS      allowed clock difference of "Auth" timestamps (default 300)
  --clock-offset SECS run the clock "Auth" is checked against this far ahead
                      (negative: behind) of the system clock (default 0)
  --ledger FILE       rewrite the ledger as JSON to FILE after every change
  --threads N         worker threads (default 32)
  --keep-alive SECS   keep idle connections this long; 0 = one request per connection
  --quiet             no request log on stderr
  --help              this text

Once it accepts connections it prints "listening on http(s)://ADDR:PORT".
Inspection without "Auth": GET /__sim/ledger, GET /__sim/health.

Scenario tokens: "otp_data" is a list of parts joined by '+'. A part that is
no directive is plain token text; a token of plain text alone is paid at once.
  pending:N            pending; paid at the N-th status query
  pending-ms:MS        pending; paid MS ms after the payment
  declined             failed at once (error_code 0, payment_status -1)
  declined-after:N     pending; failed at the N-th status query
  never                pending for ever
  error:CODE           refused with error_code CODE; recorded as failed
  flap:N               not-final values 0, 1, 5, 7 in turn; paid at the N-th query
  reverse-pending:N    a reversal stays pending (4) until the N-th status query
  reverse-fail         a reversal fails (-1); the payment stays paid (or pending)
  reverse-fail@N       only the first N reversals fail
  confirm-late:MS      a pending payment turns paid MS ms after it was made,
                       unless a reversal cancelled it first
  phone:DIGITS         the payer's phone number (default 77010000000)
Faults of the payment answer (the payment is recorded all the same):
  delay:MS  drop  cut  nonjson  http500  empty  silent  drip  huge  badutf8
  array  nested  error500  notfound  proxy404  says-failed
  status-fault:F, reversal-fault:F, ofd-fault:F put fault F on those answers.
  A fault applies to every answer of its kind; F@N to the first N only.
Example: "pending:2+phone:77011234567+delay:200+status-fault:nonjson@1".
)";

bool readInt(const QCommandLineParser &parser, const char *name, int min, int max, int *value,
    QString *error)
{
    if (!parser.isSet(QLatin1String(name)))
        return true;
    bool ok = false;
    const int number = parser.value(QLatin1String(name)).toInt(&ok);
    if (!ok || number < min || number > max) {
        *error = QStringLiteral("--%1 needs a whole number from %2 to %3")
                     .arg(QLatin1String(name))
                     .arg(min)
                     .arg(max);
        return false;
    }
    *value = number;
    return true;
}

QSet<QString> readList(const QCommandLineParser &parser, const char *name)
{
    QSet<QString> items;
    for (const QString &value : parser.values(QLatin1String(name))) {
        for (const QString &item : value.split(QLatin1Char(','))) {
            if (!item.trimmed().isEmpty())
                items.insert(item.trimmed());
        }
    }
    return items;
}

void addOptions(QCommandLineParser &parser)
{
    for (const char *name : { option::Listen, option::Port, option::Cert, option::Key,
             option::Secret, option::Branch, option::Cashbox, option::BasePath, option::Skew,
             option::ClockOffset, option::Ledger, option::Threads, option::KeepAlive }) {
        parser.addOption(
            QCommandLineOption(QLatin1String(name), QString(), QStringLiteral("value")));
    }
    parser.addOption(QCommandLineOption(QLatin1String(option::Quiet)));
    parser.addOption(QCommandLineOption(QLatin1String(option::Help)));
}

} // namespace

Options::Options()
    : listen(QLatin1String(defaults::Listen))
    , port(defaults::Port)
    , secret(QLatin1String(defaults::Secret))
    , basePath(QLatin1String(path::DefaultBase))
    , skewSeconds(defaults::SkewSeconds)
    , threads(defaults::Threads)
    , keepAliveSeconds(defaults::KeepAliveSeconds)
{
}

bool Options::parse(const QStringList &arguments, Options *options, QString *error)
{
    QCommandLineParser parser;
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    addOptions(parser);
    if (!parser.parse(arguments)) {
        *error = parser.errorText();
        return false;
    }
    if (!parser.positionalArguments().isEmpty()) {
        *error = QStringLiteral("unexpected argument: ") + parser.positionalArguments().first();
        return false;
    }
    Options result;
    result.help = parser.isSet(QLatin1String(option::Help));
    result.quiet = parser.isSet(QLatin1String(option::Quiet));
    if (parser.isSet(QLatin1String(option::Listen)))
        result.listen = parser.value(QLatin1String(option::Listen));
    if (parser.isSet(QLatin1String(option::Secret)))
        result.secret = parser.value(QLatin1String(option::Secret));
    if (parser.isSet(QLatin1String(option::BasePath)))
        result.basePath = normalizedBasePath(parser.value(QLatin1String(option::BasePath)));
    result.certFile = parser.value(QLatin1String(option::Cert));
    result.keyFile = parser.value(QLatin1String(option::Key));
    result.ledgerFile = parser.value(QLatin1String(option::Ledger));
    result.branches = readList(parser, option::Branch);
    result.cashboxes = readList(parser, option::Cashbox);
    if (!readInt(parser, option::Port, 0, 65535, &result.port, error)
        || !readInt(parser, option::Skew, 0, defaults::MaxSkewSeconds, &result.skewSeconds, error)
        || !readInt(parser, option::ClockOffset, -defaults::MaxSkewSeconds,
            defaults::MaxSkewSeconds, &result.clockOffsetSeconds, error)
        || !readInt(parser, option::Threads, 1, defaults::MaxThreads, &result.threads, error)
        || !readInt(parser, option::KeepAlive, 0, defaults::MaxKeepAliveSeconds,
            &result.keepAliveSeconds, error))
        return false;
    if (result.certFile.isEmpty() != result.keyFile.isEmpty()) {
        *error = QStringLiteral("--cert and --key go together");
        return false;
    }
    *options = result;
    return true;
}

QString Options::helpText()
{
    return QString::fromUtf8(kHelp);
}

QString Options::normalizedBasePath(const QString &path)
{
    QString normalized = path.trimmed();
    while (normalized.endsWith(QLatin1Char('/')))
        normalized.chop(1);
    if (!normalized.isEmpty() && !normalized.startsWith(QLatin1Char('/')))
        normalized.prepend(QLatin1Char('/'));
    return normalized;
}

} // namespace sim
