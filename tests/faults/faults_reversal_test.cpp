#include "faultbench.h"

namespace {

class ReversalAndFiscalFaults : public FaultBench
{
};

const char kReversalSection[] = "Reversal answers (refund and cancel of a paid payment)";
const char kFiscalSection[] = "Fiscal-data answers";

// The service reverses every payment below; only the way its answer to the
// reversal reaches the client changes.
const FaultCase kReversals[] = {
    { "reversal drop", "refund; reversal answer: connection closed", Target::Http,
        Operation::Refund, "4111+reversal-fault:drop", "", true, "", 0 },
    { "reversal cut", "cancel; reversal answer cut in half", Target::Http, Operation::Cancel,
        "4111+reversal-fault:cut", "", true, "", 0 },
    { "reversal http500", "refund; reversal answer: HTTP 500 with HTML", Target::Http,
        Operation::Refund, "4111+reversal-fault:http500", "", true, "", 0 },
    { "reversal nonjson", "cancel; reversal answer: plain text", Target::Http, Operation::Cancel,
        "4111+reversal-fault:nonjson", "", true, "", 0 },
    { "reversal empty", "refund; reversal answer: empty body", Target::Http, Operation::Refund,
        "4111+reversal-fault:empty", "", true, "", 0 },
    { "reversal badutf8", "cancel; reversal answer: invalid UTF-8", Target::Http, Operation::Cancel,
        "4111+reversal-fault:badutf8", "", true, "", 0 },
    { "reversal array", "refund; reversal answer: a JSON array", Target::Http, Operation::Refund,
        "4111+reversal-fault:array", "", true, "", 0 },
    { "reversal nested", "cancel; reversal answer: arrays nested 100000 deep", Target::Http,
        Operation::Cancel, "4111+reversal-fault:nested", "", true, "", 0 },
    { "reversal huge", "refund; reversal answer: 50 MiB", Target::Http, Operation::Refund,
        "4111+reversal-fault:huge", "", true, "", 0, Measured },
    { "reversal silent", "cancel; reversal answer never comes", Target::Http, Operation::Cancel,
        "4111+reversal-fault:silent", "", true, "", 0, Measured },
    { "reversal drip", "refund; reversal answer drips a byte a second", Target::Http,
        Operation::Refund, "4111+reversal-fault:drip", "", true, "", 0, Measured },
    { "reversal error500", "refund; reversal answer: HTTP 500, a service error (error_code 500)",
        Target::Http, Operation::Refund, "4111+reversal-fault:error500", "", true, "", 0 },
    { "reversal drop, pending", "refund; answer lost, the reversal completes at the 2nd query",
        Target::Http, Operation::Refund, "reverse-pending:2+reversal-fault:drop", "", true, "", 0 },
    { "reversal drop, failed", "cancel; answer lost, the service failed the reversal", Target::Http,
        Operation::Cancel, "reverse-fail+reversal-fault:drop", "", false, "requestStatusFailed",
        0 },
    { "reversal drop+status drop@1", "refund; reversal answer and first status answer lost",
        Target::Http, Operation::Refund, "4111+reversal-fault:drop+status-fault:drop@1", "", true,
        "", 0 },
    { "unknown payment", "refund of a transaction the service never saw", Target::Http,
        Operation::RefundUnknown, "", "", false, "undefined", 404 },
};

// The service stores the QR code below unless the transaction is unknown. A
// message the host believes undelivered is sent again, so only a false
// "delivered" would lose fiscal data.
const FaultCase kFiscal[] = {
    { "unknown transaction", "fiscal data for a transaction the service never saw", Target::Http,
        Operation::FiscalUnknown, "", "", false, "", 0 },
    { "ofd drop", "fiscal-data answer: connection closed", Target::Http, Operation::Fiscal,
        "4111+ofd-fault:drop", "", false, "", 0 },
    { "ofd http500", "fiscal-data answer: HTTP 500 with HTML", Target::Http, Operation::Fiscal,
        "4111+ofd-fault:http500", "", false, "", 0 },
    { "ofd array", "fiscal-data answer: a JSON array", Target::Http, Operation::Fiscal,
        "4111+ofd-fault:array", "", false, "", 0 },
    { "ofd huge", "fiscal-data answer: 50 MiB", Target::Http, Operation::Fiscal,
        "4111+ofd-fault:huge", "", false, "", 0, Measured },
    { "ofd silent", "fiscal-data answer never comes", Target::Http, Operation::Fiscal,
        "4111+ofd-fault:silent", "", false, "", 0, Measured },
};

} // namespace

TEST_F(ReversalAndFiscalFaults, UnreadableReversalAnswersAreSettledByAsking)
{
    runTable(3, kReversalSection, kReversals);
}

TEST_F(ReversalAndFiscalFaults, FiscalDataIsNeverReportedDeliveredWhenItWasNot)
{
    runTable(4, kFiscalSection, kFiscal);
}
