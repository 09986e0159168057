#include "benchservice.h"

#include "benchconstants.h"

BenchService::BenchService(Transport transport)
    : m_transport(transport)
    , m_certificates(m_directory.path())
{
}

bool BenchService::start(bool logRequests)
{
    QStringList arguments { QStringLiteral("--branch"), QLatin1String(Branch),
        QStringLiteral("--cashbox"), QLatin1String(Cashbox), QStringLiteral("--secret"),
        QLatin1String(Secret) };
    if (!logRequests)
        arguments << QStringLiteral("--quiet");
    if (m_transport == Https) {
        if (!m_certificates.isValid()) {
            m_error = QStringLiteral("test certificates could not be made");
            return false;
        }
        arguments << QStringLiteral("--cert")
                  << m_certificates.certificateFile(TestCertificates::Good)
                  << QStringLiteral("--key") << m_certificates.keyFile(TestCertificates::Good);
    }
    if (!m_process.start(arguments)) {
        m_error = m_process.errorString();
        return false;
    }
    return true;
}

QString BenchService::transportName() const
{
    return m_transport == Https ? QStringLiteral("HTTPS") : QStringLiteral("HTTP");
}

QUrl BenchService::paymentUrl() const
{
    QUrl url = m_process.apiUrl();
    url.setPath(url.path() + QLatin1String(bench::PaymentPath));
    return url;
}
