#include "vesanu/vesanu.h"

#include "vesanu/api/configstore.h"
#include "vesanu/api/constants.h"
#include "vesanu/constants.h"

namespace vesanu {

using namespace constants;

namespace {

QString text(const char *utf8)
{
    return QString::fromUtf8(utf8);
}

QString amountText(const PaymentProcessingRequest &request)
{
    return QString::number(double(request.getAmount()) * 0.01, 'f', 2);
}

// The money's state, for every answer of a payment, refund or cancel.
void addMoneyState(QMap<QString, QVariant> *info, const Interface::RequestResult &result)
{
    const QString state = QString::fromLatin1(api::moneyStateName(result.money));
    if (!state.isEmpty())
        info->insert(text(InfoMoneyState), state);
}

} // namespace

VesaNu::VesaNu()
    : QObject(nullptr)
    , interface(new Interface)
    , logger(Log4Qt::LogManager::logger(text(LoggerName), QString()))
{
    setOption(EPaymentProcessingOption::Option(OptionFlags), true);
    setOption(processing::Option(ProcessingOption), true);
    paymentTypes.insert(PaymentProcessingRequest::Type(RequestTypePayment));
    paymentTypes.insert(PaymentProcessingRequest::Type(RequestTypeRefund));
    cancelTypes.insert(PaymentProcessingRequest::Type(RequestTypePayment));
}

VesaNu::~VesaNu() = default;

void VesaNu::init()
{
    const bool loaded = api::loadSettings(text(ConfigFile));
    paymentProvider = api::configStore()->getString(
        text(SettingPaymentProvider), text(DefaultPaymentProvider));
    interface->init();
    // Named here, where the file is known; nothing leaves until it is mended.
    const QString missing = interface->getSettingsProblem();
    if (!missing.isEmpty()) {
        logger->error(api::LogSettingsMissing,
                      text(ConfigFile) + QLatin1String(": ")
                          + (loaded ? QString() : text(ReasonUnreadable)) + missing);
    }
}

PaymentProcessingAnswer VesaNu::payment(const PaymentProcessingRequest &request)
{
    if (request.getRequestType() != RequestTypePayment) {
        logger->info(LogRefund, amountText(request));
        return reversal(request);
    }
    logger->info(LogPayment, amountText(request));

    const Interface::RequestResult result = interface->payment(request);
    QMap<QString, QVariant> additionalInfo{
        {text(InfoPhone), result.getPhone()},
        {text(InfoRrn), result.getTransactionId()},
        {text(InfoValutCode), request.getValutCode()},
        {text(InfoPaymentProvider), paymentProvider},
        {text(InfoPaymentId), result.getPaymentId()},
    };
    addMoneyState(&additionalInfo, result);
    PaymentProcessingAnswer answer = createAnswer(result, additionalInfo);
    answer.setTerminalId(interface->getBranchId());
    if (result.success)
        answer.setRRN(result.getTransactionId());
    return answer;
}

PaymentProcessingAnswer VesaNu::cancel(const PaymentProcessingRequest &request)
{
    // A cancel undoes the whole payment, as a refund does, and its answer
    // names the payment being undone in the same way.
    return reversal(request);
}

PaymentProcessingAnswer VesaNu::reversal(const PaymentProcessingRequest &request)
{
    logger->info(LogReversal, request.getRrn());
    const Interface::RequestResult result = interface->reversal(request);
    QMap<QString, QVariant> additionalInfo{
        {text(InfoRrn), request.getRrn()},
        {text(InfoValutCode), request.getValutCode()},
    };
    addMoneyState(&additionalInfo, result);
    return createAnswer(result, additionalInfo);
}

bool VesaNu::sendEnqueuedMessage(const QMap<QString, QVariant> &message)
{
    logger->info(LogQueuedMessage);
    if (message.value(text(MessageType)).toString() != text(MessageTypeOfdData)) {
        logger->error(LogUnknownMessage);
        return false;
    }
    const QMap<QString, QVariant> payload = message.value(text(MessagePayload)).toMap();
    const QString rrn = payload.value(text(PayloadRrn)).toString();
    const QString qr =
        payload.value(text(PayloadFiscalData)).toMap().value(text(FiscalDataQr)).toString();
    return interface->sendOfdData(rrn, qr);
}

PaymentProcessingAnswer VesaNu::testConnection()
{
    PaymentProcessingAnswer answer = createAnswer(interface->testConnection(), {});
    answer.setTerminalId(interface->getBranchId());
    return answer;
}

// Only the API client's wait state is touched, and that is made for it: the
// host's thread running payment() is not disturbed otherwise.
bool VesaNu::interruptPayment()
{
    return interface->interruptPayment();
}

QMap<EPaymentProcessingInfo::MessageType, tr::Tr> VesaNu::getMessageInfo() const
{
    QMap<EPaymentProcessingInfo::MessageType, tr::Tr> info;
    info.insert(EPaymentProcessingInfo::MessageType(0), tr::Tr(text(KeyScanTitle), text(TextScanTitle)));
    info.insert(EPaymentProcessingInfo::MessageType(1), tr::Tr(text(KeyScanMessage), text(TextScanMessage)));
    info.insert(EPaymentProcessingInfo::MessageType(2), tr::Tr(text(KeyScanError), text(TextScanError)));
    return info;
}

QString VesaNu::getDialogImagePath() const
{
    return text(DialogImagePath);
}

} // namespace vesanu
