#include "contract/basicpaymentprocessing.h"
#include "contract/basicpaymentprocessing_p.h"

#include <chrono>
#include <gtest/gtest.h>
#include <limits>
#include <ostream>
#include <vector>

namespace pacing = contract::internal::pacing;

namespace {

using Clock = std::chrono::steady_clock;

constexpr qint64 int32Max = std::numeric_limits<qint32>::max();

class Paced : public BasicPaymentProcessing
{
public:
    // Moves the recorded time back, as if it had been recorded earlier.
    void recordedAgo(std::chrono::nanoseconds ago)
    {
        setLastOperationTime();
        const qint64 recorded = qint64(lastOperationTime.tv_sec) * 1000000000
            + lastOperationTime.tv_nsec - ago.count();
        lastOperationTime.tv_sec = recorded / 1000000000;
        lastOperationTime.tv_nsec = recorded % 1000000000;
    }

    timespec recorded() const { return lastOperationTime; }
};

std::chrono::milliseconds millisecondsOf(Clock::duration duration)
{
    return std::chrono::duration_cast<std::chrono::milliseconds>(duration);
}

struct WaitCase
{
    const char *name;
    int seconds;
    timespec last;
    timespec now;
    qint64 microseconds;
};

// Names each case in test listings (and so in CTest's test names).
void PrintTo(const WaitCase &c, std::ostream *out)
{
    *out << c.name;
}

class PacingArithmetic : public ::testing::TestWithParam<WaitCase>
{
};

} // namespace

TEST_P(PacingArithmetic, MicrosecondsToWait)
{
    const WaitCase &c = GetParam();
    EXPECT_EQ(pacing::microsecondsToWait(c.seconds, c.last, c.now), c.microseconds);
}

INSTANTIATE_TEST_SUITE_P(BasicPaymentProcessing, PacingArithmetic,
    ::testing::Values(
        // The host's documented examples for an interval of 3 s.
        WaitCase { "calledAfterOnePointTwoSeconds", 3, { 100, 0 }, { 101, 200000000 }, 1800000 },
        WaitCase { "calledAfterFiveSeconds", 3, { 100, 0 }, { 105, 0 }, 0 },
        WaitCase { "calledExactlyAtTheEnd", 3, { 100, 0 }, { 103, 0 }, 0 },
        WaitCase {
            "sameSecondLaterNanoseconds", 3, { 100, 500000000 }, { 103, 200000000 }, 300000 },
        WaitCase { "lessThanAMicrosecondLeft", 3, { 100, 999 }, { 103, 0 }, 0 },
        WaitCase { "oneMicrosecondLeft", 3, { 100, 0 }, { 102, 999999999 }, 1 },
        // The division truncates toward zero, i.e. toward the recorded time.
        WaitCase { "truncatesTowardZero", 2, { 100, 0 }, { 101, 1500 }, 999999 },
        WaitCase { "clockBehindTheRecord", 1, { 100, 0 }, { 99, 0 }, 2000000 },
        // The largest wait the host's 32-bit count holds, and beyond it.
        WaitCase { "2147Seconds", 2147, { 100, 0 }, { 100, 0 }, 2147000000 },
        WaitCase { "2148Seconds", 2148, { 100, 0 }, { 100, 0 }, 2148000000 },
        WaitCase { "2148SecondsLessAQuarter", 2148, { 100, 0 }, { 100, 250000000 }, 2147750000 },
        WaitCase { "largestArgument", std::numeric_limits<int>::max(), { 2000000000, 0 },
            { 2000000000, 0 }, qint64(std::numeric_limits<int>::max()) * 1000000 }));

TEST(BasicPaymentProcessing, PacingSleepsAWaitThatFitsInOneCall)
{
    for (qint64 total : { qint64(1), qint64(700000), int32Max }) {
        std::vector<qint64> pieces;
        pacing::sleepInPieces(total, [&](useconds_t piece) { pieces.push_back(piece); });
        EXPECT_EQ(pieces, std::vector<qint64>({ total }));
    }
    std::vector<qint64> none;
    pacing::sleepInPieces(0, [&](useconds_t piece) { none.push_back(piece); });
    EXPECT_TRUE(none.empty());
}

// The host's 32-bit count would turn these into a wrong or negative sleep;
// here they are slept whole, in pieces, without sleeping for real.
TEST(BasicPaymentProcessing, PacingSleepsALongWaitWholeInPieces)
{
    const qint64 longest = qint64(std::numeric_limits<int>::max()) * 1000000;
    for (qint64 total : { qint64(2148000000), int32Max + 1, longest }) {
        qint64 slept = 0;
        qint64 calls = 0;
        bool everyPieceFits = true;
        pacing::sleepInPieces(total, [&](useconds_t piece) {
            slept += piece;
            ++calls;
            everyPieceFits = everyPieceFits && piece > 0 && piece <= int32Max;
        });
        EXPECT_EQ(slept, total);
        EXPECT_EQ(calls, (total + int32Max - 1) / int32Max);
        EXPECT_TRUE(everyPieceFits);
    }
}

// The wiring of waitBeforeNextOperation to the clock and to usleep is
// checked with short intervals only; the long case (2148 s or more) is
// covered by the arithmetic and the pieces above, not by sleeping.
TEST(BasicPaymentProcessing, PacingReturnsAtOnceWithNothingRecorded)
{
    Paced object;
    const Clock::time_point start = Clock::now();
    object.waitBeforeNextOperation(3);
    EXPECT_LT(millisecondsOf(Clock::now() - start).count(), 100);
}

TEST(BasicPaymentProcessing, PacingReturnsAtOnceForNoInterval)
{
    Paced object;
    object.setLastOperationTime();
    const Clock::time_point start = Clock::now();
    object.waitBeforeNextOperation(0);
    object.waitBeforeNextOperation(-5);
    EXPECT_LT(millisecondsOf(Clock::now() - start).count(), 100);
}

TEST(BasicPaymentProcessing, PacingReturnsAtOnceWhenTheIntervalHasPassed)
{
    Paced object;
    object.recordedAgo(std::chrono::seconds(5));
    const Clock::time_point start = Clock::now();
    object.waitBeforeNextOperation(3);
    EXPECT_LT(millisecondsOf(Clock::now() - start).count(), 100);
}

TEST(BasicPaymentProcessing, PacingSleepsTheRestOfTheInterval)
{
    Paced object;
    object.recordedAgo(std::chrono::milliseconds(300));
    const Clock::time_point start = Clock::now();
    object.waitBeforeNextOperation(1);
    const std::chrono::milliseconds slept = millisecondsOf(Clock::now() - start);
    EXPECT_GE(slept.count(), 690);
    EXPECT_LT(slept.count(), 900);

    // Never earlier than the interval after the recorded time.
    timespec now {};
    clock_gettime(CLOCK_MONOTONIC, &now);
    const timespec last = object.recorded();
    const qint64 elapsedMicroseconds = (qint64(now.tv_sec) - last.tv_sec) * 1000000
        + (qint64(now.tv_nsec) - last.tv_nsec) / 1000;
    EXPECT_GE(elapsedMicroseconds, 1000000 - 1);
}
