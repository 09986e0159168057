#include "reliabilityreport.h"

#include <gtest/gtest.h>

namespace {

const char kReportSuite[] = "Reliability";

// Every other test of this executable saves the rows of its scenarios.
QStringList scenarioTests()
{
    QStringList groups;
    const ::testing::UnitTest *unit = ::testing::UnitTest::GetInstance();
    for (int i = 0; i < unit->total_test_suite_count(); ++i) {
        const ::testing::TestSuite *suite = unit->GetTestSuite(i);
        if (qstrcmp(suite->name(), kReportSuite) == 0)
            continue;
        for (int j = 0; j < suite->total_test_count(); ++j) {
            groups << QString::fromLatin1(suite->name()) + QLatin1Char('.')
                    + QString::fromLatin1(suite->GetTestInfo(j)->name());
        }
    }
    return groups;
}

} // namespace

// Runs after every scenario (CTest orders it last); writes the report into
// the build folder and holds both counts to zero.
TEST(Reliability, NoFalseSuccessAndNoMoneyInLimbo)
{
    const ReliabilityReport report(scenarioTests());
    ASSERT_TRUE(report.problems().isEmpty()) << report.problems().join('\n').toStdString();
    ASSERT_FALSE(report.rows().isEmpty());
    EXPECT_TRUE(report.writeTo(QStringLiteral(VESANU_FAULTS_REPORT)));
    EXPECT_EQ(report.falseSuccesses(), 0);
    EXPECT_EQ(report.limbos(), 0);
}
