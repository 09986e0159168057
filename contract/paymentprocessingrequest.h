#pragma once

#include <QDateTime>
#include <QMap>
#include <QString>
#include <QVariant>

// What the host asks a processing object to do. Field order and types are
// the host's ABI.
class PaymentProcessingRequest
{
public:
    enum Type : int {
        Unknown = 0,
        Payment = 1,
        Cancel = 2,
        Refund = 3,
        Change = 4,
    };

    PaymentProcessingRequest();

    Type getRequestType() const { return requestType; }
    void setRequestType(int value) { requestType = static_cast<Type>(value); }
    int getAmount() const { return amount; }
    void setAmount(int value) { amount = value; }
    int getSourceAmount() const { return sourceAmount; }
    void setSourceAmount(int value) { sourceAmount = value; }
    int getCashAdvanceAmount() const { return cashAdvanceAmount; }
    void setCashAdvanceAmount(int value) { cashAdvanceAmount = value; }
    QString getMerchantId() const { return merchantId; }
    void setMerchantId(const QString &value) { merchantId = value; }
    QString getAuthorizationCode() const { return authorizationCode; }
    void setAuthorizationCode(const QString &value) { authorizationCode = value; }
    QString getRrn() const { return rrn; }
    void setRrn(const QString &value) { rrn = value; }
    QString getCardNumber() const { return cardNumber; }
    void setCardNumber(const QString &value) { cardNumber = value; }
    QString getHash() const { return hash; }
    void setHash(const QString &value) { hash = value; }
    bool getIsPartOfPayment() const { return isPartOfPayment; }
    void setIsPartOfPayment(bool value) { isPartOfPayment = value; }
    QString getCashCode() const { return cashCode; }
    void setCashCode(const QString &value) { cashCode = value; }
    int getShiftNumber() const { return shiftNumber; }
    void setShiftNumber(int value) { shiftNumber = value; }
    int getCheckNumber() const { return checkNumber; }
    void setCheckNumber(int value) { checkNumber = value; }
    QDateTime getDateTime() const { return dateTime; }
    void setDateTime(const QDateTime &value) { dateTime = value; }
    QMap<QString, QVariant> getAdditionalData() const { return additionalData; }
    void setAdditionalData(const QMap<QString, QVariant> &value) { additionalData = value; }
    int getPrintWidth() const { return printWidth; }
    void setPrintWidth(int value) { printWidth = value; }
    int getPaymentMethod() const { return paymentMethod; }
    void setPaymentMethod(int value) { paymentMethod = value; }
    int getValutCode() const { return valutCode; }
    void setValutCode(int value) { valutCode = value; }
    QString getDocumentId() const { return documentId; }
    void setDocumentId(const QString &value) { documentId = value; }

    // cashAdvanceAmount and documentId take no part in equality.
    bool operator==(const PaymentProcessingRequest &other) const;

private:
    Type requestType;
    int amount;
    int sourceAmount;
    int cashAdvanceAmount;
    QString merchantId;
    QString authorizationCode;
    QString rrn;
    QString cardNumber;
    QString hash;
    bool isPartOfPayment;
    QString cashCode;
    int shiftNumber;
    int checkNumber;
    QDateTime dateTime;
    QMap<QString, QVariant> additionalData;
    int printWidth;
    int paymentMethod;
    int valutCode;
    QString documentId;
};
