#pragma once

namespace vesanu {
namespace api {

class Course;

// Where the customer's money is when a payment, refund or cancel ends: what
// the plug-in knows, said to the host, the cashier and the log alike.
enum class MoneyState {
    None, // not an operation's end (a plain exchange or status wait)
    Charged, // the service took the payment
    NotCharged, // the service refused or failed it, or it never left
    Voided, // it was in doubt, and the service confirmed its void
    InDoubt, // its void is not confirmed: the journal voids it later
    Refunded, // the service reversed the payment
    AlreadyRefunded, // reversed by an earlier refund of this register: not again
    NotRefunded, // the service refused the reversal, or it never left
    RefundUndecided, // no final answer: the payment may or may not be reversed
};

// The state a course's ending leaves the money in.
MoneyState moneyStateOf(const Course &course);
// The name the host reads in the answer's additional information; empty for None.
const char *moneyStateName(MoneyState state);

} // namespace api
} // namespace vesanu
