#include "log4qt/logger.h"

#include "log4qt/logmanager.h"
#include "support/logcapture.h"

#include <gtest/gtest.h>
#include <thread>
#include <vector>

namespace {

TEST(LoggerTest, OneLoggerPerName)
{
    Log4Qt::Logger *first = Log4Qt::LogManager::logger(QStringLiteral("vesanu"), QString());
    EXPECT_EQ(Log4Qt::LogManager::logger(QStringLiteral("vesanu")), first);
    EXPECT_NE(Log4Qt::LogManager::logger(QStringLiteral("other")), first);
    EXPECT_EQ(first->name(), QStringLiteral("vesanu"));
}

TEST(LoggerTest, ConcurrentCallersGetTheSameLogger)
{
    std::vector<Log4Qt::Logger *> seen(8, nullptr);
    std::vector<std::thread> threads;
    for (size_t i = 0; i < seen.size(); ++i)
        threads.emplace_back([&seen, i] { seen[i] = Log4Qt::LogManager::logger("concurrent"); });
    for (std::thread &thread : threads)
        thread.join();
    for (Log4Qt::Logger *logger : seen)
        EXPECT_EQ(logger, seen.front());
}

TEST(LoggerTest, LinesGoOutUnderTheLoggersCategory)
{
    Log4Qt::Logger *logger = Log4Qt::LogManager::logger(QStringLiteral("category.test"));
    LogCapture log;
    logger->info("сведения");
    logger->error("сбой %1", 5);
    const QList<LogCapture::Line> lines = log.lines();
    ASSERT_EQ(lines.size(), 2);
    EXPECT_EQ(lines[0].type, QtInfoMsg);
    EXPECT_EQ(lines[0].category, QStringLiteral("category.test"));
    EXPECT_EQ(lines[0].text, QStringLiteral("сведения"));
    EXPECT_EQ(lines[1].type, QtCriticalMsg);
    EXPECT_EQ(lines[1].category, QStringLiteral("category.test"));
    EXPECT_EQ(lines[1].text, QStringLiteral("сбой 5"));
}

struct FormatCase
{
    const char *name;
    const char *format;
    QString argument;
    QString expected;
};

void PrintTo(const FormatCase &value, std::ostream *out)
{
    *out << value.name;
}

class LoggerFormatTest : public ::testing::TestWithParam<FormatCase>
{
};

TEST_P(LoggerFormatTest, OnlyPercentOneIsReplacedOnce)
{
    Log4Qt::Logger *logger = Log4Qt::LogManager::logger(QStringLiteral("format"));
    LogCapture log;
    logger->info(GetParam().format, GetParam().argument);
    logger->error(GetParam().format, GetParam().argument);
    EXPECT_EQ(log.texts(), QStringList({ GetParam().expected, GetParam().expected }));
}

INSTANTIATE_TEST_SUITE_P(Formats, LoggerFormatTest,
    ::testing::Values(FormatCase { "Cyrillic", "Оплата на сумму %1", "100",
                          QStringLiteral("Оплата на сумму 100") },
        FormatCase { "Repeated", "%1 и %1", "x", QStringLiteral("x и x") },
        FormatCase { "NoMarker", "нет метки", "x", QStringLiteral("нет метки") },
        FormatCase { "MarkerInArgument", "ответ: %1", "%1%2 50%", "ответ: %1%2 50%" },
        FormatCase { "OtherMarkers", "%2 %10 %1", "x", "%2 %10 x" },
        FormatCase { "EmptyArgument", "[%1]", "", "[]" }),
    [](const ::testing::TestParamInfo<FormatCase> &info) { return info.param.name; });

TEST(LoggerTest, IntegerArgument)
{
    Log4Qt::Logger *logger = Log4Qt::LogManager::logger(QStringLiteral("format"));
    LogCapture log;
    logger->info("сумма %1", -2147483647 - 1);
    EXPECT_EQ(log.texts(), QStringList(QStringLiteral("сумма -2147483648")));
}

} // namespace
