// The file open is the file at the path (isAtPath()), and one writer has it.
#include "journaltestfiles.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <unistd.h>

using namespace journaltest;

namespace {

QByteArray name(const QString &path)
{
    return QFile::encodeName(path);
}

struct PathChange
{
    const char *what;
    void (*change)(const QString &path);
    const char *error; // empty: still at the path
    bool writerOnly = false; // a reader keeps no descriptor: only the path is looked at
};

const PathChange kPathChanges[] = {
    {"left alone", [](const QString &) {}, ""},
    {"removed", [](const QString &path) { ::unlink(name(path).constData()); }, "no longer at"},
    {"moved away",
     [](const QString &path) { ::rename(name(path).constData(), name(path + ".moved").constData()); },
     "no longer at"},
    {"replaced by a copy",
     [](const QString &path) {
         QFile::copy(path, path + QStringLiteral(".copy"));
         ::rename(name(path + ".copy").constData(), name(path).constData());
     },
     "another file"},
    {"replaced by a new journal",
     [](const QString &path) {
         ::unlink(name(path).constData());
         makeJournal(path);
     },
     "another file"},
    // What is not yet folded into the file lives in its log: a new log would
    // take the payments written since with it at the next start.
    {"its log removed", [](const QString &path) { ::unlink(name(path + "-wal").constData()); },
     "log", true},
    {"its log replaced by a copy",
     [](const QString &path) {
         QFile::copy(path + "-wal", path + QStringLiteral(".copy"));
         ::rename(name(path + ".copy").constData(), name(path + "-wal").constData());
     },
     "log", true},
    {"cut short in place", [](const QString &path) { ::truncate(name(path).constData(), 0); },
     "cut short", true},
};

} // namespace

TEST(JournalFile, IsAtPathTellsWhetherThePathStillHoldsIt)
{
    for (const PathChange &change : kPathChanges) {
        for (PaymentJournal::Access access : {PaymentJournal::Access::Write, PaymentJournal::Access::Read}) {
            SCOPED_TRACE(std::string(change.what)
                         + (access == PaymentJournal::Access::Write ? ", writer" : ", reader"));
            QTemporaryDir folder;
            const QString path = folder.filePath(QStringLiteral("journal.sqlite"));
            makeJournal(path);
            PaymentJournal journal;
            ASSERT_TRUE(journal.open(path, access)) << qPrintable(journal.errorString());
            change.change(path);
            const bool moved = *change.error && (access == PaymentJournal::Access::Write || !change.writerOnly);
            EXPECT_EQ(journal.isAtPath(), !moved);
            if (moved) {
                EXPECT_TRUE(journal.errorString().contains(QLatin1String(change.error)))
                    << qPrintable(journal.errorString());
            }
        }
    }
}

// The lock is on the file (flock of a descriptor of it), so it holds whatever
// path reaches the file. flock conflicts between open files, not processes:
// two opens in this process exclude each other as two processes do.
TEST(JournalFile, OneWriterWhateverPathReachesTheFile)
{
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("journal.sqlite"));
    const QString symlink = folder.filePath(QStringLiteral("symlink.sqlite"));
    const QString hardLink = folder.filePath(QStringLiteral("hardlink.sqlite"));
    PaymentJournal first;
    ASSERT_TRUE(first.open(path)) << qPrintable(first.errorString());
    ASSERT_EQ(::symlink(name(path).constData(), name(symlink).constData()), 0);
    ASSERT_EQ(::link(name(path).constData(), name(hardLink).constData()), 0);

    const struct
    {
        QString path;
        PaymentJournal::Access access;
        bool opens;
    } seconds[] = {
        {path, PaymentJournal::Access::Write, false},
        {symlink, PaymentJournal::Access::Write, false},
        {hardLink, PaymentJournal::Access::Write, false},
        {symlink, PaymentJournal::Access::Read, true},
    };
    for (const auto &second : seconds) {
        SCOPED_TRACE(qPrintable(second.path));
        PaymentJournal journal;
        EXPECT_EQ(journal.open(second.path, second.access), second.opens);
        if (!second.opens) {
            EXPECT_EQ(journal.errorString(), QStringLiteral("another process is using the journal"));
        }
    }
    EXPECT_FALSE(QFile::exists(path + QStringLiteral(".lock")));
    first.close();
    PaymentJournal after;
    EXPECT_TRUE(after.open(symlink)) << qPrintable(after.errorString());
}
