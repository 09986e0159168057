#include "scenario.h"

#include <gtest/gtest.h>

using sim::Scenario;
using Outcome = Scenario::Outcome;
using Kind = Scenario::FaultKind;
using Target = Scenario::Target;

namespace {

Scenario parsed(const QString &token)
{
    Scenario scenario;
    QString error;
    EXPECT_TRUE(Scenario::parse(token, &scenario, &error))
        << token.toStdString() << ": " << error.toStdString();
    return scenario;
}

struct OutcomeCase
{
    const char *token;
    Outcome outcome;
    int argument;
    const char *directives;
};

// Test names show the case, not its bytes.
void PrintTo(const OutcomeCase &c, std::ostream *os)
{
    *os << c.token;
}

class ScenarioOutcome : public ::testing::TestWithParam<OutcomeCase>
{
};

TEST_P(ScenarioOutcome, ParsesTheOutcomeAndIgnoresPlainText)
{
    const OutcomeCase &c = GetParam();
    const Scenario scenario = parsed(QString::fromUtf8(c.token));
    EXPECT_EQ(scenario.outcome(), c.outcome);
    EXPECT_EQ(scenario.outcomeArgument(), c.argument);
    EXPECT_EQ(scenario.text().toStdString(), c.directives);
}

INSTANTIATE_TEST_SUITE_P(Tokens, ScenarioOutcome,
    ::testing::Values(OutcomeCase { "4111", Outcome::Paid, 0, "" },
        OutcomeCase { "", Outcome::Paid, 0, "" },
        // base64 may hold '+' and '/': still plain text
        OutcomeCase { "QUJD+/w==", Outcome::Paid, 0, "" },
        OutcomeCase { "pending:3", Outcome::Pending, 3, "pending:3" },
        OutcomeCase { "4111+pending:0", Outcome::Pending, 0, "pending:0" },
        OutcomeCase { "pending-ms:250", Outcome::PendingMs, 250, "pending-ms:250" },
        OutcomeCase { "declined", Outcome::Declined, 0, "declined" },
        OutcomeCase { "declined-after:2+x", Outcome::DeclinedAfter, 2, "declined-after:2" },
        OutcomeCase { "never", Outcome::Never, 0, "never" },
        OutcomeCase { "error:51", Outcome::Error, 51, "error:51" },
        OutcomeCase { "error:-7", Outcome::Error, -7, "error:-7" },
        OutcomeCase { "flap:4+phone:7701", Outcome::Flap, 4, "flap:4+phone:7701" }));

class ScenarioRefusal : public ::testing::TestWithParam<const char *>
{
};

TEST_P(ScenarioRefusal, RefusesMalformedOrContradictoryTokens)
{
    Scenario scenario;
    QString error;
    EXPECT_FALSE(Scenario::parse(QString::fromUtf8(GetParam()), &scenario, &error));
    EXPECT_FALSE(error.isEmpty());
}

INSTANTIATE_TEST_SUITE_P(Tokens, ScenarioRefusal,
    ::testing::Values("pending", "pending:", "pending:x", "pending:-1", "pending:1000001",
        "pending: 1", "pending:1+never", "declined:1", "never+declined", "error:0", "error:abc",
        "phone:+7701", "phone:", "phone:1+phone:2", "status-fault:bogus", "status-fault",
        "status-fault:drop+status-fault:empty", "delay:1+delay:2", "drop+nonjson", "bogus:1",
        "drop@0", "drop@x", "reverse-fail:1", "reverse-pending", "delay:600001",
        "pending-ms:86400001", "confirm-late", "confirm-late:x",
        "confirm-late:1+confirm-late:2"));

TEST(Scenario, ReversalAndPhoneDirectives)
{
    const Scenario scenario
        = parsed(QStringLiteral("reverse-pending:2+reverse-fail+phone:77011234567"));
    EXPECT_EQ(scenario.reversePending(), 2);
    EXPECT_TRUE(scenario.reverseFails());
    EXPECT_EQ(scenario.phone(), QStringLiteral("77011234567"));
    EXPECT_EQ(scenario.outcome(), Outcome::Paid);
    EXPECT_EQ(scenario.confirmLateMs(), -1);
    EXPECT_EQ(parsed(QStringLiteral("never+confirm-late:4000")).confirmLateMs(), 4000);
}

struct FaultCase
{
    const char *token;
    Target target;
    int answerNumber;
    std::vector<Kind> kinds;
};

// Test names show the case, not its bytes.
void PrintTo(const FaultCase &c, std::ostream *os)
{
    *os << c.token;
}

class ScenarioFaults : public ::testing::TestWithParam<FaultCase>
{
};

TEST_P(ScenarioFaults, PicksTheFaultsOfOneAnswerDelayFirst)
{
    const FaultCase &c = GetParam();
    std::vector<Kind> kinds;
    for (const Scenario::Fault &fault :
        parsed(QString::fromUtf8(c.token)).faultsFor(c.target, c.answerNumber))
        kinds.push_back(fault.kind);
    EXPECT_EQ(kinds, c.kinds);
}

INSTANTIATE_TEST_SUITE_P(Tokens, ScenarioFaults,
    ::testing::Values(FaultCase { "drop", Target::Payment, 1, { Kind::Drop } },
        FaultCase { "drop", Target::Payment, 7, { Kind::Drop } },
        FaultCase { "drop", Target::Status, 1, {} },
        FaultCase { "nonjson@1+delay:300", Target::Payment, 1, { Kind::Delay, Kind::NonJson } },
        FaultCase { "nonjson@1+delay:300", Target::Payment, 2, { Kind::Delay } },
        FaultCase { "status-fault:delay:100@2", Target::Status, 2, { Kind::Delay } },
        FaultCase { "status-fault:delay:100@2", Target::Status, 3, {} },
        FaultCase { "status-fault:silent+drop", Target::Status, 1, { Kind::Silent } },
        FaultCase { "reversal-fault:empty", Target::Reversal, 1, { Kind::Empty } },
        FaultCase { "reversal-fault:empty", Target::Payment, 1, {} },
        FaultCase { "ofd-fault:http500", Target::Ofd, 3, { Kind::Http500 } },
        FaultCase { "status-fault:error500@1", Target::Status, 1, { Kind::Error500 } },
        FaultCase { "cut+x", Target::Payment, 1, { Kind::Cut } }));

TEST(Scenario, DelayCarriesItsDuration)
{
    const auto faults
        = parsed(QStringLiteral("status-fault:delay:250")).faultsFor(Target::Status, 1);
    ASSERT_EQ(faults.size(), 1u);
    EXPECT_EQ(faults.front().delayMs, 250);
}

} // namespace
