// The journal's file: its format, what open() refuses, how a new one is made.
#include "journaltestfiles.h"

#include "vesanu/journal/journalfile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <sys/stat.h>

using namespace journaltest;
using vesanu::journal::JournalFile;

namespace {

const PaymentJournal::Access kAccesses[] = {PaymentJournal::Access::Write,
                                            PaymentJournal::Access::Read};

const char *accessName(PaymentJournal::Access access)
{
    return access == PaymentJournal::Access::Write ? "write" : "read";
}

QString ourId()
{
    return QString::number(JournalFile::ApplicationId);
}

// A journal's page in the middle overwritten with junk, its log folded first.
void damage(const QString &path)
{
    makeJournal(path, 400);
    QByteArray bytes = contents(path);
    const int pageSize = value(path, QStringLiteral("PRAGMA page_size")).toInt();
    const int middle = bytes.size() / pageSize / 2;
    bytes.replace(middle * pageSize, pageSize, QByteArray(pageSize, '\x5a'));
    replace(path, bytes);
}

struct RefusedFile
{
    const char *what;
    void (*make)(const QString &path);
    const char *error; // a fragment of errorString()
};

const RefusedFile kRefusedFiles[] = {
    {"text, not SQLite",
     [](const QString &path) { replace(path, QByteArray("not a journal at all\n").repeated(200)); },
     "not an SQLite database"},
    {"an existing empty file", [](const QString &path) { replace(path, QByteArray()); }, "empty file"},
    {"SQLite without our table",
     [](const QString &path) { execute(path, QStringLiteral("CREATE TABLE notes (text TEXT)")); },
     "not a payment journal"},
    {"SQLite of another program",
     [](const QString &path) {
         makeJournal(path);
         execute(path, QStringLiteral("PRAGMA application_id = 1179602516"));
     },
     "another program's file"},
    {"a format-1 file without a column",
     [](const QString &path) {
         execute(path, QStringLiteral("CREATE TABLE payments (transaction_id TEXT PRIMARY KEY,"
                                      " amount, currency, created, state, attempts);"
                                      " PRAGMA user_version = 1"));
     },
     "not a payment journal"},
    // In WAL mode with the log unfolded: even a checkpoint would rewrite the file.
    {"a later format, its log unfolded",
     [](const QString &path) {
         makeJournal(path);
         execute(path,
                 QStringLiteral("PRAGMA journal_mode = WAL; PRAGMA user_version = 3;"
                                " INSERT INTO payments (transaction_id, amount, currency, created,"
                                " state) VALUES ('later', 1, 398, 1, 'a later state')"),
                 true);
     },
     "format 3, later than this build's 2"},
    {"a page overwritten", damage, "damaged (quick_check)"},
};

} // namespace

// Each is refused by a writer and a reader alike, and left byte for byte as it was.
TEST(JournalFormat, RefusesWhatIsNotAJournalOfOurs)
{
    for (const RefusedFile &file : kRefusedFiles) {
        for (PaymentJournal::Access access : kAccesses) {
            SCOPED_TRACE(std::string(file.what) + ", opened to " + accessName(access));
            QTemporaryDir folder;
            const QString path = folder.filePath(QStringLiteral("journal.sqlite"));
            file.make(path);
            const QByteArray before = contents(path);
            const QByteArray logBefore = contents(path + QStringLiteral("-wal"));

            PaymentJournal journal;
            EXPECT_FALSE(journal.open(path, access));
            EXPECT_FALSE(journal.isOpen());
            EXPECT_TRUE(journal.errorString().contains(QLatin1String(file.error)))
                << qPrintable(journal.errorString());
            journal.close();
            EXPECT_TRUE(contents(path) == before) << "the file was written";
            EXPECT_TRUE(contents(path + QStringLiteral("-wal")) == logBefore) << "its log was written";
        }
    }
}

TEST(JournalFormat, WriterMigratesVersion1InPlace)
{
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("journal.sqlite"));
    makeVersion1(path, {QStringLiteral("tx-open in-flight 100"), QStringLiteral("tx-paid paid 200")});

    PaymentJournal journal;
    ASSERT_TRUE(journal.open(path)) << qPrintable(journal.errorString());
    PaymentJournal::Entry found;
    bool there = false;
    ASSERT_TRUE(journal.find(QStringLiteral("tx-open"), &found, &there));
    ASSERT_TRUE(there);
    EXPECT_EQ(found.attempts, 2);
    EXPECT_EQ(found.nextAttempt, 500);
    EXPECT_EQ(found.questions, 0);
    EXPECT_EQ(found.reason, QString());
    found.questions = 3;
    found.reason = QStringLiteral("no answer");
    EXPECT_TRUE(journal.update(found)) << qPrintable(journal.errorString());
    QList<PaymentJournal::Entry> all;
    ASSERT_TRUE(journal.select(PaymentJournal::Selection::All, &all));
    EXPECT_EQ(ids(all), QStringList({QStringLiteral("tx-open"), QStringLiteral("tx-paid")}));
    journal.close();

    EXPECT_EQ(value(path, QStringLiteral("PRAGMA user_version")), QStringLiteral("2"));
    EXPECT_EQ(value(path, QStringLiteral("PRAGMA application_id")), ourId());
    EXPECT_EQ(value(path, QStringLiteral("SELECT reason FROM payments WHERE questions = 3")),
              QStringLiteral("no answer"));
}

TEST(JournalFormat, ReaderReadsVersion1AsItIs)
{
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("journal.sqlite"));
    makeVersion1(path, {QStringLiteral("tx-open void-pending 100")});
    const QByteArray before = contents(path);

    PaymentJournal journal;
    ASSERT_TRUE(journal.open(path, PaymentJournal::Access::Read)) << qPrintable(journal.errorString());
    QList<PaymentJournal::Entry> due;
    ASSERT_TRUE(journal.select(PaymentJournal::Selection::Due, &due));
    ASSERT_EQ(ids(due), QStringList(QStringLiteral("tx-open")));
    EXPECT_EQ(due.first().state, PaymentJournal::State::VoidPending);
    EXPECT_FALSE(due.first().acknowledged);
    journal.close();
    EXPECT_TRUE(contents(path) == before);
    EXPECT_EQ(value(path, QStringLiteral("PRAGMA user_version")), QStringLiteral("1"));
}

// Made whole beside the path, then put in place: the folder holds the journal
// and SQLite's two files of it, the group's to write whatever the umask.
TEST(JournalFormat, NewJournalIsCompleteAndTheGroups)
{
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("journal.sqlite"));
    const mode_t umask = ::umask(077);
    PaymentJournal journal;
    const bool opened = journal.open(path);
    ::umask(umask);
    ASSERT_TRUE(opened) << qPrintable(journal.errorString());
    EXPECT_EQ(filesIn(folder.path()),
              QStringList({QStringLiteral("journal.sqlite"), QStringLiteral("journal.sqlite-shm"),
                           QStringLiteral("journal.sqlite-wal")}));
    for (const QString &file : filesIn(folder.path())) {
        struct stat status;
        ASSERT_EQ(::stat(QFile::encodeName(folder.filePath(file)).constData(), &status), 0);
        EXPECT_EQ(status.st_mode & 0777, 0660u) << qPrintable(file);
    }
    EXPECT_EQ(value(path, QStringLiteral("PRAGMA user_version")), QStringLiteral("2"));
    EXPECT_EQ(value(path, QStringLiteral("PRAGMA application_id")), ourId());
    EXPECT_EQ(value(path, QStringLiteral("PRAGMA journal_mode")), QStringLiteral("wal"));
}

TEST(JournalFormat, MissingFolderIsAnErrorAndNotMade)
{
    QTemporaryDir folder;
    const QString missing = folder.filePath(QStringLiteral("gone"));
    for (PaymentJournal::Access access : kAccesses) {
        SCOPED_TRACE(accessName(access));
        PaymentJournal journal;
        EXPECT_FALSE(journal.open(missing + QStringLiteral("/journal.sqlite"), access));
        EXPECT_TRUE(journal.errorString().contains(missing)) << qPrintable(journal.errorString());
        EXPECT_FALSE(QFileInfo::exists(missing));
    }
}

TEST(JournalFormat, ReaderMakesNoJournal)
{
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("journal.sqlite"));
    PaymentJournal journal;
    EXPECT_FALSE(journal.open(path, PaymentJournal::Access::Read));
    EXPECT_TRUE(journal.errorString().contains(QLatin1String("no journal"))) << qPrintable(journal.errorString());
    EXPECT_TRUE(filesIn(folder.path()).isEmpty());
}
