#include "checkout.h"

#include "simulator.h"

#include <QElapsedTimer>
#include <QJsonArray>
#include <QLibrary>
#include <QVariantMap>

#include <cstdio>

namespace {

constexpr int RequestPayment = 1;
constexpr int RequestRefund = 3;
constexpr int TransactionIdLength = 36;
constexpr char ProcessingInterface[] = "VeltaPaymentProcessing/1.0";

void say(const QString &line)
{
    std::printf("%s\n", qUtf8Printable(line));
    std::fflush(stdout);
}

QString describe(const PaymentProcessingAnswer &answer, qint64 elapsedMs)
{
    // One substitution pass: the service's text stays as it is.
    return QStringLiteral("%1, code %2, message \"%3\", %4 ms")
        .arg(answer.isSuccess() ? QStringLiteral("success") : QStringLiteral("FAILED"),
             QString::number(answer.getCode()), answer.getMessage().translated(),
             QString::number(elapsedMs));
}

} // namespace

Checkout::Checkout(const QString &pluginPath, const Simulator &service)
    : m_loader(pluginPath)
    , m_service(service)
{
    // As a careful host loads: an import the host lacks fails here, not mid-sale.
    m_loader.setLoadHints(QLibrary::ResolveAllSymbolsHint);
}

Checkout::~Checkout()
{
    delete m_loader.instance();
}

bool Checkout::load()
{
    QObject *instance = m_loader.instance();
    if (!check(instance != nullptr, QStringLiteral("plug-in loads: %1").arg(m_loader.errorString())))
        return false;
    const int version = m_loader.metaData().value(QLatin1String("version")).toInt();
    say(QStringLiteral("loaded %1: IID %2, class %3, announces Qt %4.%5")
            .arg(m_loader.fileName(), m_loader.metaData().value(QLatin1String("IID")).toString(),
                 QString::fromLatin1(instance->metaObject()->className()))
            .arg(version >> 16)
            .arg((version >> 8) & 0xff));
    m_processing = qobject_cast<BasicPaymentProcessing *>(instance);
    if (!check(m_processing != nullptr, QString::fromLatin1(ProcessingInterface)))
        return false;
    m_processing->init();
    return true;
}

bool Checkout::pay(int amount, const QString &token)
{
    PaymentProcessingRequest request;
    request.setRequestType(RequestPayment);
    request.setAmount(amount);
    request.setCardNumber(token);
    request.setValutCode(398);
    QElapsedTimer timer;
    timer.start();
    const PaymentProcessingAnswer answer = m_processing->payment(request);
    say(QStringLiteral("payment of %1 with token %2: %3")
            .arg(QString::number(amount / 100.0, 'f', 2), token, describe(answer, timer.elapsed())));
    m_rrn = answer.getRRN();
    m_amount = amount;
    say(QStringLiteral("  rrn %1, terminal %2").arg(m_rrn, answer.getTerminalId()));
    check(answer.isSuccess(), QStringLiteral("payment succeeds"));
    check(m_rrn.size() == TransactionIdLength, QStringLiteral("the RRN is a transaction identifier"));
    const QJsonObject entry = ledger(QStringLiteral("paid"));
    check(entry.value(QLatin1String("amount")).toInt() == amount, QStringLiteral("the service took the amount"));
    check(entry.value(QLatin1String("status_queries")).toInt() >= 1,
          QStringLiteral("the plug-in waited for the pending payment"));
    return passed();
}

bool Checkout::sendFiscalData(const QString &qrCode)
{
    const QVariantMap message{
        {QStringLiteral("messagetype"), QStringLiteral("sendofddata")},
        {QStringLiteral("payload"),
         QVariantMap{{QStringLiteral("rrn"), m_rrn},
                     {QStringLiteral("fiscalData"), QVariantMap{{QStringLiteral("qr"), qrCode}}}}},
    };
    const bool sent = m_processing->sendEnqueuedMessage(message);
    say(QStringLiteral("fiscal message for %1: %2").arg(m_rrn, sent ? QStringLiteral("sent") : QStringLiteral("FAILED")));
    check(sent, QStringLiteral("the fiscal message is sent"));
    const QJsonArray qrCodes = ledger(QStringLiteral("paid")).value(QLatin1String("qrcodes")).toArray();
    check(qrCodes == QJsonArray{qrCode}, QStringLiteral("the service holds the receipt's QR code"));
    return passed();
}

bool Checkout::refund()
{
    PaymentProcessingRequest request;
    request.setRequestType(RequestRefund);
    request.setAmount(m_amount);
    request.setRrn(m_rrn);
    request.setValutCode(398);
    QElapsedTimer timer;
    timer.start();
    const PaymentProcessingAnswer answer = m_processing->payment(request);
    say(QStringLiteral("refund of %1: %2").arg(m_rrn, describe(answer, timer.elapsed())));
    check(answer.isSuccess(), QStringLiteral("refund succeeds"));
    check(ledger(QStringLiteral("reversed")).value(QLatin1String("reversal")).toString()
              == QLatin1String("reversed"),
          QStringLiteral("the service reversed the payment"));
    return passed();
}

bool Checkout::check(bool condition, const QString &what)
{
    if (!condition) {
        ++m_failures;
        say(QStringLiteral("CHECK FAILED: %1").arg(what));
    }
    return condition;
}

QJsonObject Checkout::ledger(const QString &expectedState)
{
    const QJsonObject entry = m_service.payment(m_rrn);
    say(QStringLiteral("  ledger: state %1, reversal %2, amount %3, requests: payment %4, status %5, "
                       "reversal %6, fiscal %7")
            .arg(entry.value(QLatin1String("state")).toString(),
                 entry.value(QLatin1String("reversal")).toString())
            .arg(entry.value(QLatin1String("amount")).toInt())
            .arg(entry.value(QLatin1String("payment_requests")).toInt())
            .arg(entry.value(QLatin1String("status_queries")).toInt())
            .arg(entry.value(QLatin1String("reversal_requests")).toInt())
            .arg(entry.value(QLatin1String("ofd_requests")).toInt()));
    check(entry.value(QLatin1String("state")).toString() == expectedState,
          QStringLiteral("the service holds the payment as %1").arg(expectedState));
    return entry;
}
