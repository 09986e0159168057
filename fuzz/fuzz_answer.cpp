// A service answer from raw bytes, along the road a real one takes: the HTTP
// client's conversion of the body, the API client's parsing, its accessors,
// and the host answer built from them.
//
// Input: three bytes that make the HTTP status (each taken as a decimal
// digit, so "200" reads as 200), then the body.

#include "network/answerresult.h"
#include "support/fuzzcheck.h"
#include "support/fuzzinput.h"
#include "support/quietlog.h"
#include "vesanu/api/interface.h"
#include "vesanu/vesanu.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QJsonValue>
#include <cstdint>

namespace {

using Result = vesanu::Interface::RequestResult;

vesanu::Interface *client;

int takeStatus(FuzzInput &input)
{
    int status = 0;
    for (int i = 0; i < 3; ++i)
        status = status * 10 + std::uint8_t(input.takeByte() - '0') % 10;
    return status;
}

void checkParsed(const RestClient::Result &raw, const Result &parsed)
{
    FUZZ_CHECK(parsed.json == raw.json);
    FUZZ_CHECK(parsed.transactionId.isEmpty());
    FUZZ_CHECK(parsed == parsed);
    // One reading: a success is exactly an answer the course may act on.
    FUZZ_CHECK(parsed.success == (parsed.outcome == vesanu::api::Outcome::Answered));
    if (raw.json.isEmpty()) {
        FUZZ_CHECK(!parsed.success);
        FUZZ_CHECK(parsed.errorCode == 0);
        FUZZ_CHECK(parsed.message.key() == QLatin1String("requestIncorrectAnswer"));
    }
    if (parsed.errorCode != 0) {
        FUZZ_CHECK(!parsed.success);
        FUZZ_CHECK(parsed.message.key() == QLatin1String("undefined"));
    }
    // A success needs an acceptable HTTP status (0: the client reported none),
    // and an "error_code" that is absent or exactly 0: any other is a refusal.
    if (parsed.success) {
        const QJsonValue code = raw.json.value(QLatin1String("error_code"));
        FUZZ_CHECK(code.isUndefined() || (code.isDouble() && code.toDouble() == 0));
        FUZZ_CHECK(parsed.errorCode == 0);
        FUZZ_CHECK(parsed.message.key().isEmpty());
        FUZZ_CHECK(raw.httpStatus == 0 || (raw.httpStatus >= 200 && raw.httpStatus <= 299));
    } else {
        FUZZ_CHECK(!parsed.message.key().isEmpty());
    }
}

// A value other than the fallback must be the answer's own whole number.
void checkNumber(const QJsonObject &json, const char *key, int value, int fallback)
{
    if (value == fallback)
        return;
    const QJsonValue member = json.value(QLatin1String(key));
    FUZZ_CHECK(member.isDouble());
    FUZZ_CHECK(member.toDouble() == double(value));
}

void checkAccessors(const Result &parsed)
{
    checkNumber(parsed.json, "payment_status", int(parsed.getPaymentStatus()), 0);
    checkNumber(parsed.json, "payment_id", parsed.getPaymentId(), -1);
    const QJsonValue phone = parsed.json.value(QLatin1String("phone_number"));
    FUZZ_CHECK(parsed.getPhone() == (phone.isString() ? phone.toString() : QString()));
}

void checkAnswer(const Result &parsed, const QMap<QString, QVariant> &info)
{
    const PaymentProcessingAnswer answer = vesanu::createAnswer(parsed, info);
    FUZZ_CHECK(answer.isSuccess() == parsed.success);
    FUZZ_CHECK(answer.getCode() == parsed.errorCode);
    FUZZ_CHECK(answer.getMessage() == parsed.message);
    FUZZ_CHECK(int(answer.getPaymentMethod()) == 2);
    FUZZ_CHECK(answer.getAdditionalInfo() == info);

    // What goes on the receipt is JSON that names the phone and the payment
    // number exactly as the answer gave them, and no identifiers.
    const QJsonDocument printed = QJsonDocument::fromJson(answer.getAdditionalData().toUtf8());
    FUZZ_CHECK(printed.isObject());
    const QJsonObject data = printed.object();
    FUZZ_CHECK(data.value(QLatin1String("phone")).toString() == parsed.getPhone());
    FUZZ_CHECK(data.value(QLatin1String("paymentId")).toInt() == parsed.getPaymentId());
    FUZZ_CHECK(!data.contains(QLatin1String("rrn")));
    FUZZ_CHECK(!data.contains(QLatin1String("valutCode")));
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    silenceQtMessages();
    client = new vesanu::Interface;
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    FuzzInput input(data, size);
    const int status = takeStatus(input);
    const QByteArray body = input.takeRest();

    const RestClient::Result raw = veltanetwork::answerResult(status, 0, body);
    FUZZ_CHECK(raw.completed);
    FUZZ_CHECK(raw.httpStatus == status);
    FUZZ_CHECK(raw.body == body);

    const Result parsed = client->getRequestResult(raw);
    checkParsed(raw, parsed);
    checkAccessors(parsed);

    const QMap<QString, QVariant> info {
        { QStringLiteral("phone"), parsed.getPhone() },
        { QStringLiteral("rrn"), QStringLiteral("6f1c9a52-3d0e-4b8a-9c61-2f0d7b9e4a13") },
        { QStringLiteral("valutCode"), 398 },
        { QStringLiteral("paymentProvider"), QStringLiteral("0187") },
        { QStringLiteral("paymentId"), parsed.getPaymentId() },
    };
    checkAnswer(parsed, info);
    return 0;
}
