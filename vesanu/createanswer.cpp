#include "vesanu/vesanu.h"

#include "vesanu/constants.h"

#include <QJsonDocument>

namespace vesanu {

PaymentProcessingAnswer createAnswer(const Interface::RequestResult &result,
                                     const QMap<QString, QVariant> &additionalInfo)
{
    PaymentProcessingAnswer answer;
    answer.setSuccess(result.success);
    answer.setMessage(result.message);
    answer.setCode(result.errorCode);
    answer.setPaymentMethod(EPaymentMethod(constants::PaymentMethodVesaNu));
    answer.setAdditionalInfo(additionalInfo);

    // The receipt's extra data: everything but the identifiers the host keeps anyway.
    QMap<QString, QVariant> printable = additionalInfo;
    printable.remove(QString::fromUtf8(constants::InfoValutCode));
    printable.remove(QString::fromUtf8(constants::InfoRrn));
    printable.remove(QString::fromUtf8(constants::InfoMoneyState));
    if (!printable.isEmpty()) {
        const QJsonDocument json = QJsonDocument::fromVariant(QVariant(printable));
        answer.setAdditionalData(QString::fromUtf8(json.toJson(QJsonDocument::Compact)));
    }
    return answer;
}

} // namespace vesanu
