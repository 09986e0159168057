#pragma once

#include "contract/basicpaymentprocessing.h"
#include "vesanu/api/interface.h"

#include <QObject>
#include <QSharedPointer>

namespace Log4Qt {
class Logger;
}

namespace vesanu {

// The processing object the host drives for VesaNu payments: pays with a
// scanned one-time token, refunds and cancels by transaction identifier, and
// delivers a receipt's fiscal QR code from the host's message queue.
class VesaNu : public QObject, public BasicPaymentProcessing
{
    Q_OBJECT
    Q_INTERFACES(BasicPaymentProcessing)

public:
    VesaNu();
    ~VesaNu() override;

    void init() override;
    PaymentProcessingAnswer payment(const PaymentProcessingRequest &request) override;
    PaymentProcessingAnswer cancel(const PaymentProcessingRequest &request) override;
    bool sendEnqueuedMessage(const QMap<QString, QVariant> &message) override;
    PaymentProcessingAnswer testConnection() override;
    // May be called from any thread while payment() runs on another.
    bool interruptPayment() override;
    QMap<EPaymentProcessingInfo::MessageType, tr::Tr> getMessageInfo() const override;
    QString getDialogImagePath() const override;

    // The full refund behind a payment request of any type but 1.
    PaymentProcessingAnswer reversal(const PaymentProcessingRequest &request);

private:
    QString paymentProvider;
    QSharedPointer<Interface> interface;
    Log4Qt::Logger *logger;
};

// The one conversion of an API result into the host's answer.
PaymentProcessingAnswer createAnswer(const Interface::RequestResult &result,
                                     const QMap<QString, QVariant> &additionalInfo);

} // namespace vesanu
