#include "vesanu/api/hostheaders.h"

#include "vesanu/journal/paymentjournal.h"

#include "vesanu/journal/journalrecovery.h"

#include <QFile>
#include <QTemporaryDir>

#include <sys/stat.h>

#include <gtest/gtest.h>

using vesanu::journal::JournalRecovery;
using vesanu::api::Outcome;
using vesanu::journal::PaymentJournal;
using State = PaymentJournal::State;
using Reply = JournalRecovery::Reply;

namespace {

const qint64 kNow = 1800000000;
const qint64 kDay = 24 * 3600;
const JournalRecovery::Limits kAtStart{3, 7 * kDay, false};
const JournalRecovery::Limits kBeforePayment{2, 7 * kDay, true};

const Reply kPaid{Outcome::Answered, 2, {}};
const Reply kPending{Outcome::Answered, 1, {}};
const Reply kFailed{Outcome::Answered, -1, {}};
const Reply kReversed{Outcome::Answered, 3, {}};
const Reply kNotFound{Outcome::NotFound, 0, {}};
const Reply kLost{Outcome::NoAnswer, 0, {}};
const Reply kUnreachable{Outcome::NeverSent, 0, {}};
const Reply kRefusedFailed{Outcome::Refused, -1, {}};

struct RecoveryCase
{
    const char *name;
    State state;
    qint64 ageSeconds;
    qint64 dueInSeconds; // the entry's back-off ends this long from now
    bool acknowledged; // the service had answered about it before
    JournalRecovery::Limits limits;
    Reply status;
    Reply voided;
    const char *exchanges; // S status question, V void
    State after;
    int attempts = 0; // failed attempts before this run
};

// What one run does with one entry: which exchanges it spends and what the
// journal holds afterwards. A success is never open, so never touched.
const RecoveryCase kCases[] = {
    {"in flight, paid: voided", State::InFlight, 60, 0, false, kAtStart, kPaid, kReversed, "SV",
     State::Voided},
    {"in flight, pending: voided", State::InFlight, 60, 0, false, kAtStart, kPending, kReversed,
     "SV", State::Voided},
    {"in flight, no answer: voided", State::InFlight, 60, 0, false, kAtStart, kLost, kReversed,
     "SV", State::Voided},
    {"in flight, unknown: void confirms it", State::InFlight, 60, 0, false, kAtStart, kNotFound,
     kNotFound, "SV", State::Voided},
    // The status named the payment: "not known" to its void proves nothing.
    {"in flight, paid, void not known: pending", State::InFlight, 60, 0, false, kAtStart, kPaid,
     kNotFound, "SV", State::VoidPending},
    {"in flight, acknowledged before, not known: pending", State::InFlight, 60, 0, true, kAtStart,
     kNotFound, kNotFound, "SV", State::VoidPending},
    {"void pending, acknowledged, void not known: pending", State::VoidPending, 60, 0, true,
     kAtStart, kPaid, kNotFound, "V", State::VoidPending},
    // A refused void reads Failed too, and the register may have died after sending one.
    {"in flight, Failed: voided", State::InFlight, 60, 0, false, kAtStart, kFailed, kReversed,
     "SV", State::Voided},
    {"in flight, Failed and not reversible: closed", State::InFlight, 60, 0, false, kAtStart,
     kFailed, kRefusedFailed, "SV", State::Settled},
    {"in flight, Reversed: closed", State::InFlight, 60, 0, false, kAtStart, kReversed, kReversed,
     "S", State::Voided},
    {"in flight, service unreachable: later", State::InFlight, 60, 0, false, kAtStart,
     kUnreachable, kReversed, "S", State::InFlight},
    {"in flight, void refused: pending", State::InFlight, 60, 0, false, kAtStart, kPaid, kFailed,
     "SV", State::VoidPending},
    {"void pending: voided again at once", State::VoidPending, 60, 600, false, kAtStart, kFailed,
     kReversed, "V", State::Voided},
    {"void pending, refused again: still pending", State::VoidPending, 60, 0, false, kAtStart,
     kPaid, kLost, "V", State::VoidPending},
    {"void pending, a failed payment is not reversible: closed", State::VoidPending, 60, 0, false,
     kAtStart, kFailed, kRefusedFailed, "V", State::Settled},
    {"before a payment, backing off: left alone", State::VoidPending, 60, 600, false,
     kBeforePayment, kPaid, kReversed, "", State::VoidPending},
    {"before a payment, back-off over: voided", State::VoidPending, 60, -1, false, kBeforePayment,
     kPaid, kReversed, "V", State::Voided},
    // Given up only after it was asked about and voided once: a register off
    // for a week, or a clock that jumped, still voids first.
    {"older than its retry age: voided first", State::InFlight, 8 * kDay, 0, false, kAtStart,
     kPaid, kReversed, "SV", State::Voided},
    // Nor does age alone: a clock that jumped makes the service refuse the void too.
    {"older than its retry age, void refused once: pending", State::InFlight, 8 * kDay, 0, false,
     kAtStart, kPaid, kFailed, "SV", State::VoidPending},
    {"older than its retry age, refused a day long: abandoned", State::InFlight, 8 * kDay, 0,
     false, kAtStart, kPaid, kFailed, "SV", State::Abandoned, 24},
    {"void pending past its age: asked, then abandoned", State::VoidPending, 8 * kDay, 0, true,
     kAtStart, kPaid, kFailed, "SV", State::Abandoned, 24},
    // A back-off written while the clock was a year ahead is over.
    {"before a payment, back-off from a clock far ahead: voided", State::VoidPending, 60,
     365 * kDay, false, kBeforePayment, kPaid, kReversed, "V", State::Voided},
};

class JournalRecoveryTable : public ::testing::TestWithParam<RecoveryCase>
{
};

std::string caseName(const ::testing::TestParamInfo<RecoveryCase> &info)
{
    std::string name;
    for (const char *c = info.param.name; *c; ++c)
        name += std::isalnum(static_cast<unsigned char>(*c)) ? *c : '_';
    return name;
}

Log4Qt::Logger *quietLogger()
{
    return Log4Qt::LogManager::logger("vesanu", QString());
}

} // namespace

TEST_P(JournalRecoveryTable, SettlesAnOpenEntry)
{
    const RecoveryCase &c = GetParam();
    PaymentJournal::Entry entry;
    entry.transactionId = "tx-1";
    entry.amount = 4550;
    entry.created = kNow - c.ageSeconds;
    entry.state = c.state;
    entry.nextAttempt = kNow + c.dueInSeconds;
    entry.acknowledged = c.acknowledged;
    entry.attempts = c.attempts;

    std::string spent;
    PaymentJournal::Entry written = entry;
    JournalRecovery recovery(
        quietLogger(), [&](const QString &) { return spent += 'S', c.status; },
        [&](const QString &) { return spent += 'V', c.voided; },
        [&](const PaymentJournal::Entry &change) { return written = change, true; });
    EXPECT_TRUE(recovery.run({entry}, c.limits, kNow));

    EXPECT_EQ(spent, c.exchanges);
    EXPECT_EQ(PaymentJournal::stateName(written.state), std::string(PaymentJournal::stateName(c.after)));
}

INSTANTIATE_TEST_SUITE_P(Recovery, JournalRecoveryTable, ::testing::ValuesIn(kCases), caseName);

// Three entries in flight at start: the host waits for three exchanges, not
// six; and a write the journal cannot confirm stops the run.
TEST(JournalRecoveryBound, AStartSpendsAtMostThreeExchangesAndStopsOnAFailedWrite)
{
    QList<PaymentJournal::Entry> due;
    for (const char *id : {"a", "b", "c"}) {
        PaymentJournal::Entry entry;
        entry.transactionId = id;
        entry.created = kNow;
        due << entry;
    }
    int exchanges = 0;
    QStringList voided;
    JournalRecovery recovery(
        quietLogger(), [&](const QString &) { return ++exchanges, kPaid; },
        [&](const QString &) { return ++exchanges, kReversed; },
        [&](const PaymentJournal::Entry &change) {
            if (change.state == State::Voided)
                voided << change.transactionId;
            return true;
        });
    EXPECT_TRUE(recovery.run(due, kAtStart, kNow));
    EXPECT_EQ(exchanges, 3);
    EXPECT_EQ(voided, QStringList{"a"}) << "the first voided, the rest left for later";

    exchanges = 0;
    JournalRecovery failing(
        quietLogger(), [&](const QString &) { return ++exchanges, kPaid; },
        [&](const QString &) { return ++exchanges, kReversed; },
        [](const PaymentJournal::Entry &) { return false; });
    EXPECT_FALSE(failing.run(due, {10, 7 * kDay, false}, kNow));
    EXPECT_EQ(exchanges, 2) << "nothing more is sent on a journal that does not take its writes";
}

// The register's group shares the folder: whoever made the file, the
// register can write it; and a second process (a support command beside the
// running register) gets no journal rather than settling payments under way.
TEST(PaymentJournalFile, IsTheGroupsAndOneProcesssAtATime)
{
    QTemporaryDir directory;
    const QString path = directory.filePath(QStringLiteral("journal.sqlite"));
    const mode_t previous = ::umask(022);
    PaymentJournal journal;
    const bool opened = journal.open(path);
    ::umask(previous);
    ASSERT_TRUE(opened) << journal.errorString().toStdString();
    EXPECT_TRUE(QFile::permissions(path) & QFileDevice::WriteGroup);

    PaymentJournal second;
    EXPECT_FALSE(second.open(path));
    EXPECT_EQ(second.errorString(), QStringLiteral("another process is using the journal"));
    journal.close();
    EXPECT_TRUE(second.open(path)) << "the lock goes with its holder";
}
