// Addresses built from arbitrary host, path and identifier settings. The
// identifier (a payment's RRN, handed back by the host) must never change
// which server or which operation a request goes to: it stays one path
// segment, whatever it holds.
//
// Input: the host setting, a line break, the path setting, a line break,
// then the identifier (which may hold line breaks). A setting whose line is
// missing is absent from the store, so its default applies.

#include "support/fuzzcheck.h"
#include "support/memorysettings.h"
#include "support/quietlog.h"
#include "vesanu/api/interface.h"

#include <QByteArray>
#include <QUrl>
#include <cstdint>

namespace {

using vesanu::Interface;

MemorySettings *settings;
Interface *client;

void takeSettings(QByteArray &rest)
{
    settings->values.clear();
    const char *const keys[] = { "VesaNu:host", "VesaNu:path" };
    for (const char *key : keys) {
        const int end = rest.indexOf('\n');
        if (end < 0)
            return;
        settings->values.insert(QLatin1String(key), QString::fromUtf8(rest.left(end)));
        rest.remove(0, end + 1);
    }
}

QString lastSegment(const QUrl &url)
{
    const QString path = url.path(QUrl::FullyEncoded);
    return QUrl::fromPercentEncoding(path.mid(path.lastIndexOf(QLatin1Char('/')) + 1).toLatin1());
}

// Everything but the path is the base address's, and the path is the
// address without the identifier plus one segment that decodes to it.
void checkIdentifierSegment(Interface::Method method, const QString &id)
{
    const QUrl url = client->getUrl(method, id);
    if (id.isEmpty() || !url.isValid())
        return;
    const QUrl withoutId = client->getUrl(method, QString());
    FUZZ_CHECK(lastSegment(url) == id);
    // The HTTP client sends the path with dot segments resolved.
    FUZZ_CHECK(lastSegment(url.adjusted(QUrl::NormalizePathSegments)) == id);
    FUZZ_CHECK(url.adjusted(QUrl::RemovePath) == withoutId.adjusted(QUrl::RemovePath));
    FUZZ_CHECK(url.path(QUrl::FullyEncoded).startsWith(withoutId.path(QUrl::FullyEncoded) + '/'));
}

// Fixed operations end in their own path and keep the base address's server.
void checkFixedPath(Interface::Method method, const char *suffix, const QUrl &base)
{
    const QUrl url = client->getUrl(method, QStringLiteral("ignored/../x"));
    if (!url.isValid())
        return;
    FUZZ_CHECK(url.path(QUrl::FullyDecoded).endsWith(QLatin1String(suffix)));
    FUZZ_CHECK(url.adjusted(QUrl::RemovePath) == base.adjusted(QUrl::RemovePath));
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    silenceQtMessages();
    settings = new MemorySettings;
    client = new Interface;
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    QByteArray rest(reinterpret_cast<const char *>(data), int(size));
    takeSettings(rest);
    const QString id = QString::fromUtf8(rest);

    // A value outside the operations gives the base address itself.
    const QUrl base = client->getUrl(Interface::Method(-1), id);
    FUZZ_CHECK(base == client->getUrl(Interface::Method(4), QString()));
    checkFixedPath(Interface::Payment, "/payment", base);
    checkFixedPath(Interface::OfdData, "/payment/ofd_data/submit_qrcode", base);
    checkIdentifierSegment(Interface::PaymentStatus, id);
    checkIdentifierSegment(Interface::Reversal, id);
    return 0;
}
