#pragma once

#include <QString>
#include <QVariantMap>

namespace vesanuhost {

// The queued message by which the host hands a receipt's fiscal QR code to
// the plug-in after a sale.
class FiscalMessage
{
public:
    static QVariantMap build(const QString &rrn, const QString &qr);
};

} // namespace vesanuhost
