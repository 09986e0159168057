#include "network/catrust.h"

#include "network/networkconstants.h"

#include <QFile>
#include <QSslSocket>

namespace veltanetwork {

QSslConfiguration CaTrust::sslConfiguration(QString *problem)
{
    QSslConfiguration configuration = QSslConfiguration::defaultConfiguration();
    configuration.setPeerVerifyMode(QSslSocket::VerifyPeer);
    const QString path = qEnvironmentVariable(CaFileVariable);
    if (path.isEmpty())
        return configuration;
    const QList<QSslCertificate> extra = readExtra(path, problem);
    if (!extra.isEmpty()) {
        // Setting the list switches off the on-demand loading of the system's
        // authorities, so they are named explicitly.
        configuration.setCaCertificates(
            configuration.caCertificates() + systemCertificates() + extra);
    }
    return configuration;
}

QList<QSslCertificate> CaTrust::readExtra(const QString &path, QString *problem)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        *problem = QString::fromUtf8(CaFileUnreadable).arg(path, file.errorString());
        return {};
    }
    QList<QSslCertificate> certificates;
    const auto parsed = QSslCertificate::fromData(file.read(MaxCaFileSize), QSsl::Pem);
    for (const QSslCertificate &certificate : parsed) {
        if (!certificate.isNull())
            certificates.append(certificate);
    }
    if (certificates.isEmpty())
        *problem = QString::fromUtf8(CaFileEmpty).arg(path);
    return certificates;
}

// The system's set does not change while the process runs; reading it takes
// long enough to be worth doing once.
QList<QSslCertificate> CaTrust::systemCertificates()
{
    static const QList<QSslCertificate> certificates = QSslConfiguration::systemCaCertificates();
    return certificates;
}

} // namespace veltanetwork
