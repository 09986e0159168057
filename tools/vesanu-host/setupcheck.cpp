#include "setupcheck.h"

#include "hostconstants.h"

#include "config/config.h"
#include "contract/paymentprocessinganswer.h"
#include "vesanu/api/constants.h"

#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QUrl>

#include <algorithm>

namespace vesanuhost {

namespace {

using namespace vesanu::api;

// The plug-in's own settings keys and defaults, read as the plug-in reads them.
QString key(const char *name)
{
    return QString::fromUtf8(name);
}

const char *markText(SetupCheck::Mark mark)
{
    switch (mark) {
    case SetupCheck::Mark::Ok:
        return check::MarkOk;
    case SetupCheck::Mark::Note:
        return check::MarkNote;
    case SetupCheck::Mark::Warning:
        return check::MarkWarning;
    case SetupCheck::Mark::Failed:
        break;
    }
    return check::MarkFailed;
}

} // namespace

void SetupCheck::checkIniFile(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        add(Mark::Failed, QStringLiteral("ini file %1 cannot be read: %2").arg(path, file.errorString()),
            QStringLiteral("Install the ini file there, readable by the register's group (chmod 640)."));
        return;
    }
    add(Mark::Ok, QStringLiteral("ini file %1 can be read").arg(path));
    // It holds the secret key: the register's group may read it, nobody else.
    if (QFileInfo(path).permissions() & QFile::ReadOther)
        add(Mark::Warning, QStringLiteral("ini file %1 can be read by every user of this machine "
                                          "(it holds the secret key)").arg(path),
            QStringLiteral("chmod o-r %1").arg(path));
    else
        add(Mark::Ok, QStringLiteral("ini file is not readable by other users"));
}

QStringList SetupCheck::missingSettings(Config &config)
{
    QStringList missing;
    for (const char *name : {SettingBranchId, SettingCashboxCode, SettingSecretKey}) {
        if (config.getString(key(name)).isEmpty())
            missing << key(name);
    }
    return missing;
}

void SetupCheck::checkSettings(Config &config)
{
    const QStringList missing = missingSettings(config);
    if (missing.isEmpty())
        add(Mark::Ok, QStringLiteral("branch, cashbox and secret key are set"));
    else
        add(Mark::Failed, QStringLiteral("missing settings: %1").arg(missing.join(QStringLiteral(", "))),
            QStringLiteral("Set them in the ini file's [VesaNu] section, as the service gave them."));
    checkHost(config);
    checkNumbers(config);

    const int timeout = config.getInt(key(SettingTimeout), DefaultTimeoutSeconds);
    const int payDuration = config.getInt(key(SettingPayDuration), DefaultPayDurationSeconds);
    const int interval =
        config.getInt(key(SettingStatusRequestInterval), DefaultStatusRequestIntervalSeconds);
    const QString durations = QStringLiteral("timeout %1 s, payDuration %2 s, statusRequestInterval %3 s")
                                  .arg(timeout)
                                  .arg(payDuration)
                                  .arg(interval);
    // A wait needs at least one question, spaced and bounded so that a
    // cashier is neither kept for hours nor the service asked without pause.
    const bool sane = timeout >= 1 && timeout <= MaxSaneSeconds && payDuration >= 1
                      && payDuration <= MaxSaneSeconds && interval >= 1 && interval <= payDuration;
    if (sane)
        add(Mark::Ok, durations);
    else
        add(Mark::Failed, durations + QStringLiteral(": each must be 1 to %1, the interval no longer "
                                                     "than payDuration")
                              .arg(MaxSaneSeconds),
            QStringLiteral("Correct them in the ini file, or remove them for the defaults."));
}

// The plug-in would read a value that is no number as its default, and a
// host without a scheme as no address at all: neither is what was meant.
void SetupCheck::checkNumbers(Config &config)
{
    for (const char *name : {SettingTimeout, SettingPayDuration, SettingStatusRequestInterval,
                             SettingJournalRetryDays, SettingJournalKeepDays}) {
        const QString value = config.getString(key(name)).trimmed();
        bool number = false;
        value.toInt(&number);
        if (!value.isEmpty() && !number)
            add(Mark::Failed, QStringLiteral("%1=%2 is not a whole number").arg(key(name).section(QLatin1Char(':'), 1), value),
                QStringLiteral("Write a whole number, or remove the line for the default."));
    }
}

void SetupCheck::checkHost(Config &config)
{
    const QString host = config.getString(key(SettingHost), key(DefaultHost));
    const QString scheme = QUrl(host).scheme().toLower();
    if (scheme == QLatin1String("http") || scheme == QLatin1String("https"))
        return;
    add(Mark::Failed, QStringLiteral("host=%1 names no http:// or https:// scheme").arg(host),
        QStringLiteral("Write it as https://HOST:PORT (or http:// for a local service)."));
}

void SetupCheck::checkPlugin(bool loaded, const QString &detail)
{
    if (loaded)
        add(Mark::Ok, QStringLiteral("plug-in and its libraries load: %1").arg(detail));
    else
        add(Mark::Failed, QStringLiteral("plug-in does not load: %1").arg(detail));
}

void SetupCheck::checkConnection(const PaymentProcessingAnswer &answer, const QString &failure)
{
    const QString message = answer.getMessage().defaultText();
    if (answer.isSuccess() && answer.getMessage().key() == key(KeyConnectionUnproven))
        add(Mark::Ok, QStringLiteral("connection: %1 (the service's answers did not tell this "
                                     "signature from a wrong one: a wrong secret, branch or clock "
                                     "would look the same)")
                          .arg(message));
    else if (answer.isSuccess())
        add(Mark::Ok, QStringLiteral("connection: %1").arg(message));
    else if (answer.getCode() != 0)
        add(Mark::Failed, QStringLiteral("connection: the service refused, code %1: %2%3")
                              .arg(answer.getCode())
                              .arg(message, failure.isEmpty() ? QString() : QStringLiteral(" (%1)").arg(failure)),
            QStringLiteral("Correct secretKey, branchId or cashboxCode, or the register's clock."));
    else if (answer.getMessage().key() == key(KeySettingsMissing))
        add(Mark::Failed, QStringLiteral("connection: not tested: %1").arg(message),
            QStringLiteral("Mend the settings above."));
    else
        add(Mark::Failed,
            QStringLiteral("connection: %1%2").arg(message, failure.isEmpty() ? QString() : QStringLiteral(": ") + failure),
            connectionFix(failure));
}

// The reason is the plug-in's, after the address in its log line.
QString SetupCheck::connectionFix(const QString &failure)
{
    const auto says = [&failure](const char *reason) {
        return failure.contains(QString::fromUtf8(reason).section(QStringLiteral("%1"), 0, 0));
    };
    if (says(ReasonRefused))
        return QStringLiteral("Start the service, or correct the port in host.");
    if (says(ReasonHostNotFound))
        return QStringLiteral("Correct the name in host, or the register's DNS.");
    if (says(ReasonTls))
        return QStringLiteral("Check the service's certificate and the trusted CAs (--ca-file), or the scheme in host.");
    if (says(ReasonTimeout))
        return QStringLiteral("Check the network and firewall to the service, or raise timeout.");
    if (says(ReasonHttpStatus))
        return QStringLiteral("Correct host and path: something other than the service answers there.");
    return QStringLiteral("Check host and path, and the network to the service.");
}

void SetupCheck::skip(const QString &text)
{
    add(Mark::Failed, text, QStringLiteral("Mend the line above first."));
}

bool SetupCheck::passed() const
{
    return std::all_of(m_items.begin(), m_items.end(),
                       [](const Item &item) { return item.mark == Mark::Ok || item.mark == Mark::Note; });
}

QString SetupCheck::toText() const
{
    QString text;
    for (const Item &item : m_items)
        text += QString::fromUtf8(markText(item.mark)) + QLatin1Char(' ') + item.text
                + (item.fix.isEmpty() ? QString() : QStringLiteral(" \u2192 ") + item.fix) + QLatin1Char('\n');
    return text;
}

QJsonObject SetupCheck::toJson() const
{
    QJsonArray checks;
    for (const Item &item : m_items)
        checks.append(QJsonObject{{QLatin1String(json::Mark), QString::fromUtf8(markText(item.mark))},
                                  {QLatin1String(json::Ok), item.mark == Mark::Ok || item.mark == Mark::Note},
                                  {QLatin1String(json::Text), item.text},
                                  {QLatin1String(json::Fix), item.fix}});
    return {{QLatin1String(json::Success), passed()}, {QLatin1String(json::Checks), checks}};
}

void SetupCheck::add(Mark mark, const QString &text, const QString &fix)
{
    m_items.append({mark, text, fix});
}

} // namespace vesanuhost
