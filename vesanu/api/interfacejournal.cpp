// The API client's side of the payment journal: how a payment's course ends
// in it, the void of a success it could not record, and the failures the
// plug-in decides itself.

#include "vesanu/api/interface.h"

#include "vesanu/api/constants.h"
#include "vesanu/journal/bookkeeper.h"

namespace vesanu {

using namespace api;
using journal::Bookkeeper;

namespace {

QString text(const char *utf8)
{
    return QString::fromUtf8(utf8);
}

Bookkeeper::Ending journalEnding(const Course &course)
{
    switch (course.ending()) {
    case Course::Ending::Reached:
        return Bookkeeper::Ending::Paid;
    case Course::Ending::Refused:
    case Course::Ending::Failed:
        return Bookkeeper::Ending::NotTaken;
    case Course::Ending::NeverSent:
        return Bookkeeper::Ending::NeverSent;
    default:
        // Every other ending of a payment went through its void.
        return course.voidConfirmed() ? Bookkeeper::Ending::Voided
                                      : Bookkeeper::Ending::VoidPending;
    }
}

// A failure the plug-in decides itself, before or instead of the service's word.
Interface::RequestResult refusedHere(const char *key, const char *message, Outcome outcome,
                                     MoneyState money, const QString &id)
{
    Interface::RequestResult result;
    result.success = false;
    result.message = tr::Tr(text(key), text(message));
    result.outcome = outcome;
    result.money = money;
    result.transactionId = id;
    return result;
}

} // namespace

// Recorded before the host is told. A decision the journal cannot confirm
// is kept and written again before the next payment, which waits for it;
// but a success that cannot be recorded would be voided behind the host's
// back by the next start, so it is voided now and reported failed.
Interface::RequestResult Interface::journalEnd(const Course &course, RequestResult result)
{
    const QString id = result.transactionId;
    const Bookkeeper::Ending ending = journalEnding(course);
    const Bookkeeper::Facts facts{course.acknowledged(), course.voided() ? 1 : 0};
    if (bookkeeper->record(id, ending, facts) || ending != Bookkeeper::Ending::Paid)
        return result;
    logger->error(LogJournalUnrecorded, id);
    const bool confirmed = voidNow(id, true);
    bookkeeper->record(id, confirmed ? Bookkeeper::Ending::Voided : Bookkeeper::Ending::VoidPending,
                       {true, 1});
    if (!confirmed) {
        RequestResult inDoubt = refusedHere(KeyPaymentInDoubt, TextPaymentInDoubt,
                                            Outcome::Unreadable, MoneyState::InDoubt, id);
        inDoubt.message = tr::Tr(text(KeyPaymentInDoubt), text(TextPaymentInDoubt).arg(id));
        return inDoubt;
    }
    return journalUnrecorded(id);
}

// The service answered Paid, so "not known" cannot confirm this void.
bool Interface::voidNow(const QString &id, bool acknowledged) const
{
    const RequestResult voided = sendRequest(Reversal, id);
    const bool confirmed =
        Course::confirmsVoid(observed(voided), voided.getPaymentStatus(), acknowledged);
    if (confirmed)
        logger->info(LogVoidAccepted, id);
    else
        logger->error(LogVoidRefused, id);
    return confirmed;
}

Interface::RequestResult Interface::journalUnavailable(const QString &id)
{
    return refusedHere(KeyJournalUnavailable, TextJournalUnavailable, Outcome::NeverSent,
                       MoneyState::NotCharged, id);
}

// The payment went out and was paid, then voided: the cashier must not read
// that nothing was sent.
Interface::RequestResult Interface::journalUnrecorded(const QString &id)
{
    return refusedHere(KeyJournalUnrecorded, TextJournalUnrecorded, Outcome::Unreadable,
                       MoneyState::Voided, id);
}

Interface::RequestResult Interface::interruptedBeforeSending(const QString &id) const
{
    logger->info(LogPaymentInterrupted, id);
    return refusedHere(KeyInterrupted, TextInterrupted, Outcome::NeverSent, MoneyState::NotCharged,
                       id);
}

Interface::RequestResult Interface::partialRefund()
{
    return refusedHere(KeyPartialRefund, TextPartialRefund, Outcome::NeverSent,
                       MoneyState::NotRefunded, QString());
}

Interface::RequestResult Interface::settingsMissing(MoneyState money, const QString &id) const
{
    logger->error(LogSettingsMissing, settingsProblem);
    return refusedHere(KeySettingsMissing, TextSettingsMissing, Outcome::NeverSent, money, id);
}

} // namespace vesanu
