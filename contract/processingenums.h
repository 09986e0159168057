#pragma once

#include <QFlags>

// The host's enumerations. Every one is stored in 32 bits; the numbers are
// the host's and only those this plug-in uses carry a meaning here.

namespace EPaymentProcessingOption {
enum Option : int {
    NoOption = 0,
    CardPayment = 0x1,
    PrintSlip = 0x2,
    Cashback = 0x4,
    Loyalty = 0x8,
    PaymentByToken = 0x10,
    PartialPayment = 0x20,
    NoTerminal = 0x4000,
};
Q_DECLARE_FLAGS(Options, Option)
} // namespace EPaymentProcessingOption
Q_DECLARE_OPERATORS_FOR_FLAGS(EPaymentProcessingOption::Options)

namespace processing {
enum Option : int {
    NoOption = 0,
    AskAmount = 1,
    AskCardNumber = 2,
    PrintSlip = 3,
    ShowDialog = 4,
    ScanToken = 5,
};
} // namespace processing

namespace EPaymentProcessingInfo {
enum MessageType : int {
    Title = 0,
    Message = 1,
    ScanError = 2,
};
} // namespace EPaymentProcessingInfo

enum EPaymentMethod : int {
    PaymentMethodUnknown = 0,
    PaymentMethodCard = 1,
    PaymentMethodToken = 2,
};

enum CardMark : int {
    CardMarkNone = 0,
};
