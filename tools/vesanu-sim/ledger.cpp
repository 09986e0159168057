#include "ledger.h"

#include "simconstants.h"

#include <QDateTime>
#include <cstdio>

namespace sim {

namespace {

// HTTP 404 as well: no such transaction is no such resource.
Answer unknownTransaction(const QString &transactionId)
{
    Answer answer = Answer::refusal(code::UnknownTransaction,
        QLatin1String(note::UnknownTransaction), code::UnknownTransaction);
    answer.body.insert(QLatin1String(key::TransactionId), transactionId);
    return answer;
}

} // namespace

Ledger::Ledger(const QString &filePath)
    : m_nextPaymentId(defaults::FirstPaymentId)
    , m_file(filePath)
    , m_start(std::chrono::steady_clock::now())
{
    // Watchers find a file from the start, not only after the first payment.
    std::lock_guard<std::mutex> lock(m_mutex);
    changed();
}

Answer Ledger::pay(const Payment::Request &request, const Scenario &scenario)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    if (Payment *payment = find(request.transactionId)) {
        // The same payment asked again is never charged twice.
        if (!payment->sameContents(request)) {
            Answer answer = Answer::refusal(code::Conflict, QLatin1String(note::Conflict));
            answer.body.insert(QLatin1String(key::TransactionId), request.transactionId);
            return answer;
        }
        const int number = payment->countPaymentRequest(nowMs());
        changed();
        return Answer::of(payment->paymentEnvelope(),
            payment->scenario().faultsFor(Scenario::Target::Payment, number));
    }
    m_index.insert(request.transactionId, m_payments.size());
    m_payments.emplace_back(request, scenario, m_nextPaymentId++, nowMs());
    changed();
    const Payment &payment = m_payments.back();
    return Answer::of(payment.paymentEnvelope(), scenario.faultsFor(Scenario::Target::Payment, 1));
}

Answer Ledger::status(const QString &transactionId)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    Payment *payment = find(transactionId);
    if (!payment)
        return unknownTransaction(transactionId);
    const int number = payment->countStatusQuery(nowMs());
    changed();
    return Answer::of(
        payment->envelope(), payment->scenario().faultsFor(Scenario::Target::Status, number));
}

Answer Ledger::reverse(const QString &transactionId)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    Payment *payment = find(transactionId);
    if (!payment)
        return unknownTransaction(transactionId);
    payment->advance(nowMs());
    if (!payment->canReverse()) {
        payment->countRefusedReversal();
        changed();
        Answer answer = Answer::refusal(code::NotReversible, QLatin1String(note::NotReversible));
        answer.body.insert(QLatin1String(key::TransactionId), transactionId);
        answer.body.insert(QLatin1String(key::PaymentStatus), payment->wireStatus());
        return answer;
    }
    const int number = payment->reverse(nowMs());
    changed();
    return Answer::of(
        payment->envelope(), payment->scenario().faultsFor(Scenario::Target::Reversal, number));
}

Answer Ledger::submitQrCode(const QString &transactionId, const QString &qrCode)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    Payment *payment = find(transactionId);
    if (!payment)
        return unknownTransaction(transactionId);
    const int number = payment->addQrCode(qrCode, nowMs());
    changed();
    QJsonObject body;
    body.insert(QLatin1String(key::ErrorCode), code::Ok);
    body.insert(QLatin1String(key::TransactionId), transactionId);
    return Answer::of(body, payment->scenario().faultsFor(Scenario::Target::Ofd, number));
}

void Ledger::noteRefusal(const QString &method, const QString &path, const Answer &answer)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    QJsonObject refusal;
    refusal.insert(
        QLatin1String(key::Time), QDateTime::currentDateTimeUtc().toString(Qt::ISODateWithMs));
    refusal.insert(QLatin1String(key::Method), method);
    refusal.insert(QLatin1String(key::Path), path);
    refusal.insert(QLatin1String(key::ErrorCode), answer.errorCode());
    refusal.insert(QLatin1String(key::ErrorNote), answer.errorNote());
    m_refusals.append(refusal);
    while (m_refusals.size() > limit::MaxRefusals)
        m_refusals.removeFirst();
    changed();
}

QJsonObject Ledger::toJson()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return snapshot();
}

Payment *Ledger::find(const QString &transactionId)
{
    const auto found = m_index.constFind(transactionId);
    return found == m_index.constEnd() ? nullptr : &m_payments[found.value()];
}

qint64 Ledger::nowMs() const
{
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now() - m_start).count();
}

QJsonObject Ledger::snapshot()
{
    const qint64 now = nowMs();
    QJsonArray payments;
    for (Payment &payment : m_payments) {
        payment.advance(now);
        payments.append(payment.toLedgerJson());
    }
    QJsonObject ledger;
    ledger.insert(QLatin1String(key::Payments), payments);
    ledger.insert(QLatin1String(key::Refusals), m_refusals);
    return ledger;
}

QString Ledger::fileError() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_fileError;
}

void Ledger::changed()
{
    if (!m_file.isEnabled())
        return;
    const bool written = m_file.write(snapshot());
    m_fileError = written ? QString() : m_file.errorString();
    if (!written)
        std::fprintf(
            stderr, "vesanu-sim: cannot write the ledger file: %s\n", qPrintable(m_fileError));
}

} // namespace sim
