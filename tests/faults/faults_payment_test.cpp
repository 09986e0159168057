#include "faultbench.h"

namespace {

class PaymentAnswerFaults : public FaultBench
{
};

const char kSection[] = "Payment answers";
// For waits that are meant to run out: a few status queries, not thousands.
const char kShortWait[] = "payDuration=2\nstatusRequestInterval=1\n";

// The service records every payment below; only the way its answer reaches
// the client changes. An answer the client cannot read is an unknown outcome
// that the plug-in must settle by asking, never by guessing.
const FaultCase kCases[] = {
    { "drop", "payment answer: connection closed without a byte", Target::Http, Operation::Pay,
        "drop", "", true, "", 0 },
    { "cut", "payment answer: headers and half the body, then closed", Target::Http, Operation::Pay,
        "cut", "", true, "", 0 },
    { "http500", "payment answer: HTTP 500 with an HTML page", Target::Http, Operation::Pay,
        "http500", "", true, "", 0 },
    { "nonjson", "payment answer: 200 with plain text", Target::Http, Operation::Pay, "nonjson", "",
        true, "", 0 },
    { "empty", "payment answer: 200 with an empty body", Target::Http, Operation::Pay, "empty", "",
        true, "", 0 },
    { "badutf8", "payment answer: 200, the envelope with invalid UTF-8 in a member", Target::Http,
        Operation::Pay, "badutf8", "", true, "", 0 },
    { "array", "payment answer: 200, the envelope inside a JSON array", Target::Http,
        Operation::Pay, "array", "", true, "", 0 },
    { "nested", "payment answer: 200, JSON arrays nested 100000 deep", Target::Http, Operation::Pay,
        "nested", "", true, "", 0 },
    { "huge", "payment answer: 200 with a 50 MiB body", Target::Http, Operation::Pay, "huge", "",
        true, "", 0, Measured },
    { "silent", "payment answer never comes, the connection stays open", Target::Http,
        Operation::Pay, "silent", "", true, "", 0, Measured },
    { "drip", "payment answer: headers, then the body one byte a second", Target::Http,
        Operation::Pay, "drip", "", true, "", 0, Measured },
    { "delay:1500", "payment answer 1.5 s late, past the 1 s time-out", Target::Http,
        Operation::Pay, "delay:1500", "", true, "", 0, Measured },
    { "drop+status-fault:drop@1",
        "payment answer lost, and the first status answer (Qt repeats an unanswered GET itself)",
        Target::Http, Operation::Pay, "drop+status-fault:drop@1", "", true, "", 0 },
    { "silent+status-fault:silent@1", "payment answer never comes, nor the first status answer",
        Target::Http, Operation::Pay, "silent+status-fault:silent@1", "", true, "", 0, Measured },
    { "http500+status-fault:nonjson@1", "payment answer HTML 500, first status answer plain text",
        Target::Http, Operation::Pay, "http500+status-fault:nonjson@1", "", true, "", 0 },
    { "error500", "payment answer: HTTP 500, a service error (error_code 500) that says paid",
        Target::Http, Operation::Pay, "4111+error500", "", true, "", 0 },
    { "client throws", "payment sent, then the host's client throws instead of answering",
        Target::Http, Operation::Pay, "4111", "", true, "", 0, ClientThrows },
    { "never+client throws", "as above, the payment pending until payDuration is over",
        Target::Http, Operation::Pay, "never", kShortWait, false, "vesaNuPaymentVoided", 0,
        ClientThrows | Voided },
    { "drop+status-fault:proxy404@1",
        "payment answer lost, the first status answer a proxy's HTTP 404 without the service's answer",
        Target::Http, Operation::Pay, "drop+status-fault:proxy404@1", "", true, "", 0 },
    { "drop+status-fault:error500@1",
        "payment answer lost, the first status answer a service error (HTTP 500, error_code 500)",
        Target::Http, Operation::Pay, "drop+status-fault:error500@1", "", true, "", 0 },
};

// Status values that are not final, and final ones the payment did not ask for.
const FaultCase kStatusCases[] = {
    { "flap:4", "status not final (0, 1, 5) three times, paid at the 4th query", Target::Http,
        Operation::Pay, "flap:4", "", true, "", 0 },
    { "flap:1000", "status cycles 0, 1, 5, 7 until payDuration is over", Target::Http,
        Operation::Pay, "flap:1000", kShortWait, false, "vesaNuPaymentVoided", 0, Voided },
    { "never", "status pending until payDuration is over", Target::Http, Operation::Pay, "never",
        kShortWait, false, "vesaNuPaymentVoided", 0, Voided },
    { "declined-after:2", "the service reports Failed at the 2nd status query", Target::Http,
        Operation::Pay, "declined-after:2", "", false, "requestStatusFailed", 0 },
    { "declined", "the first answer says Failed with error_code 0", Target::Http, Operation::Pay,
        "declined", "", false, "requestStatusFailed", 0 },
    { "says-failed+never", "the first answer says Failed, then pending until payDuration is over",
        Target::Http, Operation::Pay, "never+says-failed", kShortWait, false,
        "vesaNuPaymentVoided", 0, Voided },
};

} // namespace

TEST_F(PaymentAnswerFaults, UnreadableAnswersAreSettledByAskingTheService)
{
    runTable(1, kSection, kCases);
}

TEST_F(PaymentAnswerFaults, OnlyAFinalStatusEndsTheWait)
{
    runTable(1, kSection, kStatusCases);
}
