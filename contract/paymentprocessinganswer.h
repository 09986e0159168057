#pragma once

#include "contract/processingenums.h"
#include "tr/tr.h"

#include <QMap>
#include <QString>
#include <QStringList>
#include <QVariant>

// What a processing object answers. Field order and types are the host's
// ABI. The status field is also the success flag: 0 is success.
class PaymentProcessingAnswer
{
public:
    enum Status : int {
        Success = 0,
        Error = 1,
    };

    PaymentProcessingAnswer();

    bool isSuccess() const { return status == Success; }
    void setSuccess(bool value) { status = value ? Success : Error; }

    int getCode() const { return code; }
    void setCode(int value) { code = value; }
    tr::Tr getMessage() const { return message; }
    void setMessage(const tr::Tr &value) { message = value; }
    Status getStatus() const { return status; }
    void setStatus(Status value) { status = value; }
    QStringList getPrintImages() const { return printImages; }
    void setPrintImages(const QStringList &value) { printImages = value; }
    int getTerminalNumber() const { return terminalNumber; }
    void setTerminalNumber(int value) { terminalNumber = value; }
    QString getCardType() const { return cardType; }
    void setCardType(const QString &value) { cardType = value; }
    QString getCardNumber() const { return cardNumber; }
    void setCardNumber(const QString &value) { cardNumber = value; }
    QString getAuthorizationCode() const { return authorizationCode; }
    void setAuthorizationCode(const QString &value) { authorizationCode = value; }
    QString getRRN() const { return RRN; }
    void setRRN(const QString &value) { RRN = value; }
    double getSum() const { return sum; }
    void setSum(double value) { sum = value; }
    QString getPosName() const { return posName; }
    void setPosName(const QString &value) { posName = value; }
    double getBalance() const { return balance; }
    void setBalance(double value) { balance = value; }
    QString getDiscCardNumber() const { return discCardNumber; }
    void setDiscCardNumber(const QString &value) { discCardNumber = value; }
    QStringList getLoyaltyCards() const { return loyaltyCards; }
    void setLoyaltyCards(const QStringList &value) { loyaltyCards = value; }
    QString getHashedCardNumber() const { return hashedCardNumber; }
    void setHashedCardNumber(const QString &value) { hashedCardNumber = value; }
    CardMark getCardMark() const { return cardMark; }
    void setCardMark(const CardMark &value) { cardMark = value; }
    QString getQrCode() const { return qrCode; }
    void setQrCode(const QString &value) { qrCode = value; }
    EPaymentMethod getPaymentMethod() const { return paymentMethod; }
    void setPaymentMethod(EPaymentMethod value) { paymentMethod = value; }
    QMap<QString, QVariant> getAdditionalInfo() const { return additionalInfo; }
    void setAdditionalInfo(const QMap<QString, QVariant> &value) { additionalInfo = value; }
    QString getTerminalId() const { return terminalId; }
    void setTerminalId(const QString &value) { terminalId = value; }
    QString getAdditionalData() const { return additionalData; }
    void setAdditionalData(const QString &value) { additionalData = value; }

    // qrCode and terminalId take no part in equality; a NaN sum or balance
    // makes an answer unequal even to its own copy.
    bool operator==(const PaymentProcessingAnswer &other) const;

private:
    int code;
    tr::Tr message;
    Status status;
    QStringList printImages;
    int terminalNumber;
    QString cardType;
    QString cardNumber;
    QString authorizationCode;
    QString RRN;
    double sum;
    QString posName;
    double balance;
    QString discCardNumber;
    QStringList loyaltyCards;
    QString hashedCardNumber;
    CardMark cardMark;
    QString qrCode;
    EPaymentMethod paymentMethod;
    QMap<QString, QVariant> additionalInfo;
    QString terminalId;
    QString additionalData;
};
