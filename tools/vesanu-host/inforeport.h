#pragma once

#include <QJsonObject>
#include <QString>

class BasicPaymentProcessing;

namespace vesanuhost {

// What the cash register learns about a processing plug-in before any
// payment: its metadata, options, enabled request types and the scan
// dialog's texts and picture. Collected once as JSON; the text form is
// rendered from it, so both outputs always agree.
class InfoReport
{
public:
    static QJsonObject collect(const QJsonObject &metaData, const BasicPaymentProcessing &processing);
    static QJsonObject dialogImage(const QString &path);
    static QString toText(const QJsonObject &report);
    // "5.12.0" from the metadata's QT_VERSION-style number.
    static QString qtVersion(int encoded);
};

} // namespace vesanuhost
