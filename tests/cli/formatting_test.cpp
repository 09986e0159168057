#include "answerformatter.h"
#include "inforeport.h"
#include "progressline.h"

#include "contract/paymentprocessinganswer.h"

#include <QJsonArray>

#include <gtest/gtest.h>

using namespace vesanuhost;

namespace {

PaymentProcessingAnswer paidAnswer()
{
    PaymentProcessingAnswer answer;
    answer.setSuccess(true);
    answer.setCode(0);
    answer.setMessage(tr::Tr(QStringLiteral("vesaNuPaid"), QStringLiteral("Оплачено")));
    answer.setRRN(QStringLiteral("0f8fad5b-d9cb-469f-a165-70867728950e"));
    answer.setTerminalId(QStringLiteral("B-7"));
    answer.setAdditionalInfo({{QStringLiteral("paymentId"), 77}, {QStringLiteral("phone"), QStringLiteral("+7700")}});
    answer.setAdditionalData(QStringLiteral("{\"paymentId\":77}"));
    return answer;
}

TEST(AnswerFormatter, JsonCarriesEveryFieldAScriptNeeds)
{
    const QJsonObject json = AnswerFormatter::toJson(paidAnswer(), 3);
    EXPECT_EQ(json.value(QStringLiteral("success")), QJsonValue(true));
    EXPECT_EQ(json.value(QStringLiteral("code")), QJsonValue(0));
    EXPECT_EQ(json.value(QStringLiteral("message")).toObject().value(QStringLiteral("key")),
              QJsonValue(QStringLiteral("vesaNuPaid")));
    EXPECT_EQ(json.value(QStringLiteral("message")).toObject().value(QStringLiteral("text")),
              QJsonValue(QStringLiteral("Оплачено")));
    EXPECT_EQ(json.value(QStringLiteral("rrn")), QJsonValue(QStringLiteral("0f8fad5b-d9cb-469f-a165-70867728950e")));
    EXPECT_EQ(json.value(QStringLiteral("terminalId")), QJsonValue(QStringLiteral("B-7")));
    EXPECT_EQ(json.value(QStringLiteral("additionalInfo")).toObject().value(QStringLiteral("paymentId")),
              QJsonValue(77));
    EXPECT_EQ(json.value(QStringLiteral("additionalData")), QJsonValue(QStringLiteral("{\"paymentId\":77}")));
    EXPECT_EQ(json.value(QStringLiteral("statusQueries")), QJsonValue(3));
}

TEST(AnswerFormatter, TextShowsOutcomeMessageAndReferences)
{
    const QString text = AnswerFormatter::toText(paidAnswer(), 3);
    EXPECT_TRUE(text.contains(QStringLiteral("success:          yes\n"))) << qPrintable(text);
    EXPECT_TRUE(text.contains(QStringLiteral("vesaNuPaid \"Оплачено\"")));
    EXPECT_TRUE(text.contains(QStringLiteral("0f8fad5b-d9cb-469f-a165-70867728950e")));
    EXPECT_TRUE(text.contains(QStringLiteral("paymentId=77, phone=\"+7700\"")));

    const QString failed = AnswerFormatter::toText(PaymentProcessingAnswer(), 0);
    EXPECT_TRUE(failed.contains(QStringLiteral("success:          no\n"))) << qPrintable(failed);
    EXPECT_TRUE(failed.contains(QStringLiteral("rrn:              (none)\n")));
}

TEST(InfoReport, QtVersionComesFromTheMetadataNumber)
{
    EXPECT_EQ(InfoReport::qtVersion(0x050c00), QStringLiteral("5.12.0"));
    EXPECT_EQ(InfoReport::qtVersion(0x050f08), QStringLiteral("5.15.8"));
}

TEST(InfoReport, DialogImageSizeIsReadThroughQFile)
{
    const QJsonObject image = InfoReport::dialogImage(QStringLiteral(VESANU_SCAN_PICTURE));
    EXPECT_EQ(image.value(QStringLiteral("readable")), QJsonValue(true));
    EXPECT_EQ(image.value(QStringLiteral("width")).toInt(), 453);
    EXPECT_EQ(image.value(QStringLiteral("height")).toInt(), 350);

    const QJsonObject missing = InfoReport::dialogImage(QStringLiteral(":/nowhere/scan_token.png"));
    EXPECT_EQ(missing.value(QStringLiteral("readable")), QJsonValue(false));
    EXPECT_TRUE(InfoReport::toText(QJsonObject{{QStringLiteral("dialogImage"), missing}})
                    .contains(QStringLiteral("not a readable PNG")));
}

TEST(InfoReport, TextKeepsTheTwoLineScanErrorOnOneLine)
{
    const QJsonArray messages{QJsonObject{{QStringLiteral("type"), 2},
                                          {QStringLiteral("key"), QStringLiteral("vesaNuScanError")},
                                          {QStringLiteral("text"), QStringLiteral("first,\nsecond")}}};
    const QString text = InfoReport::toText(QJsonObject{{QStringLiteral("messages"), messages}});
    EXPECT_TRUE(text.contains(QStringLiteral("  2  vesaNuScanError \"first,\\nsecond\"\n"))) << qPrintable(text);
}

struct ProgressCase
{
    int milliseconds;
    int queries;
    const char *hint;
    const char *text;
};

class ProgressText : public ::testing::TestWithParam<ProgressCase>
{
};

TEST_P(ProgressText, ShowsTenthsOfSecondsAgainstTheLimitQueriesAndHowToStop)
{
    EXPECT_EQ(ProgressLine::text(std::chrono::milliseconds(GetParam().milliseconds), std::chrono::seconds(300),
                                 GetParam().queries, QString::fromUtf8(GetParam().hint)),
              QString::fromUtf8(GetParam().text));
}

INSTANTIATE_TEST_SUITE_P(
    Lines, ProgressText,
    ::testing::Values(ProgressCase{0, 0, "", "waiting for the service: 0.0 of 300 s, 0 status queries"},
                      ProgressCase{1099, 1, "", "waiting for the service: 1.0 of 300 s, 1 status query"},
                      ProgressCase{12345, 3, "", "waiting for the service: 12.3 of 300 s, 3 status queries"},
                      ProgressCase{330000, 31, "", "waiting for the service: 330.0 of 300 s, 31 status queries"},
                      ProgressCase{3210, 2, "Ctrl-C cancels the payment",
                                   "waiting for the service: 3.2 of 300 s, 2 status queries; "
                                   "Ctrl-C cancels the payment"}));

} // namespace
