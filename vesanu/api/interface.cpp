#include "vesanu/api/interface.h"

#include "contract/paymentprocessingrequest.h"
#include "vesanu/api/configstore.h"
#include "vesanu/api/constants.h"
#include "vesanu/api/exchangeoutcome.h"

#include <QCryptographicHash>
#include <QDateTime>
#include <QJsonDocument>
#include <QUuid>

#include <algorithm>
#include <exception>
#include <thread>

namespace vesanu {

using namespace api;
using std::chrono::milliseconds;
using Clock = std::chrono::steady_clock;

namespace {

QString text(const char *utf8)
{
    return QString::fromUtf8(utf8);
}

// Durations are configured in whole seconds; the product is formed in
// 64 bits so that every int setting fits.
milliseconds secondsSetting(Config *config, const char *key, int defaultSeconds)
{
    return milliseconds(qint64(config->getInt(text(key), defaultSeconds)) * 1000);
}

} // namespace

Interface::Interface()
    : timeout(qint64(DefaultTimeoutSeconds) * 1000)
    , payDuration(qint64(DefaultPayDurationSeconds) * 1000)
    , statusRequestInterval(qint64(DefaultStatusRequestIntervalSeconds) * 1000)
    , logger(Log4Qt::LogManager::logger(QStringLiteral("vesanu"), QString()))
{
}

Interface::~Interface() = default;

void Interface::init()
{
    Config *config = configStore();
    timeout = secondsSetting(config, SettingTimeout, DefaultTimeoutSeconds);
    payDuration = secondsSetting(config, SettingPayDuration, DefaultPayDurationSeconds);
    statusRequestInterval = secondsSetting(config, SettingStatusRequestInterval,
                                           DefaultStatusRequestIntervalSeconds);
    cashboxCode = config->getString(text(SettingCashboxCode));
    branchId = config->getString(text(SettingBranchId));
    secretKey = config->getString(text(SettingSecretKey));
}

Interface::RequestResult Interface::payment(const PaymentProcessingRequest &request)
{
    const QString id = getUuid();
    // Member by member: Qt 5.12 has no out-of-line list constructor.
    QJsonObject body;
    body.insert(text(JsonAmount), request.getAmount());
    body.insert(text(JsonOtpData), request.getCardNumber());
    body.insert(text(JsonCashboxCode), cashboxCode);
    body.insert(text(JsonTransactionId), id);
    bool inDoubt = false;
    RequestResult result = settle(sendRequest(Payment, body), RequestResult::Paid, id, &inDoubt);
    // The cashier is about to hear of a failure that the customer could still
    // turn into a payment by confirming late: void it first.
    if (inDoubt)
        voidPayment(id);
    result.transactionId = id;
    return result;
}

Interface::RequestResult Interface::reversal(const PaymentProcessingRequest &request) const
{
    logger->info(LogReversal);
    const QString id = request.getRrn();
    bool inDoubt = false;
    return settle(sendRequest(Reversal, id), RequestResult::Reversed, id, &inDoubt);
}

bool Interface::sendOfdData(const QString &transactionId, const QString &qrCode) const
{
    QJsonObject body;
    body.insert(text(JsonTransactionId), transactionId);
    body.insert(text(JsonQrCode), qrCode);
    return sendRequest(OfdData, body).success;
}

// Carries a first answer of a payment or a reversal to its outcome. A failed
// outcome is in doubt when the service may still complete the operation.
Interface::RequestResult Interface::settle(const RequestResult &first,
                                           RequestResult::Status target, const QString &id,
                                           bool *inDoubt) const
{
    *inDoubt = false;
    // No usable answer (nothing came back, or an HTTP error without the
    // service's own error code) does not mean the service did not act: the
    // money may have moved. Ask the service before reporting a failure.
    // A non-zero error code is a definite refusal and needs no question, and
    // a request that never left has nothing to ask about.
    if (!first.success && first.errorCode == 0 && !first.unsent) {
        logger->info(LogUnknownOutcome, id);
        const RequestResult known = sendRequest(PaymentStatus, id);
        // The service has no such transaction: the request never arrived.
        if (known.unknownTransaction)
            return first;
        // Any other failed answer, a service error included, says nothing
        // about the operation: ask on while time is left.
        if (!known.success)
            return awaitStatus(target, id, inDoubt);
        return untilTarget(known, target, id, inDoubt);
    }
    return untilTarget(first, target, id, inDoubt);
}

// A good answer short of its target goes into the status wait.
Interface::RequestResult Interface::untilTarget(const RequestResult &answer,
                                                RequestResult::Status target, const QString &id,
                                                bool *inDoubt) const
{
    if (!answer.success || answer.getPaymentStatus() == target)
        return answer;
    // The service's own Failed is final, whatever the wait hears after it.
    const bool failed = answer.getPaymentStatus() == RequestResult::Failed;
    const RequestResult last = awaitStatus(target, id, inDoubt);
    *inDoubt = *inDoubt && !failed;
    return last;
}

// A wait that ends in a failure other than the service's Failed or its "no
// such transaction" leaves the operation open at the service.
Interface::RequestResult Interface::awaitStatus(RequestResult::Status target, const QString &id,
                                                bool *inDoubt) const
{
    const RequestResult last = waitForStatus(target, id);
    // The host's translatable text is compared whole: its key is not ours to read.
    const bool serviceFailed =
        last.message == tr::Tr(text(KeyStatusFailed), text(TextStatusFailed));
    *inDoubt = !last.success && !last.unknownTransaction && !serviceFailed;
    return last;
}

// One reversal, best effort and without a status wait: the host's answer
// stays the failure it is, and the log tells whether the service took it.
void Interface::voidPayment(const QString &id) const
{
    const RequestResult voided = sendRequest(Reversal, id);
    if (voided.success && voided.getPaymentStatus() != RequestResult::Failed)
        logger->info(LogVoidAccepted, id);
    else
        logger->error(LogVoidRefused, id);
}

Interface::RequestResult Interface::waitForStatus(RequestResult::Status target,
                                                  const QString &id) const
{
    logger->info(LogWaitStatus, int(target));

    RequestResult record;
    const Clock::time_point start = Clock::now();
    // The last question goes out at the deadline at the latest, so that the
    // wait ends within payDuration and one exchange.
    const Clock::time_point deadline = start + payDuration;
    Clock::time_point next = start;
    for (;;) {
        const Clock::time_point now = Clock::now();
        const Clock::time_point due = std::min(next, deadline);
        if (now < due)
            std::this_thread::sleep_for(due - now);
        next = Clock::now() + statusRequestInterval;

        record = sendRequest(PaymentStatus, id);
        // Only an answer that itself succeeded can be final.
        const RequestResult::Status status = record.getPaymentStatus();
        if (record.success && (status == target || status == RequestResult::Failed))
            break;
        if (std::chrono::duration_cast<milliseconds>(Clock::now() - start) >= payDuration)
            break;
    }

    // A wait that did not reach its target must not pass for a success, even
    // though its last status answer itself was a good one.
    if (record.success && record.getPaymentStatus() != target) {
        record.success = false;
        record.errorCode = 0;
        if (record.getPaymentStatus() == RequestResult::Failed) {
            logger->error(LogStatusFailed);
            record.message = tr::Tr(text(KeyStatusFailed), text(TextStatusFailed));
        } else {
            logger->error(LogStatusTimeout);
            record.message = tr::Tr(text(KeyStatusTimeout), text(TextStatusTimeout));
        }
    }
    return record;
}

Interface::RequestResult Interface::sendRequest(Method method, const QJsonObject &body) const
{
    // A reversal is addressed by identifier and never carries a body.
    const QJsonDocument document = method == Reversal ? QJsonDocument() : QJsonDocument(body);
    return exchange(method, QString(), document);
}

Interface::RequestResult Interface::sendRequest(Method method, const QString &id) const
{
    return exchange(method, id, QJsonDocument());
}

Interface::RequestResult Interface::exchange(Method method, const QString &id,
                                             const QJsonDocument &body) const
{
    ExchangeOutcome outcome;
    try {
        const QSharedPointer<RestClient> client =
            MockFactory<RestClient>::creator ? MockFactory<RestClient>::creator() : nullptr;
        if (!client) {
            logger->error(LogNoClient);
            return neverSent();
        }
        client->setTimeout(qint64(timeout.count()));
        client->setLogger(logger);
        const QUrl url = getUrl(method, id);
        const QHash<QString, QString> headers = getHeaders();
        client->request(getOperation(method), url, body, headers);
        outcome = ExchangeOutcome(client->result());
    } catch (const std::exception &error) {
        // Nothing may escape into the host: a failure here is a failed exchange.
        logger->error(LogExchangeFailed, QString::fromLocal8Bit(error.what()));
        return neverSent();
    } catch (...) {
        logger->error(LogExchangeFailed, QString());
        return neverSent();
    }
    return parse(outcome);
}

// Without a working client nothing went out, so there is nothing to ask the
// service about and no reason to keep the cashier waiting.
Interface::RequestResult Interface::neverSent() const
{
    RequestResult result = parse(ExchangeOutcome());
    result.unsent = true;
    return result;
}

QHash<QString, QString> Interface::getHeaders() const
{
    const QString timestamp = QString::number(QDateTime::currentSecsSinceEpoch());
    const QString digest = QString::fromLatin1(
        QCryptographicHash::hash((timestamp + secretKey).toUtf8(), QCryptographicHash::Sha256)
            .toHex());
    // Joined, not substituted: a "%1" inside the branch identifier stays literal.
    const QString auth = branchId + QLatin1Char(':') + digest + QLatin1Char(':') + timestamp;

    return {
        {text(HeaderAccept), text(MimeJson)},
        {text(HeaderContentType), text(MimeJson)},
        {text(HeaderAuth), auth},
    };
}

QString Interface::getUuid() const
{
    return QUuid::createUuid().toString(QUuid::WithoutBraces);
}

QUrl Interface::getUrl(Method method, const QString &id) const
{
    // "." and ".." cannot be one segment: QUrl keeps them even when encoded,
    // and the HTTP client drops them as dot segments, so a reversal of ".."
    // would go to /payment. No address is safer than another one.
    if ((method == PaymentStatus || method == Reversal)
        && (id == QLatin1String(".") || id == QLatin1String("..")))
        return QUrl();

    Config *config = configStore();
    const QUrl host = QUrl(config->getString(text(SettingHost), text(DefaultHost)),
                           QUrl::TolerantMode)
                          .adjusted(QUrl::StripTrailingSlash);
    const QUrl path(config->getString(text(SettingPath), text(DefaultPath)), QUrl::TolerantMode);
    QUrl url = host.resolved(path).adjusted(QUrl::StripTrailingSlash);

    // The identifier must stay one path segment whatever it holds, so it is
    // percent-encoded on its own: an RRN cannot change which address is called.
    const QString segment = QString::fromLatin1(QUrl::toPercentEncoding(id));
    QString joined = url.path(QUrl::FullyEncoded);
    switch (method) {
    case Payment:
        joined += text(PathPayment);
        break;
    case PaymentStatus:
        joined += text(PathPaymentStatus) + segment;
        break;
    case Reversal:
        joined += text(PathReversal) + segment;
        break;
    case OfdData:
        joined += text(PathOfdData);
        break;
    }
    url.setPath(joined, QUrl::TolerantMode);
    return url.adjusted(QUrl::StripTrailingSlash);
}

int Interface::getOperation(Method method) const
{
    switch (method) {
    case PaymentStatus:
        return OperationGet;
    case Reversal:
        return OperationDelete;
    default:
        return OperationPost;
    }
}

QString Interface::getBranchId() const
{
    return branchId;
}

} // namespace vesanu
