// The journal's refunds and cancels: kept for support, never recovered.

#include "vesanu/journal/paymentjournal.h"

#include "vesanu/journal/journalfile.h"
#include "vesanu/journal/statement.h"

namespace vesanu {
namespace journal {

bool PaymentJournal::insertRefund(Refund *refund)
{
    Statement insert(m_db, JournalFile::InsertRefund);
    if (!prepared(insert))
        return false;
    insert.bind(1, refund->transactionId);
    insert.bind(2, refund->amount);
    insert.bind(3, refund->created);
    insert.bind(4, QString::fromLatin1(refundStateName(refund->state)));
    insert.bind(5, qint64(refund->shiftNumber));
    insert.bind(6, qint64(refund->checkNumber));
    insert.bind(7, refund->documentId);
    insert.bind(8, refund->reason);
    if (!done(insert))
        return false;
    refund->id = sqlite3_last_insert_rowid(m_db);
    return true;
}

bool PaymentJournal::updateRefund(const Refund &refund)
{
    Statement update(m_db, JournalFile::UpdateRefund);
    if (!prepared(update))
        return false;
    update.bind(1, refund.id);
    update.bind(2, QString::fromLatin1(refundStateName(refund.state)));
    update.bind(3, refund.reason);
    return done(update) && changedOne(QStringLiteral("refund %1").arg(refund.id));
}

bool PaymentJournal::refunds(const QString &transactionId, QList<Refund> *refunds)
{
    refunds->clear();
    if (!m_db)
        return fail(QStringLiteral("not open"));
    // A journal of the first format holds no refunds.
    if (m_version != JournalFile::Version)
        return true;
    const QByteArray sql = "SELECT " + QByteArray(JournalFile::RefundColumns) + " FROM refunds "
                           + (transactionId.isNull() ? "" : "WHERE transaction_id = ?1 ")
                           + "ORDER BY created, id";
    Statement query(m_db, sql.constData());
    if (!query.isValid())
        return fail(QString());
    if (!transactionId.isNull())
        query.bind(1, transactionId);
    int step;
    while ((step = query.step()) == SQLITE_ROW) {
        Refund refund;
        refund.id = query.number(0);
        refund.transactionId = query.text(1);
        refund.amount = query.number(2);
        refund.created = query.number(3);
        const QString state = query.text(4);
        for (RefundState known : {RefundState::Sent, RefundState::Refunded, RefundState::Refused,
                                  RefundState::Undecided}) {
            if (state == QLatin1String(refundStateName(known)))
                refund.state = known;
        }
        refund.shiftNumber = int(query.number(5));
        refund.checkNumber = int(query.number(6));
        refund.documentId = query.text(7);
        refund.reason = query.text(8);
        refunds->append(refund);
    }
    if (step == SQLITE_DONE)
        return true;
    refunds->clear();
    return fail(QString());
}

const char *PaymentJournal::refundStateName(RefundState state)
{
    switch (state) {
    case RefundState::Sent:
        break;
    case RefundState::Refunded:
        return "refunded";
    case RefundState::Refused:
        return "refund-refused";
    case RefundState::Undecided:
        return "refund-undecided";
    }
    return "refund-sent";
}

} // namespace journal
} // namespace vesanu
