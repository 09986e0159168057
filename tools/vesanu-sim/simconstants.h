#pragma once

// The simulator's whole vocabulary: addresses, JSON members, answer codes,
// scenario directives and defaults.

namespace sim {

namespace path {
constexpr const char *DefaultBase = "/api/v1";
constexpr const char *Payment = "/payment";
constexpr const char *Status = "/payment/status/";
constexpr const char *Reversal = "/payment/reversal/";
constexpr const char *OfdData = "/payment/ofd_data/submit_qrcode";
constexpr const char *Ledger = "/__sim/ledger";
constexpr const char *Health = "/__sim/health";
} // namespace path

namespace header {
constexpr const char *Auth = "Auth";
constexpr const char *ContentType = "Content-Type";
constexpr const char *Json = "application/json";
constexpr const char *Text = "text/plain";
constexpr const char *Html = "text/html";
} // namespace header

namespace key {
constexpr const char *Amount = "amount";
constexpr const char *OtpData = "otp_data";
constexpr const char *CashboxCode = "cashbox_code";
constexpr const char *TransactionId = "transaction_id";
constexpr const char *QrCode = "qrcode";
constexpr const char *ErrorCode = "error_code";
constexpr const char *ErrorNote = "error_note";
constexpr const char *PaymentStatus = "payment_status";
constexpr const char *PaymentId = "payment_id";
constexpr const char *PhoneNumber = "phone_number";
// Ledger-only members.
constexpr const char *Payments = "payments";
constexpr const char *Refusals = "refusals";
constexpr const char *Scenario = "scenario";
constexpr const char *BranchId = "branch_id";
constexpr const char *State = "state";
constexpr const char *ReversalState = "reversal";
constexpr const char *StatusQueries = "status_queries";
constexpr const char *PaymentRequests = "payment_requests";
constexpr const char *ReversalRequests = "reversal_requests";
constexpr const char *OfdRequests = "ofd_requests";
constexpr const char *QrCodes = "qrcodes";
constexpr const char *Created = "created";
constexpr const char *Updated = "updated";
constexpr const char *Time = "time";
constexpr const char *Method = "method";
constexpr const char *Path = "path";
constexpr const char *Health = "status";
constexpr const char *HealthOk = "ok";
} // namespace key

namespace state {
constexpr const char *Pending = "pending";
constexpr const char *Paid = "paid";
constexpr const char *Failed = "failed";
constexpr const char *Reversed = "reversed";
constexpr const char *None = "none";
} // namespace state

// Values of "payment_status" on the wire.
namespace wire {
constexpr int Pending = 1;
constexpr int Paid = 2;
constexpr int Reversed = 3;
constexpr int ReversalPending = 4;
constexpr int Failed = -1;
// Not-final values that "flap" cycles through.
constexpr int Flap[] = { 0, 1, 5, 7 };
} // namespace wire

// "error_code" values of the simulator's own refusals.
namespace code {
constexpr int Ok = 0;
constexpr int Malformed = 400;
constexpr int Signature = 401;
constexpr int Forbidden = 403;
constexpr int UnknownTransaction = 404;
constexpr int Conflict = 409;
constexpr int NotReversible = 422;
constexpr int ServiceError = 500;
} // namespace code

namespace note {
constexpr const char *AuthMissing = "missing Auth header";
constexpr const char *AuthMalformed = "malformed Auth header";
constexpr const char *AuthSignature = "bad signature";
constexpr const char *AuthStale = "timestamp outside the allowed clock skew";
constexpr const char *UnknownBranch = "unknown branch";
constexpr const char *UnknownCashbox = "unknown cashbox";
constexpr const char *NotJson = "body is not JSON";
constexpr const char *NotObject = "body is not a JSON object";
constexpr const char *ContentType = "Content-Type must be application/json";
constexpr const char *BadAmount = "amount must be a positive whole number";
constexpr const char *BadToken = "otp_data must be a non-empty string";
constexpr const char *BadCashbox = "cashbox_code must be a string";
constexpr const char *BadTransaction = "transaction_id must be 1 to 64 letters, digits, '-' or '_'";
constexpr const char *BadQrCode = "qrcode must be a string";
constexpr const char *BadScenario = "bad scenario token: ";
constexpr const char *Conflict = "transaction_id already used with different contents";
constexpr const char *UnknownTransaction = "unknown transaction";
constexpr const char *NotReversible = "only a paid or pending payment can be reversed";
constexpr const char *ServiceError = "internal error";
constexpr const char *ScenarioError = "declined by the service, code ";
constexpr const char *NoSuchAddress = "no such address";
constexpr const char *HttpError = "HTTP error ";
// The body of a proxy's own 404, in front of the service.
constexpr const char *ProxyNotFound = "{\"message\":\"Not Found\"}";
} // namespace note

// Scenario token grammar.
namespace directive {
constexpr char Separator = '+';
constexpr char ArgumentSeparator = ':';
constexpr char LimitSeparator = '@';
constexpr const char *Pending = "pending";
constexpr const char *PendingMs = "pending-ms";
constexpr const char *Declined = "declined";
constexpr const char *DeclinedAfter = "declined-after";
constexpr const char *Never = "never";
constexpr const char *Error = "error";
constexpr const char *Flap = "flap";
constexpr const char *ReversePending = "reverse-pending";
constexpr const char *ReverseFail = "reverse-fail";
constexpr const char *ConfirmLate = "confirm-late";
constexpr const char *Phone = "phone";
constexpr const char *Delay = "delay";
constexpr const char *StatusFault = "status-fault";
constexpr const char *ReversalFault = "reversal-fault";
constexpr const char *OfdFault = "ofd-fault";
} // namespace directive

// Fault kinds of the scenario grammar.
namespace fault {
constexpr const char *Drop = "drop";
constexpr const char *Cut = "cut";
constexpr const char *NonJson = "nonjson";
constexpr const char *Http500 = "http500";
constexpr const char *Empty = "empty";
constexpr const char *Silent = "silent";
constexpr const char *Drip = "drip";
constexpr const char *Huge = "huge";
constexpr const char *BadUtf8 = "badutf8";
constexpr const char *Array = "array";
constexpr const char *Nested = "nested";
constexpr const char *Error500 = "error500";
constexpr const char *NotFound = "notfound";
constexpr const char *Proxy404 = "proxy404";
constexpr const char *SaysFailed = "says-failed";
} // namespace fault

namespace limit {
constexpr int MaxCount = 1000000;
constexpr int MaxDelayMs = 600000;
constexpr int MaxPendingMs = 86400000;
constexpr int MaxErrorCode = 999999;
constexpr int MaxPhoneDigits = 20;
constexpr int MaxTransactionIdLength = 64;
constexpr int MaxStoredQrCodes = 100;
constexpr int MaxRefusals = 200;
constexpr int MaxBodyBytes = 64 * 1024;
constexpr int SilentMaxMs = 60000;
constexpr int DripIntervalMs = 1000;
constexpr int WaitSliceMs = 50;
constexpr int HugeBodyBytes = 50 * 1024 * 1024;
constexpr int HugeChunkBytes = 64 * 1024;
constexpr int NestingDepth = 100000;
constexpr int MaxLoggedChars = 80;
} // namespace limit

// Command-line option names.
namespace option {
constexpr const char *Listen = "listen";
constexpr const char *Port = "port";
constexpr const char *Cert = "cert";
constexpr const char *Key = "key";
constexpr const char *Secret = "secret";
constexpr const char *Branch = "branch";
constexpr const char *Cashbox = "cashbox";
constexpr const char *BasePath = "base-path";
constexpr const char *Skew = "skew";
constexpr const char *ClockOffset = "clock-offset";
constexpr const char *Ledger = "ledger";
constexpr const char *Threads = "threads";
constexpr const char *KeepAlive = "keep-alive";
constexpr const char *Quiet = "quiet";
constexpr const char *Help = "help";
} // namespace option

namespace defaults {
constexpr const char *Listen = "127.0.0.1";
constexpr const char *Secret = "test-secret";
constexpr const char *Phone = "77010000000";
constexpr int Port = 0;
constexpr int SkewSeconds = 300;
constexpr int Threads = 32;
constexpr int KeepAliveSeconds = 0;
constexpr int MaxThreads = 256;
constexpr int MaxKeepAliveSeconds = 60;
constexpr int MaxSkewSeconds = 100000000;
constexpr int FirstPaymentId = 1001;
} // namespace defaults

} // namespace sim
