// The host reads AbstractPaymentProcessing by virtual-table slot, so the
// order of its operations is ABI. This test proves each operation sits in the
// slot that its number in the host's interface table gives it.
//
// Itanium C++ ABI (GCC and Clang on Linux, x86 and x86_64): a pointer to a
// virtual member function holds 1 + the byte offset of its slot in the
// virtual table, so the slot index is (value - 1) / sizeof(void *). The
// virtual destructor, operation 1, occupies two slots (complete-object and
// deleting destructor), 0 and 1; operation n >= 2 therefore sits in slot n.

#include "contract/abstractpaymentprocessing.h"
#include "contract/basicpaymentprocessing.h"

#include <cstdint>
#include <cstring>
#include <gtest/gtest.h>
#include <set>
#include <type_traits>
#include <vector>

#if defined(__GXX_ABI_VERSION) && (defined(__i386__) || defined(__x86_64__))
#define VTABLE_SLOTS_READABLE 1
#else
#define VTABLE_SLOTS_READABLE 0
#endif

namespace {

// The slot index of a virtual member function, or -1 for a non-virtual one.
template<typename MemberFunction> long slotOf(MemberFunction function)
{
    struct ItaniumMemberFunctionPointer
    {
        std::uintptr_t pointerOrOffset;
        std::ptrdiff_t thisAdjustment;
    };
    static_assert(sizeof(MemberFunction) == sizeof(ItaniumMemberFunctionPointer),
        "a pointer to member function is two words in the Itanium ABI");
    ItaniumMemberFunctionPointer representation;
    std::memcpy(&representation, &function, sizeof representation);
    if ((representation.pointerOrOffset & 1) == 0)
        return -1;
    return long((representation.pointerOrOffset - 1) / sizeof(void *));
}

using A = AbstractPaymentProcessing;
using Type = PaymentProcessingRequest::Type;
using Answer = PaymentProcessingAnswer;
using Request = const PaymentProcessingRequest &;

struct Operation
{
    const char *name;
    long slot;
    int number; // in the host's interface table
};

std::vector<Operation> operations()
{
    return {
        { "init", slotOf(&A::init), 2 },
        { "isPaymentEnable(Type)",
            slotOf(static_cast<bool (A::*)(Type) const>(&A::isPaymentEnable)), 3 },
        { "isPaymentEnable(document)",
            slotOf(static_cast<bool (A::*)(const QSharedPointer<AbstractDocument> &) const>(
                &A::isPaymentEnable)),
            4 },
        { "isCancelEnable", slotOf(&A::isCancelEnable), 5 },
        { "isCheckTotalsEnable", slotOf(&A::isCheckTotalsEnable), 6 },
        { "isUsePaymentAsDiscount", slotOf(&A::isUsePaymentAsDiscount), 7 },
        { "payment", slotOf(&A::payment), 8 },
        { "change", slotOf(&A::change), 9 },
        { "cancel", slotOf(&A::cancel), 10 },
        { "checkTotals", slotOf(&A::checkTotals), 11 },
        { "checkTotalsByMerchantId", slotOf(&A::checkTotalsByMerchantId), 12 },
        { "printCopy", slotOf(&A::printCopy), 13 },
        { "printReport", slotOf(&A::printReport), 14 },
        { "printReportByMerchantId", slotOf(&A::printReportByMerchantId), 15 },
        { "printShortReport", slotOf(&A::printShortReport), 16 },
        { "balance", slotOf(&A::balance), 17 },
        { "discountCard", slotOf(&A::discountCard), 18 },
        { "loyaltyCards", slotOf(&A::loyaltyCards), 19 },
        { "checkOption(EPaymentProcessingOption)",
            slotOf(
                static_cast<bool (A::*)(EPaymentProcessingOption::Option) const>(&A::checkOption)),
            20 },
        { "checkOption(processing)",
            slotOf(static_cast<bool (A::*)(processing::Option) const>(&A::checkOption)), 21 },
        { "setOption(EPaymentProcessingOption)",
            slotOf(static_cast<void (A::*)(EPaymentProcessingOption::Option, bool)>(&A::setOption)),
            22 },
        { "setOption(processing)",
            slotOf(static_cast<void (A::*)(processing::Option, bool)>(&A::setOption)), 23 },
        { "cancelCardRequest", slotOf(&A::cancelCardRequest), 24 },
        { "getMessageInfo", slotOf(&A::getMessageInfo), 25 },
        { "getDialogScanMask", slotOf(&A::getDialogScanMask), 26 },
        { "getDialogImagePath", slotOf(&A::getDialogImagePath), 27 },
        { "testConnection", slotOf(&A::testConnection), 28 },
        { "demandPinCode", slotOf(&A::demandPinCode), 29 },
        { "demandQRCode", slotOf(&A::demandQRCode), 30 },
        { "getPaymentByQRCodeStatus", slotOf(&A::getPaymentByQRCodeStatus), 31 },
        { "getWaitPaymentByQRCodeDuration", slotOf(&A::getWaitPaymentByQRCodeDuration), 32 },
        { "getWaitPaymentStatusDuration", slotOf(&A::getWaitPaymentStatusDuration), 33 },
        { "getStatusRequestsInterval", slotOf(&A::getStatusRequestsInterval), 34 },
        { "cancelPaymentByQRCodeInQueue", slotOf(&A::cancelPaymentByQRCodeInQueue), 35 },
        { "paymentByQRCodeOnPinPad", slotOf(&A::paymentByQRCodeOnPinPad), 36 },
        { "cancelByQRCodeOnPinPad", slotOf(&A::cancelByQRCodeOnPinPad), 37 },
        { "paymentByBiometry", slotOf(&A::paymentByBiometry), 38 },
        { "cancelByBiometry", slotOf(&A::cancelByBiometry), 39 },
        { "paymentWithCashAdvance", slotOf(&A::paymentWithCashAdvance), 40 },
        { "setProcessingDirectory", slotOf(&A::setProcessingDirectory), 41 },
        { "interruptPayment", slotOf(&A::interruptPayment), 42 },
        { "getValutCodeForGetHashedCardNumber", slotOf(&A::getValutCodeForGetHashedCardNumber),
            43 },
        { "getHashedCardNumber", slotOf(&A::getHashedCardNumber), 44 },
        { "sendEnqueuedMessage", slotOf(&A::sendEnqueuedMessage), 45 },
        { "useTerminal", slotOf(&A::useTerminal), 46 },
    };
}

// A first virtual operation added after the interface: its slot is the one
// just past the interface's table.
class Extended : public BasicPaymentProcessing
{
public:
    virtual void firstOwnOperation() { }
};

} // namespace

TEST(AbstractPaymentProcessingAbi, DestructorIsVirtualAndTheClassHasNoData)
{
    EXPECT_TRUE(std::has_virtual_destructor<A>::value);
    EXPECT_TRUE(std::is_polymorphic<A>::value);
    EXPECT_TRUE(std::is_abstract<A>::value);
    EXPECT_EQ(sizeof(A), sizeof(void *)) << "only the virtual-table pointer";
}

TEST(AbstractPaymentProcessingAbi, EveryOperationSitsInItsSlot)
{
    if (!VTABLE_SLOTS_READABLE)
        GTEST_SKIP() << "slots are read through the Itanium ABI on x86 and x86_64 only";

    const std::vector<Operation> table = operations();
    ASSERT_EQ(table.size(), 45u) << "46 operations, the destructor not counted";
    std::set<int> numbers;
    for (const Operation &operation : table) {
        numbers.insert(operation.number);
        EXPECT_EQ(operation.slot, operation.number) << operation.name;
    }
    EXPECT_EQ(numbers.size(), 45u);
    EXPECT_EQ(*numbers.begin(), 2);
    EXPECT_EQ(*numbers.rbegin(), 46);
}

TEST(AbstractPaymentProcessingAbi, TheTableEndsAfterUseTerminal)
{
    if (!VTABLE_SLOTS_READABLE)
        GTEST_SKIP() << "slots are read through the Itanium ABI on x86 and x86_64 only";

    // Slots 0..46: two for the destructor and 45 for the other operations;
    // BasicPaymentProcessing adds none of its own.
    EXPECT_EQ(slotOf(&Extended::firstOwnOperation), 47);
}

TEST(AbstractPaymentProcessingAbi, BasicPaymentProcessingKeepsTheSlots)
{
    if (!VTABLE_SLOTS_READABLE)
        GTEST_SKIP() << "slots are read through the Itanium ABI on x86 and x86_64 only";

    using B = BasicPaymentProcessing;
    EXPECT_EQ(slotOf(&B::init), 2);
    EXPECT_EQ(slotOf(&B::payment), 8);
    EXPECT_EQ(slotOf(&B::cancel), 10);
    EXPECT_EQ(slotOf(&B::getMessageInfo), 25);
    EXPECT_EQ(slotOf(&B::getDialogImagePath), 27);
    EXPECT_EQ(slotOf(&B::sendEnqueuedMessage), 45);
    EXPECT_EQ(slotOf(&B::useTerminal), 46);
    EXPECT_EQ(slotOf(&B::makeResult), -1) << "makeResult is not virtual";
}
