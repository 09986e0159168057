// The connection test of the set-up check: whether the service can be
// reached and takes this register's signature.
//
// The service documents no answer for a transaction it does
// not know, nor for a wrong signature. So the test does not read either
// from the shape of an answer: when the service does not simply answer, it
// asks the same question once more, signed with a key that is wrong on
// purpose, and compares.

#include "vesanu/api/interface.h"

#include "vesanu/api/constants.h"
#include "vesanu/api/exchangeoutcome.h"

namespace vesanu {

using namespace api;

namespace {

QString text(const char *utf8)
{
    return QString::fromUtf8(utf8);
}

// The service's own word: a refusal, or that it does not know the transaction.
bool isServiceRefusal(Outcome outcome)
{
    return outcome == Outcome::Refused || outcome == Outcome::NotFound;
}

// What one question came to, for the log. Said from the answer itself: the
// host's text type is not ours to read.
QString said(const Interface::RequestResult &result)
{
    if (isServiceRefusal(result.outcome))
        return QString::number(result.errorCode) + QLatin1Char(' ')
               + result.json.value(text(JsonErrorNote)).toString();
    if (result.outcome == Outcome::Answered && result.success)
        return text(ReasonAnswered);
    return result.reason;
}

Interface::RequestResult reached(Interface::RequestResult result, const char *key, const char *message)
{
    result.success = true;
    result.errorCode = 0;
    result.message = tr::Tr(text(key), text(message));
    return result;
}

} // namespace

Interface::RequestResult Interface::testConnection() const
{
    if (!settingsProblem.isEmpty())
        return settingsMissing(MoneyState::None, QString());
    const QString id = getUuid();
    const QString address = loggedAddress(getUrl(PaymentStatus, id));
    const RequestResult ours = sendRequest(PaymentStatus, id);
    if (ours.outcome == Outcome::Answered && ours.success) {
        logger->info(LogConnectionWorks, address);
        return reached(ours, KeyConnectionWorks, TextConnectionWorks);
    }
    // Unreached, or nothing the service can have meant (a server error, a
    // proxy's page): a failure, with its reason.
    if (!isServiceRefusal(ours.outcome)) {
        logger->error(LogConnectionFailed, address + QStringLiteral(": ") + said(ours));
        RequestResult failed = ours;
        if (ours.outcome == Outcome::NoAnswer || ours.outcome == Outcome::NeverSent)
            failed.message = tr::Tr(text(KeyServiceUnreachable), text(TextServiceUnreachable));
        return failed;
    }

    // Refused, or "not known": whether the signature made the difference
    // shows only beside a question the service must refuse for its signature.
    logger->info(LogConnectionControl, id);
    const RequestResult wrong = askSignedWrongly(id);
    const bool alike = wrong.outcome == ours.outcome && wrong.errorCode == ours.errorCode;
    if (alike && ours.outcome == Outcome::Refused) {
        // Refused as a wrong signature is: a wrong secret, branch or clock.
        // The answer keeps the service's code and note.
        logger->error(LogConnectionSignatureRefused, address + QStringLiteral(": ") + said(ours));
        return ours;
    }
    if (!alike && isServiceRefusal(wrong.outcome)) {
        logger->info(LogConnectionWorks, address);
        return reached(ours, KeyConnectionWorks, TextConnectionWorks);
    }
    // The same "not known" to both, or the control question brought no
    // refusal to compare with: reached, the signature neither shown good nor bad.
    logger->info(LogConnectionUnproven,
                 address + QStringLiteral(": ") + said(ours) + QStringLiteral(" / ") + said(wrong));
    return reached(ours, KeyConnectionUnproven, TextConnectionUnproven);
}

Interface::RequestResult Interface::askSignedWrongly(const QString &id) const
{
    struct Signing
    {
        bool &wrongly;
        ~Signing() { wrongly = false; }
    } signing{signingWrongly};
    signing.wrongly = true;
    return sendRequest(PaymentStatus, id);
}

} // namespace vesanu
