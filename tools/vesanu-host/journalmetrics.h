#pragma once

#include "vesanu/journal/paymentjournal.h"

#include <QList>
#include <QString>

namespace vesanuhost {

// The journal's state as OpenMetrics text, for node_exporter's textfile
// collector: what an alert needs to see that payments are left open or wait
// for a person, and that the register still takes payments.
class JournalMetrics
{
public:
    // From every entry of a journal that could be read.
    static QString text(const QList<vesanu::journal::PaymentJournal::Entry> &entries, qint64 now);
    // A journal that could not be read: an alert must not see "0 open".
    static QString unreadable();

private:
    static QString gauge(const char *name, const char *help, qint64 value);
};

} // namespace vesanuhost
