// The API client's use of the payment journal: an entry before a payment
// leaves, its ending recorded before the host is told, recovery of what a
// crash or a refused void left open, and the whole-payment check of refunds.

#include "vesanu/api/interface.h"

#include "contract/paymentprocessingrequest.h"
#include "vesanu/api/constants.h"
#include "vesanu/journal/journalrecovery.h"
#include "vesanu/journal/paymentjournal.h"

#include <QDateTime>

namespace vesanu {

using namespace api;
using namespace journal;

namespace {

QString text(const char *utf8)
{
    return QString::fromUtf8(utf8);
}

qint64 wallClock()
{
    return QDateTime::currentSecsSinceEpoch();
}

PaymentJournal::State journalState(const Course &course)
{
    switch (course.ending()) {
    case Course::Ending::Reached:
        return PaymentJournal::State::Paid;
    case Course::Ending::Refused:
    case Course::Ending::Failed:
    case Course::Ending::NeverSent:
        return PaymentJournal::State::Settled;
    default:
        // Every other ending of a payment went through its void.
        return course.voidConfirmed() ? PaymentJournal::State::Voided
                                    : PaymentJournal::State::VoidPending;
    }
}

// A failure the plug-in decides itself, before or instead of the service's word.
Interface::RequestResult refusedHere(const char *key, const char *message, Outcome outcome,
                                     const QString &id)
{
    Interface::RequestResult result;
    result.success = false;
    result.message = tr::Tr(text(key), text(message));
    result.outcome = outcome;
    result.transactionId = id;
    return result;
}

} // namespace

bool Interface::openJournal() const
{
    if (journal->isOpen() || journal->open(journalPath))
        return true;
    logger->error(LogJournalUnavailable, journalPath + QLatin1String(": ") + journal->errorString());
    return false;
}

void Interface::recoverJournal(int exchanges, bool honourBackOff)
{
    if (!openJournal())
        return;
    // A failure that claims to be an answer is unreadable, as in a payment's course.
    const auto reply = [](const RequestResult &answer) {
        const Outcome outcome = answer.outcome == Outcome::Answered && !answer.success
                                    ? Outcome::Unreadable
                                    : answer.outcome;
        return JournalRecovery::Reply{outcome, answer.getPaymentStatus()};
    };
    JournalRecovery recovery(
        *journal, logger, [&](const QString &id) { return reply(sendRequest(PaymentStatus, id)); },
        [&](const QString &id) { return reply(sendRequest(Reversal, id)); });
    recovery.run({exchanges, journalRetrySeconds, honourBackOff}, wallClock());
}

bool Interface::journalBegin(const PaymentProcessingRequest &request, const QString &id)
{
    PaymentJournal::Entry entry;
    entry.transactionId = id;
    entry.amount = request.getAmount();
    entry.currency = request.getValutCode();
    entry.created = wallClock();
    if (journal->begin(entry, entry.created - journalKeepSeconds))
        return true;
    logger->error(LogJournalUnavailable, journalPath + QLatin1String(": ") + journal->errorString());
    return false;
}

// Recorded before the host is told. A void not confirmed stays open and is
// tried again after a back-off; an ending the journal cannot take leaves the
// entry in flight, so recovery asks about it, except a success: that would
// be voided behind the host's back, so it is voided now and reported failed.
Interface::RequestResult Interface::journalEnd(const Course &course, RequestResult result)
{
    const QString id = result.transactionId;
    const PaymentJournal::State state = journalState(course);
    const bool recorded = state == PaymentJournal::State::VoidPending
        ? journal->retryLater(id, state, wallClock() + JournalRecovery::backOffSeconds(1))
        : journal->settle(id, state);
    if (recorded)
        return result;
    logger->error(LogJournalUnavailable, journalPath + QLatin1String(": ") + journal->errorString());
    if (state != PaymentJournal::State::Paid)
        return result;
    logger->error(LogJournalUnrecorded, id);
    // The entry stays in flight: a void not confirmed now is sent again at
    // the next start.
    voidNow(id);
    return journalUnrecorded(id);
}

bool Interface::voidNow(const QString &id) const
{
    const RequestResult voided = sendRequest(Reversal, id);
    const bool confirmed =
        JournalRecovery::confirmsVoid({voided.outcome, voided.getPaymentStatus()});
    if (confirmed)
        logger->info(LogVoidAccepted, id);
    else
        logger->error(LogVoidRefused, id);
    return confirmed;
}

// The service reverses whole payments only: a refund of part of a payment
// this register took would give the customer all of it back. A request that
// names no amount (0, as a cancel may) asks for the whole payment.
bool Interface::isPartialRefund(const PaymentProcessingRequest &request) const
{
    if (request.getAmount() == 0 || (!journal->isOpen() && !journal->open(journalPath)))
        return false;
    PaymentJournal::Entry entry;
    if (!journal->find(request.getRrn(), &entry) || entry.state != PaymentJournal::State::Paid
        || entry.amount == request.getAmount())
        return false;
    logger->error(LogPartialRefund, request.getRrn());
    return true;
}

Interface::RequestResult Interface::journalUnavailable(const QString &id)
{
    return refusedHere(KeyJournalUnavailable, TextJournalUnavailable, Outcome::NeverSent, id);
}

// The payment went out and was paid, then voided: the cashier must not read
// that nothing was sent.
Interface::RequestResult Interface::journalUnrecorded(const QString &id)
{
    return refusedHere(KeyJournalUnrecorded, TextJournalUnrecorded, Outcome::Unreadable, id);
}

Interface::RequestResult Interface::interruptedBeforeSending(const QString &id) const
{
    logger->info(LogPaymentInterrupted, id);
    return refusedHere(KeyInterrupted, TextInterrupted, Outcome::NeverSent, id);
}

Interface::RequestResult Interface::partialRefund()
{
    return refusedHere(KeyPartialRefund, TextPartialRefund, Outcome::NeverSent, QString());
}

} // namespace vesanu
