#include "support/testcertificates.h"

#include <QFile>

#include <openssl/evp.h>
#include <openssl/pem.h>
#include <openssl/x509.h>
#include <openssl/x509v3.h>

#include <memory>

namespace {

using Key = std::unique_ptr<EVP_PKEY, decltype(&EVP_PKEY_free)>;
using Certificate = std::unique_ptr<X509, decltype(&X509_free)>;

constexpr long Day = 24 * 60 * 60;

Key newKey()
{
    return Key(EVP_EC_gen("P-256"), &EVP_PKEY_free);
}

bool addExtension(X509 *certificate, X509 *issuer, int nid, const char *value)
{
    X509V3_CTX context;
    X509V3_set_ctx(&context, issuer, certificate, nullptr, nullptr, 0);
    X509_EXTENSION *extension = X509V3_EXT_conf_nid(nullptr, &context, nid, value);
    if (!extension)
        return false;
    const bool added = X509_add_ext(certificate, extension, -1) == 1;
    X509_EXTENSION_free(extension);
    return added;
}

// A certificate for `key`, signed by `issuerKey` (itself when issuer is null).
Certificate issue(EVP_PKEY *key, const char *commonName, X509 *issuer, EVP_PKEY *issuerKey,
                  long notBefore, long notAfter, const char *altNames, long serial)
{
    Certificate certificate(X509_new(), &X509_free);
    X509 *c = certificate.get();
    X509_set_version(c, 2);
    ASN1_INTEGER_set(X509_get_serialNumber(c), serial);
    X509_gmtime_adj(X509_getm_notBefore(c), notBefore);
    X509_gmtime_adj(X509_getm_notAfter(c), notAfter);
    X509_set_pubkey(c, key);
    X509_NAME *name = X509_get_subject_name(c);
    X509_NAME_add_entry_by_txt(name, "CN", MBSTRING_ASC,
                               reinterpret_cast<const unsigned char *>(commonName), -1, -1, 0);
    X509_set_issuer_name(c, issuer ? X509_get_subject_name(issuer) : name);
    X509 *signer = issuer ? issuer : c;
    bool ok = true;
    if (altNames) {
        ok = ok && addExtension(c, signer, NID_basic_constraints, "critical,CA:FALSE");
        ok = ok && addExtension(c, signer, NID_subject_alt_name, altNames);
        ok = ok && addExtension(c, signer, NID_ext_key_usage, "serverAuth");
    } else {
        ok = ok && addExtension(c, signer, NID_basic_constraints, "critical,CA:TRUE");
        ok = ok && addExtension(c, signer, NID_key_usage, "critical,keyCertSign,cRLSign");
    }
    ok = ok && addExtension(c, signer, NID_subject_key_identifier, "hash");
    if (!ok || X509_sign(c, issuerKey ? issuerKey : key, EVP_sha256()) == 0)
        return Certificate(nullptr, &X509_free);
    return certificate;
}

bool writePem(const QString &path, X509 *certificate, EVP_PKEY *key)
{
    BIO *bio = BIO_new_file(QFile::encodeName(path).constData(), "w");
    if (!bio)
        return false;
    const bool ok = certificate ? PEM_write_bio_X509(bio, certificate) == 1
                                : PEM_write_bio_PrivateKey(bio, key, nullptr, nullptr, 0, nullptr,
                                                           nullptr) == 1;
    BIO_free(bio);
    return ok;
}

const char *serverName(TestCertificates::Server server)
{
    switch (server) {
    case TestCertificates::Good:
        return "good";
    case TestCertificates::WrongHost:
        return "wronghost";
    case TestCertificates::Expired:
        return "expired";
    case TestCertificates::Untrusted:
        return "untrusted";
    }
    return "unknown";
}

} // namespace

TestCertificates::TestCertificates(const QString &directory)
    : m_directory(directory)
{
    const Key caKey = newKey();
    const Key strangerKey = newKey();
    const Certificate ca = issue(caKey.get(), "VesaNu Test CA", nullptr, nullptr, -Day, 30 * Day, nullptr, 1);
    const Certificate stranger =
        issue(strangerKey.get(), "Stranger CA", nullptr, nullptr, -Day, 30 * Day, nullptr, 2);
    if (!ca || !stranger || !writePem(caFile(), ca.get(), nullptr))
        return;

    struct Plan
    {
        Server server;
        const char *commonName;
        const char *altNames;
        long notBefore;
        long notAfter;
        X509 *issuer;
        EVP_PKEY *issuerKey;
    };
    const Plan plans[] = {
        {Good, "127.0.0.1", "IP:127.0.0.1,DNS:localhost", -Day, 30 * Day, ca.get(), caKey.get()},
        // Qt 5 accepts a common name that matches even when the alternative
        // names do not, so the wrong host is named in both.
        {WrongHost, "wrong.example", "DNS:wrong.example", -Day, 30 * Day, ca.get(), caKey.get()},
        {Expired, "127.0.0.1", "IP:127.0.0.1,DNS:localhost", -30 * Day, -Day, ca.get(), caKey.get()},
        {Untrusted, "127.0.0.1", "IP:127.0.0.1,DNS:localhost", -Day, 30 * Day, stranger.get(),
         strangerKey.get()},
    };
    long serial = 10;
    for (const Plan &plan : plans) {
        const Key key = newKey();
        const Certificate certificate = issue(key.get(), plan.commonName, plan.issuer, plan.issuerKey,
                                              plan.notBefore, plan.notAfter, plan.altNames, serial++);
        if (!certificate || !writePem(certificateFile(plan.server), certificate.get(), nullptr)
            || !writePem(keyFile(plan.server), nullptr, key.get()))
            return;
    }
    m_valid = true;
}

QString TestCertificates::caFile() const
{
    return m_directory + QStringLiteral("/ca.pem");
}

QString TestCertificates::certificateFile(Server server) const
{
    return m_directory + QLatin1Char('/') + QLatin1String(serverName(server)) + QStringLiteral(".crt");
}

QString TestCertificates::keyFile(Server server) const
{
    return m_directory + QLatin1Char('/') + QLatin1String(serverName(server)) + QStringLiteral(".key");
}
