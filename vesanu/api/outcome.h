#pragma once

namespace vesanu {
namespace api {

// What one exchange with the service came to, decided once where the host's
// answer is read. Only Refused and NeverSent say for certain that nothing
// happened; everything but Answered leaves the operation in doubt.
enum class Outcome {
    // A readable answer of the service about the transaction asked about.
    Answered,
    // The service's own refusal: a readable non-zero "error_code" outside HTTP 5xx.
    Refused,
    // HTTP 404 with the service's own error answer: it does not know the transaction.
    NotFound,
    // Something came back that cannot be read as the service's answer: HTTP
    // 5xx, an "error_code" that is no whole number, an answer about another
    // transaction, a body that is no usable JSON object.
    Unreadable,
    // Nothing came back after the request may have left.
    NoAnswer,
    // The request provably never left: no client, or it failed before sending.
    NeverSent,
};

} // namespace api
} // namespace vesanu
