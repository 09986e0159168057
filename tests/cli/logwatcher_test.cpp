#include "logwatcher.h"
#include "progressline.h"

#include "log4qt/logger.h"
#include "log4qt/logmanager.h"
#include "vesanu/api/constants.h"

#include <QThread>

#include <gtest/gtest.h>

#include <memory>

using vesanuhost::LogWatcher;
using vesanuhost::ProgressLine;

namespace {

struct LineCase
{
    QtMsgType type;
    const char *category;
    const char *text;
    bool isStatusQuery;
};

class StatusQueryLine : public ::testing::TestWithParam<LineCase>
{
};

TEST_P(StatusQueryLine, IsCountedOnlyForTheClientsStatusRequests)
{
    EXPECT_EQ(LogWatcher::isStatusQuery(GetParam().type, QString::fromUtf8(GetParam().category),
                                        QString::fromUtf8(GetParam().text)),
              GetParam().isStatusQuery);
}

INSTANTIATE_TEST_SUITE_P(
    Lines, StatusQueryLine,
    ::testing::Values(
        LineCase{QtInfoMsg, "vesanu", "HTTP-запрос: GET http://127.0.0.1:1/api/v1/payment/status/abc", true},
        LineCase{QtInfoMsg, "vesanu", "HTTP-запрос: GET https://h/payment/status/", true},
        LineCase{QtInfoMsg, "vesanu", "HTTP-запрос: POST http://127.0.0.1:1/api/v1/payment", false},
        LineCase{QtInfoMsg, "vesanu", "HTTP-запрос: DELETE http://h/api/v1/payment/reversal/GETX", false},
        LineCase{QtInfoMsg, "vesanu", "HTTP-ответ: статус 200, 42 байт, 3 мс", false},
        LineCase{QtCriticalMsg, "vesanu", "HTTP-запрос: GET http://h/payment/status/abc", false},
        LineCase{QtInfoMsg, "other", "HTTP-запрос: GET http://h/payment/status/abc", false},
        LineCase{QtInfoMsg, "vesanu", "HTTP-запрос: GETTER http://h/payment/status/abc", false}));

// The count must follow lines written the way the plug-in writes them:
// through its Log4Qt logger, from whatever thread makes the request.
TEST(LogWatcher, CountsStatusRequestsLoggedThroughTheVesanuLogger)
{
    const LogWatcher watcher(false);
    const Log4Qt::Logger *logger = Log4Qt::LogManager::logger(QStringLiteral("vesanu"));
    logger->info("HTTP-запрос: %1", QStringLiteral("POST http://127.0.0.1:9/api/v1/payment"));
    for (int query = 0; query < 3; ++query)
        logger->info("HTTP-запрос: %1", QStringLiteral("GET http://127.0.0.1:9/api/v1/payment/status/id"));
    logger->info("Ожидание статуса '%1'", 2);
    EXPECT_EQ(LogWatcher::statusQueries(), 3);

    const std::unique_ptr<QThread> worker(QThread::create([logger] {
        logger->info("HTTP-запрос: %1", QStringLiteral("GET http://127.0.0.1:9/api/v1/payment/status/id"));
    }));
    worker->start();
    worker->wait();
    EXPECT_EQ(LogWatcher::statusQueries(), 4);

    // Every request counts as sent, a failed one's line does not.
    logger->info("HTTP-запрос: %1", QStringLiteral("DELETE http://127.0.0.1:9/api/v1/payment/reversal/id"));
    logger->info("HTTP-запрос не выполнен: %1", QStringLiteral("DELETE http://127.0.0.1:9/"));
    EXPECT_EQ(LogWatcher::requests(), 6);

    // The connection test's reason, which its answer does not carry.
    logger->error(vesanu::api::LogConnectionFailed,
                  QStringLiteral("http://127.0.0.1:9/api/v1/payment/status/x: соединение отклонено"));
    EXPECT_EQ(LogWatcher::connectionFailure(),
              QStringLiteral("http://127.0.0.1:9/api/v1/payment/status/x: соединение отклонено"));

    LogWatcher::resetCounts();
    EXPECT_EQ(LogWatcher::statusQueries(), 0);
    EXPECT_EQ(LogWatcher::requests(), 0);
    EXPECT_TRUE(LogWatcher::connectionFailure().isEmpty());
}

TEST(ProgressLine, StopsPromptlyAndCanBeStoppedTwice)
{
    int reads = 0;
    ProgressLine progress([&reads] { return ++reads; }, std::chrono::seconds(300), QString());
    const auto started = std::chrono::steady_clock::now();
    progress.start();
    QThread::msleep(50);
    progress.stop();
    progress.stop();
    EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::milliseconds(1000));
    EXPECT_GE(reads, 1);
}

} // namespace
