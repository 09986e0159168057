#include "vesanu/api/interface.h"

#include "contract/paymentprocessingrequest.h"
#include "vesanu/api/configstore.h"
#include "vesanu/api/constants.h"
#include "vesanu/api/exchangeoutcome.h"
#include "vesanu/api/moneystate.h"
#include "vesanu/journal/bookkeeper.h"

#include <QCryptographicHash>
#include <QDateTime>
#include <QJsonDocument>
#include <QUuid>

#include <algorithm>
#include <exception>

namespace vesanu {

using namespace api;
using journal::Bookkeeper;
using journal::JournalRecovery;
using std::chrono::milliseconds;

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

journal::Bookkeeper::References references(const PaymentProcessingRequest &request)
{
    return {request.getShiftNumber(), request.getCheckNumber(), request.getDocumentId()};
}

journal::PaymentJournal::RefundState refundState(MoneyState money)
{
    using State = journal::PaymentJournal::RefundState;
    switch (money) {
    case MoneyState::Refunded:
    case MoneyState::AlreadyRefunded:
        return State::Refunded;
    case MoneyState::RefundUndecided:
        return State::Undecided;
    default:
        return State::Refused;
    }
}

// Runs `step`; anything it throws is logged and reported as false.
template<typename Step>
bool guarded(Log4Qt::Logger *logger, Step step)
{
    try {
        step();
        return true;
    } catch (const std::exception &error) {
        logger->error(LogExchangeFailed, QString::fromLocal8Bit(error.what()));
    } catch (...) {
        logger->error(LogExchangeFailed, QString());
    }
    return false;
}

} // namespace

Interface::Interface()
    : timeout(qint64(DefaultTimeoutSeconds) * 1000)
    , payDuration(qint64(DefaultPayDurationSeconds) * 1000)
    , statusRequestInterval(qint64(DefaultStatusRequestIntervalSeconds) * 1000)
    , logger(Log4Qt::LogManager::logger(QStringLiteral("vesanu"), QString()))
    , waitGate(WaitClock::steady())
{
    // The journal's exchanges go through the virtual operations, as every
    // other; a failure that claims to be an answer is unreadable there too.
    const auto exchange = [this](Method method) {
        return [this, method](const QString &id) {
            const RequestResult answer = sendRequest(method, id);
            return JournalRecovery::Reply{observed(answer), answer.getPaymentStatus(),
                                          replyReason(answer)};
        };
    };
    bookkeeper = std::make_unique<Bookkeeper>(logger, exchange(PaymentStatus), exchange(Reversal),
                                              [] { return QDateTime::currentSecsSinceEpoch(); });
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
    // Without them a token would go to whatever address with no credentials.
    QStringList missing;
    for (const auto &[key, value] : {std::pair<const char *, const QString *>{SettingBranchId, &branchId},
                                     {SettingCashboxCode, &cashboxCode},
                                     {SettingSecretKey, &secretKey}}) {
        if (value->trimmed().isEmpty())
            missing << text(key);
    }
    settingsProblem = missing.join(QLatin1String(", "));
    if (!settingsProblem.isEmpty())
        return;
    // At least a day each: 0 would abandon every open payment at once, and
    // forget every payment's amount before its refund.
    const auto days = [config](const char *key, int defaultDays) {
        return qint64(std::max(1, config->getInt(text(key), defaultDays))) * SecondsPerDay;
    };
    bookkeeper->configure({config->getString(text(SettingJournal), text(DefaultJournal)),
                           days(SettingJournalRetryDays, DefaultJournalRetryDays),
                           days(SettingJournalKeepDays, DefaultJournalKeepDays)});

    // Whatever a crash or a refused void left open is settled first, within
    // a bound the host's start can afford; every open entry is due now.
    bookkeeper->start(RecoveryExchangesAtStart);
}

Interface::RequestResult Interface::payment(const PaymentProcessingRequest &request)
{
    // Open to the cashier's interrupt from the first instruction on, and
    // closed again on every way out.
    const WaitGate::Session interruptible(waitGate);
    const QString id = getUuid();
    return ended(pay(request, id), id);
}

Interface::RequestResult Interface::pay(const PaymentProcessingRequest &request, const QString &id)
{
    if (!settingsProblem.isEmpty())
        return settingsMissing(MoneyState::NotCharged, id);
    // Nothing leaves unless the journal can account for it.
    if (!bookkeeper->prepare(RecoveryExchangesBeforePayment))
        return journalUnavailable(id);
    // Pressed while earlier payments were being settled: this one never leaves.
    if (waitGate.isInterrupted())
        return interruptedBeforeSending(id);
    if (!bookkeeper->begin(id, request.getAmount(), request.getValutCode(), references(request)))
        return journalUnavailable(id);
    // Member by member: Qt 5.12 has no out-of-line list constructor.
    QJsonObject body;
    body.insert(text(JsonAmount), request.getAmount());
    body.insert(text(JsonOtpData), request.getCardNumber());
    body.insert(text(JsonCashboxCode), cashboxCode);
    body.insert(text(JsonTransactionId), id);
    Course course(Course::Kind::Payment, RequestResult::Paid, payDuration, statusRequestInterval);
    RequestResult result = follow(course, sendRequest(Payment, body), id);
    result.transactionId = id;
    return journalEnd(course, result);
}

Interface::RequestResult Interface::reversal(const PaymentProcessingRequest &request) const
{
    const QString id = request.getRrn();
    if (!settingsProblem.isEmpty())
        return ended(settingsMissing(MoneyState::NotRefunded, QString()), id);
    if (bookkeeper->isPartialRefund(id, request.getAmount()))
        return ended(partialRefund(), id);
    bool refundedBefore = false;
    const qint64 refund =
        bookkeeper->beginRefund(id, request.getAmount(), references(request), &refundedBefore);
    logger->info(LogReversal);
    Course course(Course::Kind::Refund, RequestResult::Reversed, payDuration, statusRequestInterval);
    RequestResult result = follow(course, sendRequest(Reversal, id), id);
    // The service answers a reversed payment with Reversed again: the host
    // must not count the money twice.
    if (result.money == MoneyState::Refunded && refundedBefore) {
        result.money = MoneyState::AlreadyRefunded;
        result.message = tr::Tr(text(KeyRefundAlreadyDone), text(TextRefundAlreadyDone));
    }
    bookkeeper->endRefund(refund, refundState(result.money));
    return ended(result, id);
}

bool Interface::sendOfdData(const QString &transactionId, const QString &qrCode) const
{
    // Without its settings nothing leaves: the host keeps the message queued.
    if (!settingsProblem.isEmpty()) {
        logger->error(LogSettingsMissing, settingsProblem);
        return false;
    }
    QJsonObject body;
    body.insert(text(JsonTransactionId), transactionId);
    body.insert(text(JsonQrCode), qrCode);
    const RequestResult result = sendRequest(OfdData, body);
    return result.success && result.outcome == Outcome::Answered;
}

Interface::RequestResult Interface::waitForStatus(RequestResult::Status target,
                                                  const QString &id) const
{
    Course course(Course::Kind::StatusWait, target, payDuration, statusRequestInterval);
    return drive(course, course.begin(waitGate.now()), RequestResult(), id);
}

void Interface::setWaitClock(const WaitClock &clock)
{
    waitGate.setClock(clock);
}

bool Interface::interruptPayment()
{
    return waitGate.interrupt();
}

// Carries the first answer of a payment or a reversal along its course.
Interface::RequestResult Interface::follow(Course &course, const RequestResult &first,
                                           const QString &id) const
{
    const Course::TimePoint now = waitGate.now();
    const Course::Step step = course.answered(observed(first), first.getPaymentStatus(), now, now);
    if (step.action == Course::Action::AskStatus && observed(first) != Outcome::Answered)
        logger->info(LogUnknownOutcome, id);
    return drive(course, step, first, id);
}

// The one loop that carries out what the course decides; `last` is the
// latest answer about the operation itself, from which the result is made.
Interface::RequestResult Interface::drive(Course &course, Course::Step step, RequestResult last,
                                          const QString &id) const
{
    bool waiting = false;
    bool acknowledgementKept = false;
    for (;;) {
        // An interrupt is looked at only where the course would wait on: an
        // answer at the target has already ended it as a success.
        if (course.interruptible() && waitGate.isInterrupted())
            step = course.interrupted();
        // Once the service has named a payment still under way, a later "not
        // known" proves nothing: the journal keeps that for a restart.
        if (course.kind() == Course::Kind::Payment && course.acknowledged()
            && step.action != Course::Action::Finish && !acknowledgementKept) {
            bookkeeper->acknowledge(id);
            acknowledgementKept = true;
        }
        if (step.action == Course::Action::Void || step.action == Course::Action::Finish)
            waitGate.close();
        switch (step.action) {
        case Course::Action::AskStatus: {
            if (!waiting)
                logger->info(LogWaitStatus, course.target());
            waiting = true;
            const Course::TimePoint sentAt = waitGate.now();
            last = sendRequest(PaymentStatus, id);
            step = course.answered(observed(last), last.getPaymentStatus(), sentAt, waitGate.now());
            break;
        }
        case Course::Action::SleepUntil:
            waitGate.sleepUntil(step.until);
            step = course.woke(waitGate.now());
            break;
        case Course::Action::Void:
            step = voidPayment(course, id);
            break;
        case Course::Action::Finish:
            return conclude(course, last, id);
        }
    }
}

// One reversal, without a status wait: the host's answer stays the failure
// it is, and the log tells whether the service confirmed the void.
Course::Step Interface::voidPayment(Course &course, const QString &id) const
{
    const RequestResult voided = sendRequest(Reversal, id);
    const Course::TimePoint now = waitGate.now();
    const Course::Step step = course.answered(observed(voided), voided.getPaymentStatus(), now, now);
    if (course.voidConfirmed())
        logger->info(LogVoidAccepted, id);
    else
        logger->error(LogVoidRefused, id);
    return step;
}

// The result the caller hears, made from how the course ended. Only an
// answer at the target is a success; a wait that ran out or ended at the
// service's Failed says so. Where the money's state asks the cashier for an
// action of its own, the state decides the text; a refusal keeps the
// service's code and note.
Interface::RequestResult Interface::conclude(const Course &course, RequestResult last,
                                             const QString &id) const
{
    last.money = moneyStateOf(course);
    const Course::Ending ending = course.ending();
    if (ending == Course::Ending::Reached)
        return last;

    last.success = false;
    if (ending == Course::Ending::Failed) {
        logger->error(LogStatusFailed);
        last.errorCode = 0;
        last.message = tr::Tr(text(KeyStatusFailed), text(TextStatusFailed));
    } else if (ending == Course::Ending::TimedOut) {
        logger->error(LogStatusTimeout);
        last.errorCode = 0;
        last.message = tr::Tr(text(KeyStatusTimeout), text(TextStatusTimeout));
    } else if (ending == Course::Ending::Interrupted) {
        logger->info(LogPaymentInterrupted, id);
        last.errorCode = 0;
        last.message = tr::Tr(text(KeyInterrupted), text(TextInterrupted));
    }
    // The text is the plug-in's own then, and no code of the service's goes with it.
    const auto says = [&last](const char *key, const char *message) {
        last.errorCode = 0;
        last.message = tr::Tr(text(key), text(message));
    };
    switch (last.money) {
    case MoneyState::NotCharged:
        if (ending == Course::Ending::NeverSent)
            says(KeyPaymentNotSent, TextPaymentNotSent);
        break;
    case MoneyState::Voided:
        if (ending != Course::Ending::Interrupted)
            says(KeyPaymentVoided, TextPaymentVoided);
        break;
    case MoneyState::InDoubt:
        // With its transaction id: support settles it by that.
        last.errorCode = 0;
        last.message = tr::Tr(text(KeyPaymentInDoubt), text(TextPaymentInDoubt).arg(id));
        break;
    case MoneyState::NotRefunded:
        if (ending == Course::Ending::NeverSent)
            says(KeyRefundNotSent, TextRefundNotSent);
        break;
    case MoneyState::RefundUndecided:
        says(KeyRefundUndecided, TextRefundUndecided);
        break;
    default:
        break;
    }
    return last;
}

// One line at the end of every payment, refund and cancel: support reads
// from it whether the customer was charged.
Interface::RequestResult Interface::ended(RequestResult result, const QString &id) const
{
    const auto line = [](MoneyState state) -> const char * {
        switch (state) {
        case MoneyState::Charged:
            return LogEndCharged;
        case MoneyState::NotCharged:
            return LogEndNotCharged;
        case MoneyState::Voided:
            return LogEndVoided;
        case MoneyState::InDoubt:
            return LogEndInDoubt;
        case MoneyState::Refunded:
            return LogEndRefunded;
        case MoneyState::AlreadyRefunded:
            return LogEndAlreadyRefunded;
        case MoneyState::NotRefunded:
            return LogEndNotRefunded;
        case MoneyState::RefundUndecided:
            return LogRefundUndecided;
        case MoneyState::None:
            break;
        }
        return nullptr;
    };
    // Money that may still move is an error a person must see; every settled end is news.
    const bool inDoubt =
        result.money == MoneyState::InDoubt || result.money == MoneyState::RefundUndecided;
    if (const char *text = line(result.money)) {
        if (inDoubt)
            logger->error(text, id);
        else
            logger->info(text, id);
    }
    return result;
}

// What the course sees of a result. A failure that claims to be an answer
// (a derived sendRequest that set success alone) is taken as unreadable:
// never as a success, never as a refusal.
Outcome Interface::observed(const RequestResult &result)
{
    if (result.outcome == Outcome::Answered && !result.success)
        return Outcome::Unreadable;
    return result.outcome;
}

QString Interface::replyReason(const RequestResult &answer)
{
    if (answer.outcome == Outcome::Answered)
        return QStringLiteral("status %1").arg(int(answer.getPaymentStatus()));
    if (answer.outcome == Outcome::Refused || answer.outcome == Outcome::NotFound)
        return QStringLiteral("error_code %1").arg(answer.errorCode);
    return answer.reason;
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
    // The transaction the answer must be about: named in the address or the body.
    const QString askedId =
        id.isEmpty() ? body.object().value(text(JsonTransactionId)).toString() : id;

    // Nothing may escape into the host: whatever the client or a step throws
    // is a failed exchange. Before the request is handed over it cannot have left.
    QSharedPointer<RestClient> client;
    QUrl url;
    QHash<QString, QString> headers;
    const bool prepared = guarded(logger, [&] {
        if (MockFactory<RestClient>::creator)
            client = MockFactory<RestClient>::creator();
        if (!client)
            return;
        client->setTimeout(qint64(timeout.count()));
        client->setLogger(logger);
        url = getUrl(method, id);
        headers = getHeaders();
    });
    if (prepared && !client)
        logger->error(LogNoClient);
    if (!prepared || !client)
        return parse(ExchangeOutcome::neverSent(), askedId);

    // From here on the request may have reached the service.
    ExchangeOutcome outcome = ExchangeOutcome::lost();
    guarded(logger, [&] {
        client->request(getOperation(method), url, body, headers);
        outcome = ExchangeOutcome(client->result());
    });
    return parse(outcome, askedId);
}

QHash<QString, QString> Interface::getHeaders() const
{
    // Wrong on purpose only for the connection test's control question.
    return headersSignedWith(signingWrongly ? secretKey + text(WrongSecretSuffix) : secretKey);
}

QHash<QString, QString> Interface::headersSignedWith(const QString &secret) const
{
    const QString timestamp = QString::number(QDateTime::currentSecsSinceEpoch());
    const QString digest = QString::fromLatin1(
        QCryptographicHash::hash((timestamp + secret).toUtf8(), QCryptographicHash::Sha256)
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
