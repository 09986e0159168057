#pragma once

#include "contract/abstractpaymentprocessing.h"

#include <QObject>
#include <QString>

#include <ctime>
#include <set>

// Defaults for every operation of the processing interface, so that a
// plug-in overrides only what it supports: unsupported operations answer
// with a failed answer whose message says the operation is unavailable.
class BasicPaymentProcessing : public AbstractPaymentProcessing
{
public:
    BasicPaymentProcessing();
    ~BasicPaymentProcessing() override;

    void init() override;
    bool isPaymentEnable(PaymentProcessingRequest::Type type) const override;
    bool isPaymentEnable(const QSharedPointer<AbstractDocument> &document) const override;
    bool isCancelEnable(PaymentProcessingRequest::Type type) const override;
    bool isCheckTotalsEnable() const override;
    bool isUsePaymentAsDiscount() const override;
    PaymentProcessingAnswer payment(const PaymentProcessingRequest &request) override;
    PaymentProcessingAnswer change(const PaymentProcessingRequest &request) override;
    PaymentProcessingAnswer cancel(const PaymentProcessingRequest &request) override;
    PaymentProcessingAnswer checkTotals(int merchantNumber) override;
    PaymentProcessingAnswer checkTotalsByMerchantId(const QString &merchantId) override;
    PaymentProcessingAnswer printCopy(int checkNumber) override;
    PaymentProcessingAnswer printReport() override;
    PaymentProcessingAnswer printReportByMerchantId(const QString &merchantId) override;
    PaymentProcessingAnswer printShortReport() override;
    PaymentProcessingAnswer balance(const QString &cardNumber) override;
    PaymentProcessingAnswer discountCard() override;
    PaymentProcessingAnswer loyaltyCards(const QString &cardNumber) override;
    bool checkOption(EPaymentProcessingOption::Option option) const override;
    bool checkOption(processing::Option option) const override;
    void setOption(EPaymentProcessingOption::Option option, bool enabled) override;
    void setOption(processing::Option option, bool enabled) override;
    void cancelCardRequest() override;
    QMap<EPaymentProcessingInfo::MessageType, tr::Tr> getMessageInfo() const override;
    QString getDialogScanMask() const override;
    QString getDialogImagePath() const override;
    PaymentProcessingAnswer testConnection() override;
    PaymentProcessingAnswer demandPinCode() override;
    PaymentProcessingAnswer demandQRCode(const PaymentProcessingRequest &request) override;
    PaymentProcessingAnswer getPaymentByQRCodeStatus(const QString &id) override;
    int getWaitPaymentByQRCodeDuration() const override;
    int getWaitPaymentStatusDuration() const override;
    int getStatusRequestsInterval() const override;
    void cancelPaymentByQRCodeInQueue(const PaymentProcessingRequest &request) override;
    PaymentProcessingAnswer paymentByQRCodeOnPinPad(const PaymentProcessingRequest &request) override;
    PaymentProcessingAnswer cancelByQRCodeOnPinPad(const PaymentProcessingRequest &request) override;
    PaymentProcessingAnswer paymentByBiometry(const PaymentProcessingRequest &request) override;
    PaymentProcessingAnswer cancelByBiometry(const PaymentProcessingRequest &request) override;
    PaymentProcessingAnswer paymentWithCashAdvance(const PaymentProcessingRequest &request) override;
    void setProcessingDirectory(const QString &directory) override;
    bool interruptPayment() override;
    int getValutCodeForGetHashedCardNumber() const override;
    PaymentProcessingAnswer getHashedCardNumber() override;
    bool sendEnqueuedMessage(const QMap<QString, QVariant> &message) override;
    bool useTerminal() const override;

    // A not successful answer (status 1, code 0) carrying the message.
    PaymentProcessingAnswer makeResult(const tr::Tr &message);

    // Pacing for plug-ins whose device needs a pause between operations:
    // blocks until `seconds` have passed since setLastOperationTime().
    void waitBeforeNextOperation(int seconds) const;
    void setLastOperationTime();

protected:
    EPaymentProcessingOption::Options optionFlags;
    std::set<processing::Option> options;
    timespec lastOperationTime;
    QString processingDirectory;
    std::set<PaymentProcessingRequest::Type> paymentTypes;
    std::set<PaymentProcessingRequest::Type> cancelTypes;
    int waitPaymentByQRCodeDuration;
    int statusRequestsInterval;
    QString dialogImagePath;
    QString paySystemsDirectory;
};

// The identifier a host casts a processing plug-in's object to.
Q_DECLARE_INTERFACE(BasicPaymentProcessing, "VeltaPaymentProcessing/1.0")
