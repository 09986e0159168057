#include "journalreport.h"

#include "hostconstants.h"

#include "config/config.h"
#include "vesanu/api/constants.h"

#include <QDateTime>
#include <QJsonArray>

#include <algorithm>

namespace vesanuhost {

using vesanu::journal::PaymentJournal;

namespace {

QString money(qint64 hundredths)
{
    return QStringLiteral("%1.%2").arg(hundredths / 100).arg(hundredths % 100, 2, 10, QLatin1Char('0'));
}

QString references(int shift, int check, const QString &document)
{
    return QStringLiteral("shift %1, check %2, document %3")
        .arg(shift)
        .arg(check)
        .arg(document.isEmpty() ? QStringLiteral("-") : document);
}

bool isAbandoned(const PaymentJournal::Entry &entry)
{
    return entry.state == PaymentJournal::State::Abandoned;
}

} // namespace

QString JournalReport::journalPath()
{
    Config config;
    config.loadFile(QLatin1String(PluginIniPath), QString());
    return config.getString(QString::fromUtf8(vesanu::api::SettingJournal),
                            QString::fromUtf8(vesanu::api::DefaultJournal));
}

QString JournalReport::localTime(qint64 seconds)
{
    if (seconds <= 0)
        return QStringLiteral("-");
    return QDateTime::fromSecsSinceEpoch(seconds).toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
}

bool JournalReport::collect(const Filter &filter, qint64 now)
{
    m_path = journalPath();
    m_now = now;
    PaymentJournal journal;
    // Never created here: the plug-in makes it on its first start.
    if (!journal.open(m_path, PaymentJournal::Access::Read))
        return fail(QStringLiteral("cannot open"), journal);
    if (!select(journal, filter))
        return false;
    // What needs a person first; otherwise oldest first, as the journal keeps them.
    std::stable_sort(m_entries.begin(), m_entries.end(),
                     [](const PaymentJournal::Entry &a, const PaymentJournal::Entry &b) {
                         return isAbandoned(a) && !isAbandoned(b);
                     });
    return true;
}

bool JournalReport::select(PaymentJournal &journal, const Filter &filter)
{
    if (!filter.transactionId.isEmpty()) {
        PaymentJournal::Entry entry;
        bool found = false;
        if (!journal.find(filter.transactionId, &entry, &found) || !journal.refunds(filter.transactionId, &m_refunds))
            return fail(QStringLiteral("cannot read"), journal);
        if (found)
            m_entries.append(entry);
        if (!found && m_refunds.isEmpty()) {
            m_error = QStringLiteral("the journal \"%1\" holds no payment %2").arg(m_path, filter.transactionId);
            return false;
        }
        return true;
    }
    QList<PaymentJournal::Entry> open;
    const bool read = filter.all || filter.checkNumber != 0
                          ? journal.select(PaymentJournal::Selection::All, &m_entries)
                          : journal.select(PaymentJournal::Selection::NeedsPerson, &m_entries)
                                && journal.select(PaymentJournal::Selection::Due, &open);
    if (!read || (filter.checkNumber != 0 && !journal.refunds(QString(), &m_refunds)))
        return fail(QStringLiteral("cannot read"), journal);
    m_entries += open;
    if (filter.checkNumber != 0) {
        const int check = filter.checkNumber;
        m_entries.erase(std::remove_if(m_entries.begin(), m_entries.end(),
                                       [check](const PaymentJournal::Entry &e) { return e.checkNumber != check; }),
                        m_entries.end());
        m_refunds.erase(std::remove_if(m_refunds.begin(), m_refunds.end(),
                                       [check](const PaymentJournal::Refund &r) { return r.checkNumber != check; }),
                        m_refunds.end());
    }
    return true;
}

int JournalReport::needsPerson() const
{
    return int(std::count_if(m_entries.begin(), m_entries.end(), isAbandoned));
}

QJsonObject JournalReport::entryJson(const PaymentJournal::Entry &entry) const
{
    return QJsonObject{
        {QLatin1String(json::TransactionId), entry.transactionId},
        {QLatin1String(json::Amount), double(entry.amount)},
        {QLatin1String(json::Currency), entry.currency},
        // As the file holds it: a state this build does not know shows as it is.
        {QLatin1String(json::State), entry.stateText},
        {QLatin1String(json::Created), localTime(entry.created)},
        {QLatin1String(json::AgeSeconds), double(m_now - entry.created)},
        {QLatin1String(json::NextAttempt), localTime(entry.nextAttempt)},
        {QLatin1String(json::Attempts), entry.attempts},
        {QLatin1String(json::Questions), entry.questions},
        {QLatin1String(json::Voids), entry.voids},
        {QLatin1String(json::Acknowledged), entry.acknowledged},
        {QLatin1String(json::Reason), entry.reason},
        {QLatin1String(json::ShiftNumber), entry.shiftNumber},
        {QLatin1String(json::CheckNumber), entry.checkNumber},
        {QLatin1String(json::DocumentId), entry.documentId},
    };
}

QJsonObject JournalReport::toJson() const
{
    QJsonArray entries;
    QJsonArray open; // the still-open ones alone, as earlier versions listed them
    for (const PaymentJournal::Entry &entry : m_entries) {
        entries.append(entryJson(entry));
        if (!PaymentJournal::isFinal(entry.state))
            open.append(entryJson(entry));
    }
    QJsonArray refunds;
    for (const PaymentJournal::Refund &refund : m_refunds)
        refunds.append(QJsonObject{
            {QLatin1String(json::TransactionId), refund.transactionId},
            {QLatin1String(json::Amount), double(refund.amount)},
            {QLatin1String(json::State), QLatin1String(PaymentJournal::refundStateName(refund.state))},
            {QLatin1String(json::Created), localTime(refund.created)},
            {QLatin1String(json::Reason), refund.reason},
            {QLatin1String(json::ShiftNumber), refund.shiftNumber},
            {QLatin1String(json::CheckNumber), refund.checkNumber},
            {QLatin1String(json::DocumentId), refund.documentId},
        });
    return {{QLatin1String(json::Path), m_path},
            {QLatin1String(json::NeedsPerson), needsPerson()},
            {QLatin1String(json::Entries), entries},
            {QLatin1String(json::Open), open},
            {QLatin1String(json::Refunds), refunds}};
}

QString JournalReport::toText() const
{
    const int open = int(std::count_if(m_entries.begin(), m_entries.end(),
                                       [](const PaymentJournal::Entry &e) { return !PaymentJournal::isFinal(e.state); }));
    QString text = QStringLiteral("journal:          %1\nopen entries:     %2\n").arg(m_path).arg(open);
    if (needsPerson() > 0)
        text += QStringLiteral("needs a person:   %1 abandoned: reconcile each with the service, then "
                               "'journal resolve --rrn ID --note TEXT'\n")
                    .arg(needsPerson());
    for (const PaymentJournal::Entry &e : m_entries) {
        text += QStringLiteral("%1 %2  %3  %4 (%5)  created %6 (age %7 s)\n")
                    .arg(isAbandoned(e) ? QStringLiteral("!") : QStringLiteral(" "), e.transactionId, e.stateText,
                         money(e.amount))
                    .arg(e.currency)
                    .arg(localTime(e.created))
                    .arg(m_now - e.created);
        text += QStringLiteral("    attempts %1, questions %2, voids %3, acknowledged %4, next attempt %5\n")
                    .arg(e.attempts)
                    .arg(e.questions)
                    .arg(e.voids)
                    .arg(e.acknowledged ? QStringLiteral("yes") : QStringLiteral("no"), localTime(e.nextAttempt));
        text += QStringLiteral("    %1; last reason: %2\n")
                    .arg(references(e.shiftNumber, e.checkNumber, e.documentId),
                         e.reason.isEmpty() ? QStringLiteral("-") : e.reason);
    }
    for (const PaymentJournal::Refund &r : m_refunds)
        text += QStringLiteral("  refund of %1  %2  %3  created %4; %5; last reason: %6\n")
                    .arg(r.transactionId, QLatin1String(PaymentJournal::refundStateName(r.state)), money(r.amount),
                         localTime(r.created), references(r.shiftNumber, r.checkNumber, r.documentId),
                         r.reason.isEmpty() ? QStringLiteral("-") : r.reason);
    return text;
}

bool JournalReport::fail(const QString &what, const PaymentJournal &journal)
{
    m_error = QStringLiteral("%1 the journal \"%2\": %3").arg(what, m_path, journal.errorString());
    return false;
}

} // namespace vesanuhost
