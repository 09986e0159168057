#include "fiscalmessage.h"

#include "hostconstants.h"

namespace vesanuhost {

QVariantMap FiscalMessage::build(const QString &rrn, const QString &qr)
{
    const QVariantMap fiscalData{{QLatin1String(fiscal::Qr), qr}};
    const QVariantMap payload{{QLatin1String(fiscal::Rrn), rrn},
                              {QLatin1String(fiscal::FiscalData), fiscalData}};
    return QVariantMap{{QLatin1String(fiscal::MessageType), QLatin1String(FiscalMessageType)},
                       {QLatin1String(fiscal::Payload), payload}};
}

} // namespace vesanuhost
