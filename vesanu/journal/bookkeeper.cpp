#include "vesanu/api/hostheaders.h"

#include "vesanu/journal/bookkeeper.h"

#include "vesanu/journal/journalconstants.h"

namespace vesanu {
namespace journal {

using State = PaymentJournal::State;
using Entry = PaymentJournal::Entry;

namespace {

// Old entries are deleted a batch at a time, so that no payment pays for a
// long pause: a large batch at start, a small one an hour while running.
constexpr int kPruneAtStart = 5000;
constexpr int kPruneWhileRunning = 500;
constexpr qint64 kPruneEverySeconds = 3600;

QString text(const char *utf8)
{
    return QString::fromUtf8(utf8);
}

State stateOf(Bookkeeper::Ending ending)
{
    switch (ending) {
    case Bookkeeper::Ending::Paid:
        return State::Paid;
    case Bookkeeper::Ending::Voided:
        return State::Voided;
    case Bookkeeper::Ending::VoidPending:
        return State::VoidPending;
    case Bookkeeper::Ending::NeverSent:
    case Bookkeeper::Ending::NotTaken:
        break;
    }
    return State::Settled;
}

// The file agrees with a decision when it holds the entry in the decided
// state; a payment decided as never sent may not be there at all.
bool agrees(const Entry &decided, const Entry &held, bool found)
{
    if (!found)
        return decided.state == State::Settled && decided.voids == 0 && !decided.acknowledged;
    return held.state == decided.state && held.stateText == QLatin1String(PaymentJournal::stateName(decided.state))
           && held.acknowledged == decided.acknowledged && held.voids == decided.voids;
}

} // namespace

Bookkeeper::Bookkeeper(Log4Qt::Logger *logger, JournalRecovery::Exchange askStatus,
                       JournalRecovery::Exchange voidPayment, WallClock wallClock)
    : m_logger(logger)
    , m_askStatus(std::move(askStatus))
    , m_void(std::move(voidPayment))
    , m_wallClock(std::move(wallClock))
{
}

void Bookkeeper::configure(const Settings &settings)
{
    m_settings = settings;
}

void Bookkeeper::start(int exchanges)
{
    m_store.close();
    if (!trusted())
        return;
    pruneNow(kPruneAtStart);
    recover(exchanges, false);
}

bool Bookkeeper::prepare(int exchanges)
{
    if (!trusted())
        return false;
    if (m_wallClock() - m_lastPrune >= kPruneEverySeconds)
        pruneNow(kPruneWhileRunning);
    return recover(exchanges, true) && trusted();
}

bool Bookkeeper::begin(const QString &transactionId, qint64 amount, int currency,
                       const References &references)
{
    m_current = Entry();
    m_current.transactionId = transactionId;
    m_current.amount = amount;
    m_current.currency = currency;
    m_current.created = m_wallClock();
    m_current.shiftNumber = references.shiftNumber;
    m_current.checkNumber = references.checkNumber;
    m_current.documentId = references.documentId;
    if (m_store.insert(m_current))
        return true;
    // The entry may be on disk all the same: it is settled as never sent,
    // and no payment leaves until the file says so.
    distrust(m_store.errorString());
    Entry neverSent = m_current;
    neverSent.state = State::Settled;
    neverSent.reason = text(NoteNeverSent);
    m_unconfirmed.insert(transactionId, neverSent);
    confirmAll();
    return false;
}

void Bookkeeper::acknowledge(const QString &transactionId)
{
    if (m_current.transactionId != transactionId || m_current.acknowledged)
        return;
    m_current.acknowledged = true;
    write(m_current);
}

bool Bookkeeper::record(const QString &transactionId, Ending ending, const Facts &facts)
{
    if (m_current.transactionId != transactionId) {
        m_current = Entry();
        m_current.transactionId = transactionId;
        m_current.created = m_wallClock();
    }
    m_current.state = stateOf(ending);
    m_current.acknowledged = m_current.acknowledged || facts.acknowledged;
    m_current.voids += facts.voids;
    if (ending == Ending::VoidPending) {
        JournalRecovery::retryLater(&m_current, State::VoidPending, m_wallClock(),
                                    text(NoteVoidUnconfirmed));
    } else if (ending == Ending::NeverSent) {
        m_current.reason = text(NoteNeverSent);
    }
    return write(m_current);
}

bool Bookkeeper::isPartialRefund(const QString &transactionId, qint64 amount)
{
    Entry entry;
    bool found = false;
    if (amount == 0 || !trusted() || !m_store.find(transactionId, &entry, &found) || !found
        || entry.state != State::Paid || entry.amount == amount)
        return false;
    m_logger->error(LogPartialRefund, transactionId);
    return true;
}

qint64 Bookkeeper::beginRefund(const QString &transactionId, qint64 amount,
                               const References &references, bool *before)
{
    *before = false;
    QList<PaymentJournal::Refund> earlier;
    if (!trusted() || !m_store.refunds(transactionId, &earlier)) {
        distrust(m_store.errorString());
        return 0;
    }
    for (const PaymentJournal::Refund &refund : earlier)
        *before = *before || refund.state == PaymentJournal::RefundState::Refunded;
    PaymentJournal::Refund refund;
    refund.transactionId = transactionId;
    refund.amount = amount;
    refund.created = m_wallClock();
    refund.shiftNumber = references.shiftNumber;
    refund.checkNumber = references.checkNumber;
    refund.documentId = references.documentId;
    if (m_store.insertRefund(&refund))
        return refund.id;
    distrust(m_store.errorString());
    return 0;
}

void Bookkeeper::endRefund(qint64 refund, PaymentJournal::RefundState state)
{
    PaymentJournal::Refund ended;
    ended.id = refund;
    ended.state = state;
    if (refund != 0 && !m_store.updateRefund(ended))
        distrust(m_store.errorString());
}

// The journal is open, still the file at its path, and holds every
// decision made; otherwise the reason is logged and nothing may leave.
bool Bookkeeper::trusted()
{
    if (!m_store.isOpen() && !m_store.open(m_settings.path))
        return distrust(m_store.errorString());
    if (!followsPath())
        return false;
    return m_unconfirmed.isEmpty() || confirmAll();
}

// A file moved or replaced under the running register: payments recorded
// in it would be lost to the next start. One with nothing open is let go
// and the file at the path opened instead; one with open entries keeps
// them, and no payment leaves until it is back.
bool Bookkeeper::followsPath()
{
    if (m_store.isAtPath())
        return true;
    const QString moved = m_store.errorString();
    QList<Entry> due;
    if (!m_unconfirmed.isEmpty() || !m_store.select(PaymentJournal::Selection::Due, &due)
        || !due.isEmpty())
        return distrust(text(ReasonMoved) + QLatin1String(" (") + moved + QLatin1Char(')'));
    m_store.close();
    if (!m_store.open(m_settings.path))
        return distrust(m_store.errorString());
    return true;
}

bool Bookkeeper::write(const Entry &entry)
{
    if (m_store.update(entry)) {
        m_unconfirmed.remove(entry.transactionId);
        return true;
    }
    m_unconfirmed.insert(entry.transactionId, entry);
    distrust(m_store.errorString());
    return confirmAll();
}

// What a failed write left on disk is unknown: the file is opened afresh,
// each decision written again and read back.
bool Bookkeeper::confirmAll()
{
    m_store.close();
    if (!m_store.open(m_settings.path))
        return distrust(m_store.errorString());
    for (auto it = m_unconfirmed.begin(); it != m_unconfirmed.end();) {
        if (!confirm(it.value()))
            return false;
        m_logger->info(LogJournalRewritten, it.key());
        it = m_unconfirmed.erase(it);
    }
    return true;
}

bool Bookkeeper::confirm(const Entry &decided)
{
    Entry held;
    bool found = false;
    if (!m_store.find(decided.transactionId, &held, &found))
        return distrust(m_store.errorString());
    if (found || !agrees(decided, held, found)) {
        Entry rewritten = decided;
        if (found) {
            rewritten.created = held.created;
            rewritten.amount = held.amount;
            rewritten.currency = held.currency;
        }
        const bool written = found ? m_store.update(rewritten) : m_store.insert(rewritten);
        if (!written || !m_store.find(decided.transactionId, &held, &found)
            || !agrees(decided, held, found)) {
            m_logger->error(LogJournalDisagrees, decided.transactionId);
            return distrust(text(ReasonUnconfirmed).arg(m_store.errorString()));
        }
    }
    return true;
}

bool Bookkeeper::recover(int exchanges, bool honourBackOff)
{
    QList<Entry> due;
    if (!m_store.select(PaymentJournal::Selection::Due, &due))
        return lost(m_store.errorString());
    JournalRecovery recovery(m_logger, m_askStatus, m_void,
                             [this](const Entry &entry) { return write(entry); });
    return recovery.run(due, {exchanges, m_settings.retrySeconds, honourBackOff}, m_wallClock());
}

void Bookkeeper::pruneNow(int atMost)
{
    m_lastPrune = m_wallClock();
    // Only settled entries go, but a failure may be damage: the file is
    // opened and checked again before anything else is written to it.
    if (!m_store.prune(m_lastPrune - m_settings.keepSeconds, atMost))
        lost(m_store.errorString());
}

// A read or a prune failed: what else the file holds is unknown until it is
// opened and checked again, which the next trusted() does.
bool Bookkeeper::lost(const QString &reason)
{
    m_store.close();
    return distrust(reason);
}

bool Bookkeeper::distrust(const QString &reason)
{
    m_logger->error(LogJournalUnavailable, m_settings.path + QLatin1String(": ") + reason);
    return false;
}

} // namespace journal
} // namespace vesanu
