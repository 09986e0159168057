#include "commandline.h"

#include <gtest/gtest.h>

#include <vector>

using namespace vesanuhost;

namespace {

QStringList arguments(const std::vector<const char *> &words)
{
    QStringList list{QStringLiteral("vesanu-host")};
    for (const char *word : words)
        list << QString::fromUtf8(word);
    return list;
}

TEST(CommandLine, ReadsAPayment)
{
    CommandLine line;
    ASSERT_TRUE(line.parse(arguments({"pay", "--amount", "123.45", "--token", "pending:3"})))
        << qPrintable(line.errorString());
    const Invocation &run = line.invocation();
    EXPECT_EQ(run.command, Invocation::Command::Pay);
    EXPECT_EQ(run.amount, 12345);
    EXPECT_EQ(run.token, QStringLiteral("pending:3"));
    EXPECT_EQ(run.currency, 398);
    EXPECT_TRUE(run.helpText.isEmpty());
}

TEST(CommandLine, ReadsRefundCancelAndFiscalValues)
{
    CommandLine line;
    ASSERT_TRUE(line.parse(arguments({"refund", "--rrn", "R", "--amount", "0.05", "--currency", "643"})));
    EXPECT_EQ(line.invocation().command, Invocation::Command::Refund);
    EXPECT_EQ(line.invocation().rrn, QStringLiteral("R"));
    EXPECT_EQ(line.invocation().amount, 5);
    EXPECT_EQ(line.invocation().currency, 643);

    ASSERT_TRUE(line.parse(arguments({"cancel", "--rrn", "R2"})));
    EXPECT_EQ(line.invocation().command, Invocation::Command::Cancel);
    EXPECT_EQ(line.invocation().rrn, QStringLiteral("R2"));

    ASSERT_TRUE(line.parse(arguments({"send-fiscal", "--rrn", "R3", "--qr", "t=1&s=2"})));
    EXPECT_EQ(line.invocation().command, Invocation::Command::SendFiscal);
    EXPECT_EQ(line.invocation().qr, QStringLiteral("t=1&s=2"));
}

TEST(CommandLine, TakesCommonOptionsBeforeAndAfterTheCommand)
{
    CommandLine line;
    ASSERT_TRUE(line.parse(arguments({"--json", "--ini", "a.ini", "info", "--plugin", "p.so", "--verbose"})))
        << qPrintable(line.errorString());
    const Invocation &run = line.invocation();
    EXPECT_EQ(run.command, Invocation::Command::Info);
    EXPECT_TRUE(run.json);
    EXPECT_TRUE(run.verbose);
    EXPECT_FALSE(run.progress);
    EXPECT_EQ(run.iniFile, QStringLiteral("a.ini"));
    EXPECT_EQ(run.pluginPath, QStringLiteral("p.so"));
}

TEST(CommandLine, GivesHelpForTheToolAndForEachCommand)
{
    CommandLine line;
    ASSERT_TRUE(line.parse(arguments({"--help"})));
    EXPECT_TRUE(line.invocation().helpText.contains(QStringLiteral("send-fiscal")));

    // A command's help is given even when its required options are missing.
    ASSERT_TRUE(line.parse(arguments({"pay", "--help"})));
    EXPECT_TRUE(line.invocation().helpText.contains(QStringLiteral("--token")));
    EXPECT_FALSE(line.invocation().helpText.contains(QStringLiteral("--qr")));
}

struct Rejected
{
    std::vector<const char *> words;
    const char *reason;
};

class CommandLineRejects : public ::testing::TestWithParam<Rejected>
{
};

TEST_P(CommandLineRejects, WithAReason)
{
    CommandLine line;
    EXPECT_FALSE(line.parse(arguments(GetParam().words)));
    EXPECT_TRUE(line.errorString().contains(QString::fromUtf8(GetParam().reason), Qt::CaseInsensitive))
        << qPrintable(line.errorString());
}

INSTANTIATE_TEST_SUITE_P(
    Arguments, CommandLineRejects,
    ::testing::Values(Rejected{{}, "no command"}, Rejected{{"frob"}, "unknown command"},
                      Rejected{{"pay", "--token", "t"}, "--amount"},
                      Rejected{{"pay", "--amount", "1"}, "--token"},
                      Rejected{{"pay", "--amount", "1.234", "--token", "t"}, "1.234"},
                      Rejected{{"pay", "--amount", "1", "--token", "t", "--currency", "12a"}, "currency"},
                      Rejected{{"pay", "--amount", "1", "--token", "t", "--currency", "1000"}, "currency"},
                      Rejected{{"refund", "--amount", "1"}, "--rrn"},
                      Rejected{{"cancel", "--rrn", "r", "--amount", "1"}, "amount"},
                      Rejected{{"send-fiscal", "--rrn", "r"}, "--qr"},
                      Rejected{{"info", "extra"}, "extra"},
                      Rejected{{"--amount", "1", "pay"}, "amount"},
                      Rejected{{"info", "--root", "r", "--ini", "i"}, "together"}));

TEST(CommandLine, PointsToTheCommandsHelpAfterAnError)
{
    CommandLine line;
    ASSERT_FALSE(line.parse(arguments({"pay", "--amount", "x", "--token", "t"})));
    EXPECT_EQ(line.helpHint(), QStringLiteral("vesanu-host pay --help"));
}

} // namespace
