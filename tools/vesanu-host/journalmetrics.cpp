#include "journalmetrics.h"

#include "hostconstants.h"

#include <algorithm>

namespace vesanuhost {

using vesanu::journal::PaymentJournal;

QString JournalMetrics::text(const QList<PaymentJournal::Entry> &entries, qint64 now)
{
    int open = 0, voidPending = 0, abandoned = 0;
    qint64 oldestOpen = now, lastPaid = 0;
    for (const PaymentJournal::Entry &entry : entries) {
        if (!PaymentJournal::isFinal(entry.state)) {
            ++open;
            oldestOpen = std::min(oldestOpen, entry.created);
        }
        voidPending += entry.state == PaymentJournal::State::VoidPending;
        abandoned += entry.state == PaymentJournal::State::Abandoned;
        if (entry.state == PaymentJournal::State::Paid)
            lastPaid = std::max(lastPaid, entry.created);
    }
    QString text = gauge(metrics::Readable, "Whether the payment journal could be opened and read.", 1)
                   + gauge(metrics::Open, "Payments still to be settled with the service.", open)
                   + gauge(metrics::VoidPending, "Payments whose void the service has not confirmed.", voidPending)
                   + gauge(metrics::Abandoned, "Payments given up by recovery: a person must reconcile each.",
                           abandoned)
                   + gauge(metrics::OldestOpenAge, "Age of the oldest open payment; 0 when none is open.",
                           now - oldestOpen);
    // Without a paid entry kept (none yet, or all pruned) there is no time to give.
    if (lastPaid > 0)
        text += gauge(metrics::LastPaid, "Creation time of the newest successful payment the journal keeps.",
                      lastPaid);
    return text + QLatin1String(metrics::End) + QLatin1Char('\n');
}

QString JournalMetrics::unreadable()
{
    return gauge(metrics::Readable, "Whether the payment journal could be opened and read.", 0)
           + QLatin1String(metrics::End) + QLatin1Char('\n');
}

QString JournalMetrics::gauge(const char *name, const char *help, qint64 value)
{
    return QStringLiteral("# HELP %1 %2\n# TYPE %1 gauge\n%1 %3\n")
        .arg(QLatin1String(name), QLatin1String(help))
        .arg(value);
}

} // namespace vesanuhost
