#include "payment.h"

#include "simconstants.h"

#include <QCryptographicHash>
#include <QJsonArray>

namespace sim {

namespace {

QByteArray hashOf(const QString &token)
{
    return QCryptographicHash::hash(token.toUtf8(), QCryptographicHash::Sha256);
}

QString stateName(Payment::State state)
{
    switch (state) {
    case Payment::State::Pending:
        return QLatin1String(state::Pending);
    case Payment::State::Paid:
        return QLatin1String(state::Paid);
    case Payment::State::Failed:
        return QLatin1String(state::Failed);
    case Payment::State::Reversed:
        return QLatin1String(state::Reversed);
    }
    return QString();
}

QString reversalName(Payment::Reversal reversal, Payment::State state)
{
    if (state == Payment::State::Reversed)
        return QLatin1String(state::Reversed);
    if (reversal == Payment::Reversal::Pending)
        return QLatin1String(state::Pending);
    if (reversal == Payment::Reversal::Failed)
        return QLatin1String(state::Failed);
    return QLatin1String(state::None);
}

Payment::State initialState(const Scenario &scenario)
{
    using Outcome = Scenario::Outcome;
    const bool immediate = scenario.outcomeArgument() == 0;
    switch (scenario.outcome()) {
    case Outcome::Paid:
        return Payment::State::Paid;
    case Outcome::Declined:
    case Outcome::Error:
        return Payment::State::Failed;
    case Outcome::DeclinedAfter:
        return immediate ? Payment::State::Failed : Payment::State::Pending;
    case Outcome::Pending:
    case Outcome::PendingMs:
    case Outcome::Flap:
        return immediate ? Payment::State::Paid : Payment::State::Pending;
    case Outcome::Never:
        break;
    }
    return Payment::State::Pending;
}

QString isoTime(const QDateTime &time)
{
    return time.toString(Qt::ISODateWithMs);
}

} // namespace

Payment::Payment(const Request &request, const Scenario &scenario, int paymentId, qint64 nowMs)
    : m_request(request)
    , m_tokenHash(hashOf(request.token))
    , m_maskedToken(maskToken(request.token))
    , m_scenario(scenario)
    , m_paymentId(paymentId)
    , m_phone(scenario.phone().isEmpty() ? QLatin1String(defaults::Phone) : scenario.phone())
    , m_state(initialState(scenario))
    , m_createdMs(nowMs)
    , m_created(QDateTime::currentDateTimeUtc())
    , m_updated(m_created)
{
    // Only the hash is kept: the ledger is shown to anyone who asks.
    m_request.token.clear();
}

bool Payment::sameContents(const Request &request) const
{
    return request.amount == m_request.amount && request.cashboxCode == m_request.cashboxCode
        && hashOf(request.token) == m_tokenHash;
}

void Payment::advance(qint64 nowMs)
{
    if (m_state != State::Pending)
        return;
    const qint64 age = nowMs - m_createdMs;
    const int confirmLate = m_scenario.confirmLateMs();
    if ((m_scenario.outcome() == Scenario::Outcome::PendingMs
            && age >= m_scenario.outcomeArgument())
        || (confirmLate >= 0 && age >= confirmLate))
        settle(State::Paid);
}

int Payment::countPaymentRequest(qint64 nowMs)
{
    advance(nowMs);
    touch();
    return ++m_paymentRequests;
}

int Payment::countStatusQuery(qint64 nowMs)
{
    advance(nowMs);
    touch();
    ++m_statusQueries;
    if (m_reversal == Reversal::Pending) {
        if (++m_reversalQueries >= m_scenario.reversePending())
            finishReversal();
        return m_statusQueries;
    }
    if (m_state != State::Pending || m_statusQueries < m_scenario.outcomeArgument())
        return m_statusQueries;
    switch (m_scenario.outcome()) {
    case Scenario::Outcome::Pending:
    case Scenario::Outcome::Flap:
        settle(State::Paid);
        break;
    case Scenario::Outcome::DeclinedAfter:
        settle(State::Failed);
        break;
    default:
        break;
    }
    return m_statusQueries;
}

bool Payment::canReverse() const
{
    return m_state != State::Failed;
}

int Payment::reverse(qint64 nowMs)
{
    advance(nowMs);
    touch();
    ++m_reversalRequests;
    // A pending payment is cancelled at once: nothing was paid, and no later
    // confirmation can complete it.
    if (m_state == State::Pending) {
        finishReversal();
        return m_reversalRequests;
    }
    // A reversed payment or one being reversed answers its state again.
    if (m_state == State::Paid && m_reversal != Reversal::Pending) {
        m_reversalQueries = 0;
        if (m_scenario.reversePending() > 0)
            m_reversal = Reversal::Pending;
        else
            finishReversal();
    }
    return m_reversalRequests;
}

void Payment::countRefusedReversal()
{
    touch();
    ++m_reversalRequests;
}

int Payment::addQrCode(const QString &qrCode, qint64 nowMs)
{
    advance(nowMs);
    touch();
    if (m_qrCodes.size() < limit::MaxStoredQrCodes)
        m_qrCodes << qrCode;
    return ++m_ofdRequests;
}

int Payment::wireStatus() const
{
    if (m_reversal == Reversal::Pending)
        return wire::ReversalPending;
    if (m_reversal == Reversal::Failed)
        return wire::Failed;
    switch (m_state) {
    case State::Pending:
        if (m_scenario.outcome() == Scenario::Outcome::Flap)
            return wire::Flap[static_cast<size_t>(m_statusQueries)
                % (sizeof wire::Flap / sizeof *wire::Flap)];
        return wire::Pending;
    case State::Paid:
        return wire::Paid;
    case State::Failed:
        return wire::Failed;
    case State::Reversed:
        return wire::Reversed;
    }
    return wire::Pending;
}

QJsonObject Payment::envelope() const
{
    QJsonObject object;
    object.insert(QLatin1String(key::ErrorCode), code::Ok);
    object.insert(QLatin1String(key::PaymentStatus), wireStatus());
    object.insert(QLatin1String(key::PaymentId), m_paymentId);
    object.insert(QLatin1String(key::PhoneNumber), m_phone);
    object.insert(QLatin1String(key::TransactionId), m_request.transactionId);
    return object;
}

QJsonObject Payment::paymentEnvelope() const
{
    QJsonObject object = envelope();
    if (m_scenario.outcome() == Scenario::Outcome::Error) {
        const int errorCode = m_scenario.outcomeArgument();
        object.insert(QLatin1String(key::ErrorCode), errorCode);
        object.insert(QLatin1String(key::ErrorNote),
            QLatin1String(note::ScenarioError) + QString::number(errorCode));
    }
    return object;
}

QJsonObject Payment::toLedgerJson() const
{
    QJsonObject object = paymentEnvelope();
    object.insert(QLatin1String(key::Amount), static_cast<double>(m_request.amount));
    object.insert(QLatin1String(key::OtpData), m_maskedToken);
    object.insert(QLatin1String(key::Scenario), m_scenario.text());
    object.insert(QLatin1String(key::CashboxCode), m_request.cashboxCode);
    object.insert(QLatin1String(key::BranchId), m_request.branchId);
    object.insert(QLatin1String(key::State), stateName(m_state));
    object.insert(QLatin1String(key::ReversalState), reversalName(m_reversal, m_state));
    object.insert(QLatin1String(key::PaymentRequests), m_paymentRequests);
    object.insert(QLatin1String(key::StatusQueries), m_statusQueries);
    object.insert(QLatin1String(key::ReversalRequests), m_reversalRequests);
    object.insert(QLatin1String(key::OfdRequests), m_ofdRequests);
    object.insert(QLatin1String(key::QrCodes), QJsonArray::fromStringList(m_qrCodes));
    object.insert(QLatin1String(key::Created), isoTime(m_created));
    object.insert(QLatin1String(key::Updated), isoTime(m_updated));
    return object;
}

QString Payment::maskToken(const QString &token)
{
    const int shownChars = 4;
    const QString stars = QStringLiteral("****");
    return token.size() >= 3 * shownChars ? stars + token.right(shownChars) : stars;
}

void Payment::settle(State state)
{
    m_state = state;
}

void Payment::finishReversal()
{
    if (m_scenario.reverseFailsAt(m_reversalRequests)) {
        m_reversal = Reversal::Failed;
        return;
    }
    m_reversal = Reversal::None;
    m_state = State::Reversed;
}

void Payment::touch()
{
    m_updated = QDateTime::currentDateTimeUtc();
}

} // namespace sim
