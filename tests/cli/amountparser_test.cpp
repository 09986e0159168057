#include "amountparser.h"

#include <gtest/gtest.h>

using vesanuhost::AmountParser;

namespace {

struct Accepted
{
    const char *text;
    int hundredths;
};

class AmountAccepted : public ::testing::TestWithParam<Accepted>
{
};

TEST_P(AmountAccepted, GivesExactHundredths)
{
    AmountParser parser;
    ASSERT_TRUE(parser.parse(QString::fromUtf8(GetParam().text))) << qPrintable(parser.errorString());
    EXPECT_EQ(parser.hundredths(), GetParam().hundredths);
}

// 0.29 and 1.15 are the classic cases a double would round down by one.
INSTANTIATE_TEST_SUITE_P(Amounts, AmountAccepted,
                         ::testing::Values(Accepted{"123.45", 12345}, Accepted{"0.05", 5}, Accepted{"1", 100},
                                           Accepted{"1.5", 150}, Accepted{"0.29", 29}, Accepted{"1.15", 115},
                                           Accepted{"007.10", 710}, Accepted{"21474836.47", 2147483647}));

class AmountRejected : public ::testing::TestWithParam<const char *>
{
};

TEST_P(AmountRejected, WithAReasonThatNamesTheText)
{
    AmountParser parser;
    const QString text = QString::fromUtf8(GetParam());
    EXPECT_FALSE(parser.parse(text));
    EXPECT_EQ(parser.hundredths(), 0);
    EXPECT_TRUE(parser.errorString().contains(QLatin1Char('"') + text + QLatin1Char('"')))
        << qPrintable(parser.errorString());
}

INSTANTIATE_TEST_SUITE_P(Amounts, AmountRejected,
                         ::testing::Values("1.234", "-1", "abc", "", "21474836.48", "99999999999999999999999",
                                           "0", "0.00", "1.", ".5", "1,5", " 1", "1\n", "+1", "1e2",
                                           "\xd9\xa1" /* Arabic-Indic one */));

TEST(AmountParser, SaysWhyATooLargeAmountFails)
{
    AmountParser parser;
    ASSERT_FALSE(parser.parse(QStringLiteral("21474836.48")));
    EXPECT_TRUE(parser.errorString().contains(QStringLiteral("too large")));
}

} // namespace
