#pragma once

// One fault scenario: where the plug-in is pointed, what the host asks of it,
// and what the host must be told.

// What answers the plug-in's requests.
enum class Target {
    Http, // the simulator
    Https, // the simulator with a certificate the client trusts
    WrongHost, // ... issued for another host name
    Expired, // ... expired
    Untrusted, // ... issued by an authority nobody trusts
    ClockAhead, // the simulator's clock far ahead of the plug-in's
    ClockBehind, // ... far behind
    ClockNear, // ... a little ahead, within the allowed skew
    Refused, // a port nothing listens on
    BareSilent, // a bare socket that accepts and never writes
    BareHuge, // a bare socket that streams an endless chunked answer
};

// What the host asks.
enum class Operation {
    Pay, // payment(), type 1
    Refund, // a payment first, then payment() with type 3
    Cancel, // a payment first, then cancel()
    RefundUnknown, // a refund of a transaction the service never saw
    Fiscal, // a payment first, then its queued fiscal-data message
    FiscalUnknown, // a fiscal-data message for a transaction the service never saw
};

// Extras of a case, or-ed together.
enum CaseFlag {
    Measured = 1, // its time and memory go into the report
    NothingArrives = 2, // not a byte of a request may reach the peer
    Voided = 4, // a payment left in doubt: the plug-in must send one reversal for it
    // The service refuses that reversal and completes the payment later: limbo
    // that only the service can close, counted apart as a known limit.
    VoidRefused = 8,
    // The host's client throws std::bad_alloc instead of handing back the
    // payment's answer, after the request went out.
    ClientThrows = 16,
    // The register starts again once a late confirmation had its chance: the
    // plug-in is loaded anew on the same journal, whose recovery runs in init().
    Restarted = 32,
};

struct FaultCase
{
    const char *name;
    const char *done; // what was done, in a few words, for the report
    Target target;
    Operation operation;
    const char *token; // the payment's scenario token (unused for the *Unknown operations)
    const char *settings; // ini lines after the defaults
    bool success; // what the host must be told
    const char *key;
    int code;
    int flags = 0;
};
