#pragma once

#include <QString>

// Certificates for HTTPS tests, made fresh in a folder: a test authority and
// server certificates for 127.0.0.1 that are good, for the wrong host name,
// expired, or issued by an authority nobody trusts.
class TestCertificates
{
public:
    enum Server { Good, WrongHost, Expired, Untrusted };

    // Writes everything into `directory`; check isValid().
    explicit TestCertificates(const QString &directory);

    bool isValid() const { return m_valid; }
    QString caFile() const;
    QString certificateFile(Server server) const;
    QString keyFile(Server server) const;

private:
    QString m_directory;
    bool m_valid = false;
};
