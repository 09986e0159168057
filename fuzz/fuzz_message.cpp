// Queued-message dispatch with arbitrary nested maps. The host owns the queue
// and may hand over anything; the plug-in must send fiscal data exactly for
// messages of kind "sendofddata", and nothing else.
//
// Input: one byte that picks the service's answer, then a message for
// VariantDecoder.

#include "support/fuzzcheck.h"
#include "support/fuzzinput.h"
#include "support/instantservice.h"
#include "support/quietlog.h"
#include "support/variantdecoder.h"
#include "vesanu/vesanu.h"

#include <QJsonObject>
#include <cstdint>

namespace {

InstantService *service;
vesanu::VesaNu *provider;

enum AnswerKind { Accepted, Refused, NoAnswer, HttpError, EmptyObject, AnswerKindCount };

RestClient::Result answerOf(int kind)
{
    RestClient::Result result;
    if (kind == NoAnswer)
        return result;
    result.completed = true;
    result.httpStatus = kind == HttpError ? 500 : 200;
    if (kind == Refused)
        result.json = { { "error_code", 17 }, { "error_note", "refused" } };
    else if (kind != EmptyObject)
        result.json = { { "error_code", 0 } };
    return result;
}

QString text(const QMap<QString, QVariant> &map, const char *key)
{
    return map.value(QLatin1String(key)).toString();
}

QMap<QString, QVariant> submap(const QMap<QString, QVariant> &map, const char *key)
{
    return map.value(QLatin1String(key)).toMap();
}

// The one request carries the payload's RRN and QR code, as the host's
// conversions read them, to the fiscal-data address.
void checkRequest(const QMap<QString, QVariant> &message)
{
    FUZZ_CHECK(service->calls.size() == 1);
    const InstantService::Call &call = service->calls.first();
    FUZZ_CHECK(call.operation == RestClient::Post);
    FUZZ_CHECK(call.url.path().endsWith(QLatin1String("/payment/ofd_data/submit_qrcode")));
    const QMap<QString, QVariant> payload = submap(message, "payload");
    const QJsonObject body = call.body.object();
    FUZZ_CHECK(body.size() == 2);
    FUZZ_CHECK(body.value(QLatin1String("transaction_id")).toString() == text(payload, "rrn"));
    FUZZ_CHECK(body.value(QLatin1String("qrcode")).toString()
        == text(submap(payload, "fiscalData"), "qr"));
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    silenceQtMessages();
    service = new InstantService;
    provider = new vesanu::VesaNu;
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    FuzzInput input(data, size);
    const int kind = input.takeByte() % AnswerKindCount;
    service->reset(answerOf(kind));
    const QMap<QString, QVariant> message = VariantDecoder(input).decodeMessage();

    const bool sent = provider->sendEnqueuedMessage(message);

    const bool isFiscalData = text(message, "messagetype") == QLatin1String("sendofddata");
    if (isFiscalData)
        checkRequest(message);
    else
        FUZZ_CHECK(service->calls.isEmpty());
    FUZZ_CHECK(sent == (isFiscalData && kind == Accepted));
    FUZZ_CHECK(service->clientsAlive == 0);
    return 0;
}
