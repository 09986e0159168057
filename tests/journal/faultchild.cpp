// usage: journal_faultchild PATH ID
// Opens the journal at PATH and inserts an entry ID, as a payment does; when
// that fails, closes it, opens it again and looks for the entry, as the
// plug-in's Bookkeeper does. One line per step on standard output:
//   open: ok|failed: ERROR    insert: ok|failed: ERROR    reopened: found|absent|failed: ERROR
// Run under the storage shim (tests/faults/storageshim.cpp) by storagefault_test.cpp.
#include "vesanu/journal/paymentjournal.h"

#include <cstdio>

using vesanu::journal::PaymentJournal;

namespace {

bool report(const char *step, bool ok, const PaymentJournal &journal)
{
    std::printf("%s: %s\n", step, ok ? "ok" : qPrintable("failed: " + journal.errorString()));
    return ok;
}

} // namespace

int main(int argc, char **argv)
{
    if (argc != 3)
        return 2;
    const QString path = QString::fromLocal8Bit(argv[1]);
    PaymentJournal::Entry entry;
    entry.transactionId = QString::fromLocal8Bit(argv[2]);
    entry.amount = 12345;
    entry.currency = 398;
    entry.created = 100;
    PaymentJournal journal;
    if (!report("open", journal.open(path), journal) || report("insert", journal.insert(entry), journal))
        return 0;
    journal.close();
    PaymentJournal::Entry read;
    bool found = false;
    if (report("reopen", journal.open(path), journal) && report("find", journal.find(entry.transactionId, &read, &found), journal))
        std::printf("reopened: %s\n", found ? "found" : "absent");
    return 0;
}
