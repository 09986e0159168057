#include "faultbench.h"

namespace {

class TransportFaults : public FaultBench
{
protected:
    void SetUp() override
    {
        FaultBench::SetUp();
        // A process's first TLS exchange sets up OpenSSL (about 6 MiB here; under
        // qemu's emulator 20 MiB, its code translated too): paid once, whatever the
        // answer, so it is paid before a scenario measures what an answer costs.
        warmUp(Target::Https);
    }
};

const char kSection[] = "Connection, TLS and clock";
// Nothing answers, so the plug-in asks until payDuration is over: at a sane pace.
const char kPaced[] = "payDuration=2\nstatusRequestInterval=1\n";

const FaultCase kUnreachable[] = {
    { "https", "control: a payment over TLS with a trusted certificate", Target::Https,
        Operation::Pay, "4111", "", true, "", 0 },
    { "refused", "nothing listens on the port", Target::Refused, Operation::Pay, "4111", kPaced,
        false, "vesaNuPaymentNotSent", 0, Measured },
    { "bare silent", "a bare socket accepts and never writes", Target::BareSilent, Operation::Pay,
        "4111", kPaced, false, "vesaNuPaymentInDoubt", 0, Measured },
    { "bare huge", "a bare socket answers 200 with 50 MiB, chunked, no length announced",
        Target::BareHuge, Operation::Pay, "4111", kPaced, false, "vesaNuPaymentInDoubt", 0,
        Measured },
};

// A peer the plug-in must not trust gets no request at all; a service whose
// clock disagrees refuses the request, and the host hears of the refusal. A
// payment the journal cannot record does not leave either.
const FaultCase kUntrusted[] = {
    { "journal read-only", "the journal's folder cannot be written (/proc, read-only even for root)",
        Target::Http, Operation::Pay, "4111", "journal=/proc/vesanu/journal.sqlite\n", false,
        "vesaNuJournalUnavailable", 0, NothingArrives },
    { "untrusted certificate", "TLS: the certificate's authority is not trusted", Target::Untrusted,
        Operation::Pay, "4111", kPaced, false, "vesaNuPaymentNotSent", 0, NothingArrives },
    { "wrong host name", "TLS: the certificate is for wrong.example", Target::WrongHost,
        Operation::Pay, "4111", kPaced, false, "vesaNuPaymentNotSent", 0, NothingArrives },
    { "expired certificate", "TLS: the certificate expired yesterday", Target::Expired,
        Operation::Pay, "4111", kPaced, false, "vesaNuPaymentNotSent", 0, NothingArrives },
    { "clock behind",
        "the plug-in's clock 600 s behind the service's (simulator: --clock-offset 600 --skew 5)",
        Target::ClockAhead, Operation::Pay, "4111", "", false, "undefined", 401 },
    { "clock ahead",
        "the plug-in's clock 600 s ahead of the service's (--clock-offset -600 --skew 5)",
        Target::ClockBehind, Operation::Pay, "4111", "", false, "undefined", 401 },
    { "clock near", "control: the plug-in's clock 3 s behind (--clock-offset 3 --skew 5)",
        Target::ClockNear, Operation::Pay, "4111", "", true, "", 0 },
};

} // namespace

TEST_F(TransportFaults, AnUnreachableOrHostilePeerEndsInAFailureInTime)
{
    runTable(5, kSection, kUnreachable);
}

TEST_F(TransportFaults, UntrustedPeersGetNoRequestAndSkewedClocksAreRefused)
{
    runTable(5, kSection, kUntrusted);
}
