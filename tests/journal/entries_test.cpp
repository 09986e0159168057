// What the store keeps, selects and deletes, and that every read error is one.
#include "journaltestfiles.h"

#include "vesanu/journal/journalfile.h"

#include <QRegularExpression>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace journaltest;
using vesanu::journal::JournalFile;
using State = PaymentJournal::State;
using Selection = PaymentJournal::Selection;

namespace {

const qint64 kKeepSince = 1000; // every entry below is older

class JournalEntries : public ::testing::Test
{
protected:
    void SetUp() override
    {
        path = folder.filePath(QStringLiteral("journal.sqlite"));
        makeJournal(path);
        ASSERT_TRUE(journal.open(path)) << qPrintable(journal.errorString());
    }

    // A row as another build, or a flipped byte, may have left it.
    void writeRaw(const QString &id, const QString &state)
    {
        execute(path, QStringLiteral("INSERT INTO payments (transaction_id, amount, currency, created,"
                                     " state) VALUES ('%1', 1, 398, 100, '%2')")
                          .arg(id, state));
    }

    QStringList selected(Selection selection)
    {
        QList<PaymentJournal::Entry> entries;
        EXPECT_TRUE(journal.select(selection, &entries)) << qPrintable(journal.errorString());
        return ids(entries);
    }

    QTemporaryDir folder;
    QString path;
    PaymentJournal journal;
};

// "Everything that is not a known final state is open."
const struct
{
    const char *text;
    State read;
    bool due;
    bool needsPerson;
    bool pruned; // when older than the keep age
} kStates[] = {
    {"in-flight", State::InFlight, true, false, false},
    {"void-pending", State::VoidPending, true, false, false},
    {"paid", State::Paid, false, false, true},
    {"settled", State::Settled, false, false, true},
    {"voided", State::Voided, false, false, true},
    {"abandoned", State::Abandoned, false, true, false},
    {"resolved", State::Resolved, false, false, false},
    {"refund-pending", State::InFlight, true, false, false}, // a later build's
    {"Paid", State::InFlight, true, false, false},
    {"pai\x04", State::InFlight, true, false, false}, // a flipped byte
    {"", State::InFlight, true, false, false},
};

} // namespace

TEST_F(JournalEntries, UnknownStatesAreOpenAndOnlyPaidSettledVoidedArePruned)
{
    QStringList due, needsPerson, kept;
    for (const auto &state : kStates) {
        const QString id = QStringLiteral("tx-%1").arg(QLatin1String(state.text));
        writeRaw(id, QLatin1String(state.text));
        if (state.due)
            due << id;
        if (state.needsPerson)
            needsPerson << id;
        if (!state.pruned)
            kept << id;
    }
    EXPECT_EQ(selected(Selection::Due), due);
    EXPECT_EQ(selected(Selection::NeedsPerson), needsPerson);
    QList<PaymentJournal::Entry> all;
    ASSERT_TRUE(journal.select(Selection::All, &all));
    ASSERT_EQ(all.size(), int(sizeof kStates / sizeof kStates[0]));
    for (int i = 0; i < all.size(); ++i) {
        SCOPED_TRACE(kStates[i].text);
        EXPECT_EQ(all[i].state, kStates[i].read);
        EXPECT_EQ(all[i].stateText, QLatin1String(kStates[i].text));
        EXPECT_EQ(PaymentJournal::isFinal(kStates[i].read), !kStates[i].due);
    }
    ASSERT_TRUE(journal.prune(kKeepSince, 100)) << qPrintable(journal.errorString());
    EXPECT_EQ(selected(Selection::All), kept);
}

TEST_F(JournalEntries, PruneIsBoundedOldestFirstAndKeepsTheYoung)
{
    for (int created = 1; created <= 10; ++created)
        ASSERT_TRUE(journal.insert(entry(QStringLiteral("tx-%1").arg(created), created, State::Paid)));
    ASSERT_TRUE(journal.prune(kKeepSince, 3));
    EXPECT_EQ(selected(Selection::All).first(), QStringLiteral("tx-4"));
    ASSERT_TRUE(journal.prune(8, 100));
    EXPECT_EQ(selected(Selection::All), QStringList({"tx-8", "tx-9", "tx-10"}));
}

TEST_F(JournalEntries, WritesEveryFieldAndUpdateNeedsTheEntry)
{
    PaymentJournal::Entry written = entry(QStringLiteral("tx-1"));
    ASSERT_TRUE(journal.insert(written)) << qPrintable(journal.errorString());
    EXPECT_FALSE(journal.insert(written)) << "the identifier is the key";
    written.state = State::VoidPending;
    written.attempts = 2;
    written.nextAttempt = 777;
    written.acknowledged = true;
    written.questions = 4;
    written.voids = 1;
    written.reason = QStringLiteral("the service did not answer");
    written.amount = 1; // not updated
    ASSERT_TRUE(journal.update(written)) << qPrintable(journal.errorString());
    ASSERT_TRUE(journal.update(written)) << "the same update again changes nothing and succeeds";
    PaymentJournal::Entry read;
    bool found = false;
    ASSERT_TRUE(journal.find(QStringLiteral("tx-1"), &read, &found));
    ASSERT_TRUE(found);
    EXPECT_EQ(read.state, State::VoidPending);
    EXPECT_EQ(read.stateText, QStringLiteral("void-pending"));
    EXPECT_EQ(read.amount, 12345);
    EXPECT_EQ(std::make_tuple(read.attempts, read.nextAttempt, read.acknowledged, read.questions,
                              read.voids, read.reason),
              std::make_tuple(2, qint64(777), true, 4, 1, written.reason));

    EXPECT_FALSE(journal.update(entry(QStringLiteral("tx-unknown"))));
    EXPECT_TRUE(journal.errorString().contains(QLatin1String("no entry tx-unknown")));
    ASSERT_TRUE(journal.find(QStringLiteral("tx-unknown"), &read, &found));
    EXPECT_FALSE(found);
}

// A state this build does not know stays in the file until the entry is settled.
TEST_F(JournalEntries, UnknownStateTextSurvivesAnUpdateUntilSettled)
{
    writeRaw(QStringLiteral("tx-later"), QStringLiteral("refund-pending"));
    PaymentJournal::Entry read;
    bool found = false;
    ASSERT_TRUE(journal.find(QStringLiteral("tx-later"), &read, &found));
    read.attempts = 1;
    ASSERT_TRUE(journal.update(read));
    EXPECT_EQ(value(path, QStringLiteral("SELECT state FROM payments WHERE attempts = 1")),
              QStringLiteral("refund-pending"));
    read.state = State::Settled;
    ASSERT_TRUE(journal.update(read));
    EXPECT_EQ(value(path, QStringLiteral("SELECT state FROM payments WHERE attempts = 1")),
              QStringLiteral("settled"));
}

// An index pointing at rows the table no longer has (quick_check does not
// compare them) is damage the open finds; a failed prepare (the table gone
// behind the store's back) and a failed step are errors, never an empty list.
TEST_F(JournalEntries, EveryReadErrorIsAnError)
{
    writeRaw(QStringLiteral("tx-1"), QStringLiteral("in-flight"));
    writeRaw(QStringLiteral("tx-2"), QStringLiteral("abandoned"));
    journal.close();
    // The indexes taken out of the schema, the rows deleted without them, the indexes put back.
    execute(path, QStringLiteral("CREATE TABLE saved AS SELECT * FROM sqlite_schema WHERE type = 'index'"
                                 " AND sql IS NOT NULL; PRAGMA writable_schema = ON; DELETE FROM"
                                 " sqlite_schema WHERE type = 'index' AND sql IS NOT NULL"));
    execute(path, QStringLiteral("DELETE FROM payments WHERE transaction_id IN ('tx-1', 'tx-2')"));
    execute(path, QStringLiteral("PRAGMA writable_schema = ON; INSERT INTO sqlite_schema SELECT * FROM saved"));
    execute(path, QStringLiteral("DROP TABLE saved"));
    EXPECT_FALSE(journal.open(path));
    EXPECT_TRUE(journal.errorString().contains(QLatin1String("damaged"))) << qPrintable(journal.errorString());
    PaymentJournal reader;
    ASSERT_TRUE(reader.open(path, PaymentJournal::Access::Read)) << qPrintable(reader.errorString());
    QList<PaymentJournal::Entry> entries{entry(QStringLiteral("stale"))};
    for (Selection selection : {Selection::Due, Selection::NeedsPerson}) {
        EXPECT_FALSE(reader.select(selection, &entries));
        EXPECT_TRUE(entries.isEmpty());
        EXPECT_TRUE(reader.errorString().contains(QLatin1String("malformed")))
            << qPrintable(reader.errorString());
    }
    reader.close();

    execute(path, QStringLiteral("REINDEX"));
    ASSERT_TRUE(journal.open(path)) << qPrintable(journal.errorString());
    execute(path, QStringLiteral("ALTER TABLE payments RENAME TO gone"));
    for (Selection selection : {Selection::Due, Selection::NeedsPerson, Selection::All}) {
        entries = {entry(QStringLiteral("stale"))};
        EXPECT_FALSE(journal.select(selection, &entries));
        EXPECT_TRUE(entries.isEmpty());
        EXPECT_TRUE(journal.errorString().contains(QLatin1String("no such table")))
            << qPrintable(journal.errorString());
    }
    PaymentJournal::Entry read;
    bool found = true;
    EXPECT_FALSE(journal.find(QStringLiteral("tx-1"), &read, &found));
}

// Each scan searches an index holding what it wants, not the whole table.
TEST_F(JournalEntries, ScansUseTheirIndexes)
{
    const struct
    {
        QByteArray sql;
        const char *index;
    } queries[] = {
        {QByteArray("SELECT * FROM payments ") + JournalFile::WhereDue + " " + JournalFile::OrderByAge,
         "USING INDEX payments_due"},
        {QByteArray("SELECT * FROM payments ") + JournalFile::WhereNeedsPerson + " "
             + JournalFile::OrderByAge,
         "USING INDEX payments_needs_person"},
        {QByteArray("SELECT * FROM payments ") + JournalFile::WhereTransaction,
         "USING INDEX sqlite_autoindex_payments_1 (transaction_id=?)"},
        {JournalFile::Prune, "USING INDEX payments_prunable (created<?)"},
        {JournalFile::Update, "USING INDEX sqlite_autoindex_payments_1 (transaction_id=?)"},
    };
    journal.close();
    for (const auto &query : queries) {
        const QString plan =
            column(path, QStringLiteral("EXPLAIN QUERY PLAN ") + QString::fromUtf8(query.sql), 3)
                .join(QStringLiteral("; "));
        EXPECT_TRUE(plan.contains(QLatin1String(query.index))) << qPrintable(plan);
        EXPECT_FALSE(plan.contains(QRegularExpression(QStringLiteral("SCAN payments(;|$)"))))
            << qPrintable(plan);
    }
}
