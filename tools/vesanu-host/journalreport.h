#pragma once

#include "vesanu/journal/paymentjournal.h"

#include <QJsonObject>
#include <QList>
#include <QString>

namespace vesanuhost {

// The plug-in's payment journal as support needs it, read without loading
// the plug-in, so that nothing is sent while looking: by default the entries
// still open and those abandoned (first: each needs a person), or every
// entry, one payment with its refunds, or the entries of one host check.
class JournalReport
{
public:
    struct Filter
    {
        bool all = false;
        QString transactionId; // one payment, in any state, with its refunds
        int checkNumber = 0; // the host's check number; 0 for any
    };

    // The journal the plug-in's ini file names ("journal"), as found under the configuration root.
    static QString journalPath();

    // False with errorString() when the journal cannot be opened or read:
    // a damaged, foreign or missing journal is never "nothing open".
    bool collect(const Filter &filter, qint64 now);

    QList<vesanu::journal::PaymentJournal::Entry> entries() const { return m_entries; }
    int needsPerson() const;
    QJsonObject toJson() const;
    QString toText() const;
    QString errorString() const { return m_error; }

    // Seconds since the epoch in the register's local time, as support reads them.
    static QString localTime(qint64 seconds);

private:
    bool fail(const QString &what, const vesanu::journal::PaymentJournal &journal);
    bool select(vesanu::journal::PaymentJournal &journal, const Filter &filter);
    QJsonObject entryJson(const vesanu::journal::PaymentJournal::Entry &entry) const;

    QString m_path;
    qint64 m_now = 0;
    QList<vesanu::journal::PaymentJournal::Entry> m_entries;
    QList<vesanu::journal::PaymentJournal::Refund> m_refunds;
    QString m_error;
};

} // namespace vesanuhost
