#include "faultbench.h"

namespace {

class StatusAnswerFaults : public FaultBench
{
};

const char kSection[] = "Status answers during the wait";
const char kShortWait[] = "payDuration=2\nstatusRequestInterval=1\n";

// The payment is pending and paid at the 2nd status query; the 1st status
// answer is spoilt. A spoilt status answer must neither end the wait nor
// pass for a status.
const FaultCase kFirstAnswerSpoilt[] = {
    { "status drop@1", "first status answer: connection closed", Target::Http, Operation::Pay,
        "pending:2+status-fault:drop@1", "", true, "", 0 },
    { "status cut@1", "first status answer cut in half", Target::Http, Operation::Pay,
        "pending:2+status-fault:cut@1", "", true, "", 0 },
    { "status http500@1", "first status answer: HTTP 500 with HTML", Target::Http, Operation::Pay,
        "pending:2+status-fault:http500@1", "", true, "", 0 },
    { "status nonjson@1", "first status answer: plain text", Target::Http, Operation::Pay,
        "pending:2+status-fault:nonjson@1", "", true, "", 0 },
    { "status empty@1", "first status answer: empty body", Target::Http, Operation::Pay,
        "pending:2+status-fault:empty@1", "", true, "", 0 },
    { "status badutf8@1", "first status answer: invalid UTF-8", Target::Http, Operation::Pay,
        "pending:2+status-fault:badutf8@1", "", true, "", 0 },
    { "status array@1", "first status answer: a JSON array", Target::Http, Operation::Pay,
        "pending:2+status-fault:array@1", "", true, "", 0 },
    { "status nested@1", "first status answer: arrays nested 100000 deep", Target::Http,
        Operation::Pay, "pending:2+status-fault:nested@1", "", true, "", 0 },
    { "status huge@1", "first status answer: 50 MiB", Target::Http, Operation::Pay,
        "pending:2+status-fault:huge@1", "", true, "", 0, Measured },
    { "status silent@1", "first status answer never comes", Target::Http, Operation::Pay,
        "pending:2+status-fault:silent@1", "", true, "", 0, Measured },
    { "status drip@1", "first status answer drips a byte a second", Target::Http, Operation::Pay,
        "pending:2+status-fault:drip@1", "", true, "", 0, Measured },
    { "status error500@1", "first status answer: HTTP 500, a service error that says paid",
        Target::Http, Operation::Pay, "pending:1+status-fault:error500@1", "", true, "", 0 },
};

// Every status answer is spoilt and the payment is never completed: the
// host must hear of a failure, whatever the garbage looked like, and the
// payment is voided.
const FaultCase kEveryAnswerSpoilt[] = {
    { "never+status nonjson", "pending for ever, every status answer plain text", Target::Http,
        Operation::Pay, "never+status-fault:nonjson", kShortWait, false, "vesaNuPaymentVoided",
        0, Voided },
    { "never+status array", "pending for ever, every status answer a JSON array", Target::Http,
        Operation::Pay, "never+status-fault:array", kShortWait, false, "vesaNuPaymentVoided",
        0, Voided },
    { "never+status silent", "pending for ever, no status answer ever comes", Target::Http,
        Operation::Pay, "never+status-fault:silent", kShortWait, false, "vesaNuPaymentVoided", 0,
        Measured | Voided },
    { "never+status error500", "pending for ever, every status answer a service error (500)",
        Target::Http, Operation::Pay, "never+status-fault:error500", kShortWait, false, "vesaNuPaymentVoided",
        0, Voided },
    { "declined+status http500", "failed at once, every status answer HTML 500", Target::Http,
        Operation::Pay, "declined+status-fault:http500", kShortWait, false,
        "vesaNuPaymentVoided", 0, Voided },
};

const char kDoubtSection[] = "Payments left in doubt: voided before the host is told";

// The customer confirms on the phone after the cashier was told of the
// failure (confirm-late:4000, after the wait and the void). Only the void
// keeps such a payment from completing unnoticed.
const FaultCase kInDoubt[] = {
    { "never+confirm-late", "pending until payDuration is over, confirmed at 4 s", Target::Http,
        Operation::Pay, "never+confirm-late:4000", kShortWait, false, "vesaNuPaymentVoided", 0,
        Voided },
    { "never+status nonjson+confirm-late", "every status answer plain text, confirmed at 4 s",
        Target::Http, Operation::Pay, "never+status-fault:nonjson+confirm-late:4000", kShortWait,
        false, "vesaNuPaymentVoided", 0, Voided },
    { "pending:2+status nonjson", "paid at the 2nd status query, every status answer plain text",
        Target::Http, Operation::Pay, "pending:2+status-fault:nonjson", kShortWait, false,
        "vesaNuPaymentVoided", 0, Voided },
    { "never+status error500+confirm-late",
        "every status answer a service error (500), confirmed at 4 s", Target::Http,
        Operation::Pay, "never+status-fault:error500+confirm-late:4000", kShortWait, false,
        "vesaNuPaymentVoided", 0, Voided },
    { "never+status notfound+confirm-late",
        "pending, then the service answers it does not know it, confirmed at 1 s", Target::Http,
        Operation::Pay, "never+status-fault:notfound@1+confirm-late:1000", kShortWait, false,
        "vesaNuPaymentVoided", 0, Voided },
    { "never+reverse-fail+confirm-late",
        "the service refuses to cancel the pending payment, confirmed at 4 s; the register "
        "starts again at 4.5 s and its journal sends the void once more",
        Target::Http, Operation::Pay, "never+reverse-fail@1+confirm-late:4000", kShortWait, false,
        "vesaNuPaymentInDoubt", 0, Voided | Restarted },
};

} // namespace

TEST_F(StatusAnswerFaults, ASpoiltStatusAnswerIsAskedAgain)
{
    runTable(2, kSection, kFirstAnswerSpoilt);
}

TEST_F(StatusAnswerFaults, GarbageNeverPassesForSuccess)
{
    runTable(2, kSection, kEveryAnswerSpoilt);
}

TEST_F(StatusAnswerFaults, APaymentLeftInDoubtIsVoided)
{
    runTable(2, kDoubtSection, kInDoubt);
}
