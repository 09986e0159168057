#pragma once

#include "samples.h"

#include <QString>
#include <QStringList>

class BenchService;
class PluginSession;
class Report;

namespace vesanu {
namespace journal {
class PaymentJournal;
}
}

// What the payment journal adds to one payment: its two writes timed on
// this disk, and the syncs counted, beside the whole payment through the
// plug-in (journal included) against the simulator.
class JournalBench
{
public:
    JournalBench(BenchService &service, int rounds);

    bool run();
    void addTo(Report &report) const;
    QString errorString() const { return m_error; }

private:
    void measureJournal(vesanu::journal::PaymentJournal &journal, int round, bool counted);
    void measurePayment(const PluginSession &session, bool counted);
    double exchangeMs() const;
    double ratio() const;

    BenchService &m_service;
    const int m_rounds;
    Samples m_payment; // ms per payment through the plug-in
    Samples m_journal; // ms per payment's two journal writes
    Samples m_syncs; // syncs per payment through the plug-in
    Samples m_syncMs; // ms in those syncs
    QString m_folder;
    QString m_error;
};
