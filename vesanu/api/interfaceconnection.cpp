// The connection test of the set-up check: whether the service can be
// reached and takes this register's signature.

#include "vesanu/api/interface.h"

#include "vesanu/api/constants.h"

namespace vesanu {

using namespace api;

namespace {

QString text(const char *utf8)
{
    return QString::fromUtf8(utf8);
}

} // namespace

Interface::RequestResult Interface::testConnection() const
{
    const QString id = getUuid();
    const QString address = getUrl(PaymentStatus, id).toString();
    RequestResult result = sendRequest(PaymentStatus, id);
    // The service answered and took the signature: it does not know this
    // transaction, or it answered about it without refusing. "Not known"
    // counts only when it names the transaction asked about: a wrong path
    // is "not known" too, before any signature is looked at.
    const bool unknownHere = result.outcome == Outcome::NotFound
                             && result.json.value(text(JsonTransactionId)).toString() == id;
    if (result.outcome == Outcome::Answered || unknownHere) {
        logger->info(LogConnectionWorks, address);
        result.success = true;
        result.errorCode = 0;
        result.message = tr::Tr(text(KeyConnectionWorks), text(TextConnectionWorks));
        return result;
    }
    // A refusal keeps the service's code and note: a wrong secret, branch or
    // clock shows there.
    const bool unreached =
        result.outcome == Outcome::NoAnswer || result.outcome == Outcome::NeverSent;
    // Said from the answer itself: the host's text type is not ours to read.
    QString why = result.reason;
    if (result.outcome == Outcome::Refused || result.outcome == Outcome::NotFound)
        why = QString::number(result.errorCode) + QLatin1Char(' ')
              + result.json.value(text(JsonErrorNote)).toString();
    logger->error(LogConnectionFailed, address + QStringLiteral(": ") + why);
    if (unreached)
        result.message = tr::Tr(text(KeyServiceUnreachable), text(TextServiceUnreachable));
    return result;
}

} // namespace vesanu
