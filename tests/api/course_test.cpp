#include "vesanu/api/course.h"

#include <QList>

#include <gtest/gtest.h>

#include <string>

using vesanu::api::Course;
using vesanu::api::Outcome;
using namespace std::chrono;

namespace {

// One exchange as the course sees it, and how long it takes.
struct Exchange
{
    Outcome outcome;
    int status = 0;
    int takesMs = 0;
};

Exchange ok(int status, int takesMs = 0)
{
    return {Outcome::Answered, status, takesMs};
}

Exchange bad(Outcome outcome)
{
    return {outcome};
}

// Plays the exchanges through the course on a clock that moves only when an
// exchange takes time or the course sleeps, and writes down every action:
// A ask, S sleep, V void, F finish. Each ask records its time in `asks`.
std::string play(Course &course, bool hasFirstAnswer, QList<Exchange> exchanges,
                 QList<int> *asks)
{
    const Course::TimePoint start{seconds(1000)};
    Course::TimePoint now = start;
    const auto take = [&] {
        const Exchange next = exchanges.isEmpty() ? ok(1) : exchanges.takeFirst();
        now += milliseconds(next.takesMs);
        return next;
    };
    Course::Step step;
    if (hasFirstAnswer) {
        const Exchange first = take();
        step = course.answered(first.outcome, first.status, start, now);
    } else {
        step = course.begin(now);
    }
    std::string trace;
    while (trace.size() < 50) {
        switch (step.action) {
        case Course::Action::AskStatus: {
            trace += 'A';
            asks->append(int(duration_cast<milliseconds>(now - start).count()));
            const Course::TimePoint sentAt = now;
            const Exchange answer = take();
            step = course.answered(answer.outcome, answer.status, sentAt, now);
            break;
        }
        case Course::Action::SleepUntil:
            trace += 'S';
            EXPECT_GT(step.until, now) << "no sleep into the past";
            now = step.until;
            step = course.woke(now);
            break;
        case Course::Action::Void: {
            trace += 'V';
            const Exchange answer = take();
            step = course.answered(answer.outcome, answer.status, now, now);
            break;
        }
        case Course::Action::Finish:
            return trace + 'F';
        }
    }
    return trace;
}

} // namespace

// The whole decision table: payDuration 3 s, statusRequestInterval 1 s.
TEST(Course, DecidesEveryPaymentAndRefundInOneTable)
{
    using K = Course::Kind;
    using E = Course::Ending;
    const Exchange unreadable = bad(Outcome::Unreadable);
    const Exchange noAnswer = bad(Outcome::NoAnswer);
    const Exchange notFound = bad(Outcome::NotFound);
    const Exchange refused = bad(Outcome::Refused);
    const Exchange neverSent = bad(Outcome::NeverSent);
    struct Row
    {
        const char *name;
        K kind;
        QList<Exchange> exchanges; // first answer (but for a plain wait), status answers, void
        const char *trace;
        E ending;
        bool voidConfirmed;
        QList<int> asksAtMs;
    };
    const Row rows[] = {
        {"paid at once", K::Payment, {ok(2)}, "F", E::Reached, false, {}},
        {"refused", K::Payment, {refused}, "F", E::Refused, false, {}},
        {"never sent", K::Payment, {neverSent}, "F", E::NeverSent, false, {}},
        {"pending, then paid", K::Payment, {ok(1), ok(1), ok(2)}, "ASAF", E::Reached, false, {0, 1000}},
        {"Failed twice", K::Payment, {ok(-1), ok(-1)}, "AF", E::Failed, false, {0}},
        {"Failed, then pending until the end", K::Payment, {ok(-1), ok(1), ok(1), ok(1), ok(1), ok(3)},
         "ASASASAVF", E::TimedOut, true, {0, 1000, 2000, 3000}},
        {"pending, then Failed", K::Payment, {ok(1), ok(1), ok(-1)}, "ASAF", E::Failed, false, {0, 1000}},
        {"Reversed is not Paid", K::Payment, {ok(1), ok(3), ok(2)}, "ASAF", E::Reached, false, {0, 1000}},
        {"unreadable, then paid", K::Payment, {unreadable, ok(2)}, "AF", E::Reached, false, {0}},
        {"no answer, then paid", K::Payment, {noAnswer, ok(2)}, "AF", E::Reached, false, {0}},
        {"first answer not found", K::Payment, {notFound, ok(2)}, "AF", E::Reached, false, {0}},
        {"no answer, then not found", K::Payment, {noAnswer, notFound, ok(3)}, "AVF", E::NotFound, true,
         {0}},
        // "Not known" confirms a void only of a payment the service never named.
        {"pending, then not found", K::Payment, {ok(1), ok(1), notFound, notFound}, "ASAVF",
         E::NotFound, false, {0, 1000}},
        {"never named, then not found", K::Payment, {noAnswer, notFound, notFound}, "AVF",
         E::NotFound, true, {0}},
        {"named in an unreadable answer, then not found", K::Payment,
         {Exchange{Outcome::Unreadable, 1, 0}, notFound, notFound}, "AVF", E::NotFound, false, {0}},
        {"status refused, unreadable, then paid", K::Payment, {ok(1), refused, unreadable, ok(2)},
         "ASASAF", E::Reached, false, {0, 1000, 2000}},
        {"nothing readable until the end", K::Payment,
         {noAnswer, unreadable, noAnswer, neverSent, unreadable, ok(3)}, "ASASASAVF", E::Unanswered,
         true, {0, 1000, 2000, 3000}},
        // Failed in answer to a reversal is the reversal's failure.
        {"the void answered Failed", K::Payment, {ok(1), ok(1), ok(1), ok(1), ok(1), ok(-1)},
         "ASASASAVF", E::TimedOut, false, {0, 1000, 2000, 3000}},
        {"the void answered paid", K::Payment, {ok(1), ok(1), ok(1), ok(1), ok(1), ok(2)}, "ASASASAVF",
         E::TimedOut, false, {0, 1000, 2000, 3000}},
        {"the void answered pending", K::Payment, {ok(1), ok(1), ok(1), ok(1), ok(1), ok(1)},
         "ASASASAVF", E::TimedOut, false, {0, 1000, 2000, 3000}},
        {"the void unanswered", K::Payment, {ok(1), ok(1), ok(1), ok(1), ok(1), noAnswer}, "ASASASAVF",
         E::TimedOut, false, {0, 1000, 2000, 3000}},
        // A question that takes longer than the interval is followed at once;
        // the last one goes out at the deadline at the latest.
        {"slow questions", K::Payment, {ok(1), ok(1, 1200), ok(1, 1200), ok(1), ok(1), ok(3)},
         "AAASAVF", E::TimedOut, true, {0, 1200, 2400, 3000}},
        {"refund reversed at once", K::Refund, {ok(3)}, "F", E::Reached, false, {}},
        {"refund refused", K::Refund, {refused}, "F", E::Refused, false, {}},
        {"refund unreadable, then reversed", K::Refund, {unreadable, ok(3)}, "AF", E::Reached, false, {0}},
        {"refund of an unknown payment", K::Refund, {notFound}, "F", E::NotFound, false, {}},
        {"refund pending until the end", K::Refund, {ok(1), ok(1), ok(1), ok(1), ok(1)}, "ASASASAF",
         E::TimedOut, false, {0, 1000, 2000, 3000}},
        {"refund unanswered until the end", K::Refund, {noAnswer, noAnswer, noAnswer, noAnswer, noAnswer},
         "ASASASAF", E::Unanswered, false, {0, 1000, 2000, 3000}},
        {"plain wait reaches its target", K::StatusWait, {ok(1), ok(2)}, "ASAF", E::Reached, false,
         {0, 1000}},
        {"plain wait, not found", K::StatusWait, {notFound}, "AF", E::NotFound, false, {0}},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.name);
        const int target = row.kind == K::Refund ? 3 : 2;
        Course course(row.kind, target, seconds(3), seconds(1));
        QList<int> asks;
        EXPECT_EQ(play(course, row.kind != K::StatusWait, row.exchanges, &asks), row.trace);
        EXPECT_EQ(course.state(), Course::State::Done);
        EXPECT_EQ(course.ending(), row.ending);
        EXPECT_EQ(course.voidConfirmed(), row.voidConfirmed);
        EXPECT_EQ(asks, row.asksAtMs);
    }
}

TEST(Course, AnInterruptVoidsAWaitingPaymentOnly)
{
    const Course::TimePoint now{};
    Course payment(Course::Kind::Payment, 2, seconds(300), seconds(10));
    EXPECT_FALSE(payment.interruptible()) << "before its first answer";
    EXPECT_EQ(payment.answered(Outcome::Answered, 1, now, now).action, Course::Action::AskStatus);
    EXPECT_TRUE(payment.interruptible());
    EXPECT_EQ(payment.interrupted().action, Course::Action::Void);
    EXPECT_EQ(payment.answered(Outcome::Answered, 3, now, now).action, Course::Action::Finish);
    EXPECT_EQ(payment.ending(), Course::Ending::Interrupted);
    EXPECT_TRUE(payment.voidConfirmed());

    Course refund(Course::Kind::Refund, 3, seconds(300), seconds(10));
    refund.answered(Outcome::Answered, 1, now, now);
    EXPECT_FALSE(refund.interruptible());
}

TEST(Course, ZeroOrNegativeDurationsAskOnceOrBackToBack)
{
    for (const int payDurationMs : {0, -5000}) {
        Course course(Course::Kind::StatusWait, 2, milliseconds(payDurationMs), seconds(1));
        QList<int> asks;
        EXPECT_EQ(play(course, false, {ok(1)}, &asks), "AF");
        EXPECT_EQ(course.ending(), Course::Ending::TimedOut);
    }
    // No interval: questions back to back until payDuration has passed.
    Course course(Course::Kind::StatusWait, 2, seconds(1), milliseconds(0));
    QList<int> asks;
    EXPECT_EQ(play(course, false, {ok(1, 400), ok(1, 400), ok(1, 400)}, &asks), "AAAF");
    EXPECT_EQ(asks, (QList<int>{0, 400, 800}));
}
