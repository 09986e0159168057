#include "setupcheck.h"

#include "hostconstants.h"

#include "config/config.h"
#include "contract/paymentprocessinganswer.h"
#include "vesanu/api/constants.h"

#include <QFile>
#include <QFileInfo>
#include <QJsonArray>

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
        add(Mark::Failed, QStringLiteral("ini file %1 cannot be read: %2").arg(path, file.errorString()));
        return;
    }
    add(Mark::Ok, QStringLiteral("ini file %1 can be read").arg(path));
    // It holds the secret key: the register's group may read it, nobody else.
    if (QFileInfo(path).permissions() & QFile::ReadOther)
        add(Mark::Warning, QStringLiteral("ini file %1 can be read by every user of this machine "
                                          "(it holds the secret key): chmod o-r").arg(path));
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
        add(Mark::Failed, QStringLiteral("missing settings: %1").arg(missing.join(QStringLiteral(", "))));

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
                              .arg(MaxSaneSeconds));
}

void SetupCheck::checkPlugin(bool loaded, const QString &detail)
{
    if (loaded)
        add(Mark::Ok, QStringLiteral("plug-in and its libraries load: %1").arg(detail));
    else
        add(Mark::Failed, QStringLiteral("plug-in does not load: %1").arg(detail));
}

void SetupCheck::checkConnection(const PaymentProcessingAnswer &answer)
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
        add(Mark::Failed, QStringLiteral("connection: the service refused, code %1: %2")
                              .arg(answer.getCode())
                              .arg(message));
    else
        add(Mark::Failed, QStringLiteral("connection: %1").arg(message));
}

void SetupCheck::skip(const QString &text)
{
    add(Mark::Failed, text);
}

bool SetupCheck::passed() const
{
    return std::all_of(m_items.begin(), m_items.end(),
                       [](const Item &item) { return item.mark == Mark::Ok; });
}

QString SetupCheck::toText() const
{
    QString text;
    for (const Item &item : m_items)
        text += QString::fromUtf8(markText(item.mark)) + QLatin1Char(' ') + item.text + QLatin1Char('\n');
    return text;
}

QJsonObject SetupCheck::toJson() const
{
    QJsonArray checks;
    for (const Item &item : m_items)
        checks.append(QJsonObject{{QLatin1String(json::Mark), QString::fromUtf8(markText(item.mark))},
                                  {QLatin1String(json::Ok), item.mark == Mark::Ok},
                                  {QLatin1String(json::Text), item.text}});
    return {{QLatin1String(json::Success), passed()}, {QLatin1String(json::Checks), checks}};
}

void SetupCheck::add(Mark mark, const QString &text)
{
    m_items.append({mark, text});
}

} // namespace vesanuhost
