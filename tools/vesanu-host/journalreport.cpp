#include "journalreport.h"

#include "hostconstants.h"

#include "config/config.h"
#include "vesanu/api/constants.h"
#include "vesanu/journal/paymentjournal.h"

#include <QJsonArray>

namespace vesanuhost {

using vesanu::journal::PaymentJournal;

bool JournalReport::collect(qint64 now)
{
    Config config;
    config.loadFile(QLatin1String(PluginIniPath), QString());
    const QString path = config.getString(QString::fromUtf8(vesanu::api::SettingJournal),
                                          QString::fromUtf8(vesanu::api::DefaultJournal));
    PaymentJournal journal;
    // Never created here: a journal that is not there has nothing open, and
    // the plug-in makes it on its first start.
    if (!journal.open(path, PaymentJournal::Access::Read)) {
        m_error = QStringLiteral("cannot open the journal \"%1\": %2").arg(path, journal.errorString());
        return false;
    }
    // A read error is an error, never "0 open".
    QList<PaymentJournal::Entry> due;
    if (!journal.select(PaymentJournal::Selection::Due, &due)) {
        m_error = QStringLiteral("cannot read the journal \"%1\": %2").arg(path, journal.errorString());
        return false;
    }
    QJsonArray entries;
    for (const PaymentJournal::Entry &entry : due) {
        entries.append(QJsonObject{
            {QLatin1String(json::TransactionId), entry.transactionId},
            {QLatin1String(json::Amount), double(entry.amount)},
            {QLatin1String(json::Currency), entry.currency},
            {QLatin1String(json::AgeSeconds), double(now - entry.created)},
            // As the file holds it: a state this build does not know shows as it is.
            {QLatin1String(json::State), entry.stateText},
            {QLatin1String(json::Attempts), entry.attempts},
        });
    }
    m_report = {{QLatin1String(json::Path), path}, {QLatin1String(json::Open), entries}};
    return true;
}

QString JournalReport::toText() const
{
    const QJsonArray entries = m_report.value(QLatin1String(json::Open)).toArray();
    QString text = QStringLiteral("journal:          %1\nopen entries:     %2\n")
                       .arg(m_report.value(QLatin1String(json::Path)).toString())
                       .arg(entries.size());
    for (const QJsonValue &value : entries) {
        const QJsonObject entry = value.toObject();
        const qint64 amount = qint64(entry.value(QLatin1String(json::Amount)).toDouble());
        text += QStringLiteral("  %1  %2.%3  age %4 s  %5  attempts %6\n")
                    .arg(entry.value(QLatin1String(json::TransactionId)).toString())
                    .arg(amount / 100)
                    .arg(amount % 100, 2, 10, QLatin1Char('0'))
                    .arg(qint64(entry.value(QLatin1String(json::AgeSeconds)).toDouble()))
                    .arg(entry.value(QLatin1String(json::State)).toString())
                    .arg(entry.value(QLatin1String(json::Attempts)).toInt());
    }
    return text;
}

} // namespace vesanuhost
