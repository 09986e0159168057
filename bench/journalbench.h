#pragma once

#include "samples.h"

#include <QString>
#include <QStringList>
#include <QVector>

class BenchService;
class PluginSession;
class Report;

// What the payment journal adds to one payment: its writes of a payment
// (insert, update to Paid, the bounded prune) timed on this disk with their
// syncs counted, at several sizes of journal and after a long pause, and
// the journal's opening (PRAGMA quick_check); beside the whole payment
// through the plug-in (journal included) against the simulator.
class JournalBench
{
public:
    JournalBench(BenchService &service, int rounds);

    bool run();
    void addTo(Report &report) const;
    QString errorString() const { return m_error; }

private:
    // A journal of `entries` paid entries, young or all past the keep age.
    struct Case
    {
        int entries;
        bool pastKeepAge;
        Samples ms; // per payment's writes
        Samples syncs; // per payment's writes
        Samples openMs; // opening the journal, its check included
        Samples checkMs; // PRAGMA quick_check alone, on a connection of its own
    };

    bool measureJournal(Case &measured);
    void measurePayment(const PluginSession &session, bool counted);
    double exchangeMs() const;
    QString caseName(const Case &measured) const;

    BenchService &m_service;
    const int m_rounds;
    QVector<Case> m_cases;
    Samples m_payment; // ms per payment through the plug-in
    Samples m_syncs; // syncs per payment through the plug-in
    Samples m_syncMs; // ms in those syncs
    QString m_folder;
    QString m_error;
};
