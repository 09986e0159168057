#pragma once

#include <QList>
#include <QSslCertificate>
#include <QSslConfiguration>
#include <QString>

namespace veltanetwork {

// The TLS settings of one exchange. Peers are always verified: against the
// system's authorities, plus those in the PEM file that VELTA_NETWORK_CA_FILE
// names. Internal to libveltanetwork.
class CaTrust
{
public:
    // The file is read for every exchange, so a replaced file applies at once.
    // When it is named but yields no certificate, `problem` says why and the
    // system's authorities alone are trusted.
    static QSslConfiguration sslConfiguration(QString *problem);

private:
    static QList<QSslCertificate> readExtra(const QString &path, QString *problem);
    static QList<QSslCertificate> systemCertificates();
};

} // namespace veltanetwork
