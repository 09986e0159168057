#include "journalcommand.h"

#include "hostconstants.h"
#include "journalmetrics.h"
#include "journalreport.h"

#include "vesanu/journal/paymentjournal.h"

#include <QJsonDocument>

namespace vesanuhost {

using vesanu::journal::PaymentJournal;

JournalCommand::JournalCommand(const Invocation &invocation)
    : m_invocation(invocation)
{
}

JournalCommand::Result JournalCommand::list(qint64 now) const
{
    if (m_invocation.metrics)
        return metrics(now);
    JournalReport report;
    JournalReport::Filter filter;
    filter.all = m_invocation.all;
    filter.transactionId = m_invocation.rrn;
    filter.checkNumber = m_invocation.checkNumber;
    if (!report.collect(filter, now))
        return {ExitFailed, QString(), report.errorString()};
    return {report.needsPerson() > 0 ? ExitNeedsPerson : ExitSuccess, format(report.toJson(), report.toText()),
            QString()};
}

JournalCommand::Result JournalCommand::metrics(qint64 now) const
{
    JournalReport report;
    JournalReport::Filter every;
    every.all = true;
    if (!report.collect(every, now))
        return {ExitFailed, JournalMetrics::unreadable(), report.errorString()};
    return {ExitSuccess, JournalMetrics::text(report.entries(), now), QString()};
}

JournalCommand::Result JournalCommand::resolve() const
{
    const QString path = JournalReport::journalPath();
    PaymentJournal journal;
    // To write, so locked: a register that holds the journal keeps it.
    if (!journal.open(path, PaymentJournal::Access::Write))
        return {ExitFailed, QString(),
                QStringLiteral("cannot open the journal \"%1\" to write: %2 (a running register holds it: "
                               "stop the register first)")
                    .arg(path, journal.errorString())};
    PaymentJournal::Entry entry;
    bool found = false;
    if (!journal.find(m_invocation.rrn, &entry, &found))
        return {ExitFailed, QString(), QStringLiteral("cannot read the journal \"%1\": %2").arg(path, journal.errorString())};
    if (!found)
        return {ExitFailed, QString(), QStringLiteral("the journal \"%1\" holds no payment %2").arg(path, m_invocation.rrn)};
    // Only what recovery gave up: anything else is still the plug-in's to settle.
    if (entry.state != PaymentJournal::State::Abandoned)
        return {ExitFailed, QString(),
                QStringLiteral("payment %1 is %2, not abandoned: only an abandoned entry is resolved by a person")
                    .arg(entry.transactionId, entry.stateText)};
    entry.state = PaymentJournal::State::Resolved;
    entry.reason = m_invocation.note;
    if (!journal.update(entry))
        return {ExitFailed, QString(),
                QStringLiteral("cannot write the journal \"%1\": %2").arg(path, journal.errorString())};
    const QJsonObject json{{QLatin1String(json::TransactionId), entry.transactionId},
                           {QLatin1String(json::State), QLatin1String(PaymentJournal::stateName(entry.state))},
                           {QLatin1String(json::Reason), entry.reason}};
    return {ExitSuccess,
            format(json, QStringLiteral("payment %1 resolved: %2\n").arg(entry.transactionId, entry.reason)),
            QString()};
}

bool JournalCommand::canWrite(const QString &path, QString *error)
{
    PaymentJournal journal;
    if (journal.open(path, PaymentJournal::Access::Write))
        return true;
    *error = journal.errorString();
    return false;
}

QString JournalCommand::format(const QJsonObject &json, const QString &text) const
{
    if (!m_invocation.json)
        return text;
    return QString::fromUtf8(QJsonDocument(json).toJson(QJsonDocument::Compact)) + QLatin1Char('\n');
}

} // namespace vesanuhost
