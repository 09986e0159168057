// What the file holds after a write of the store failed on the disk: the
// storage shim fails the N-th sync or write of the journal's files in a child
// that inserts one entry, N the first that hits the insert's commit.
#include "journaltestfiles.h"

#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace journaltest;

namespace {

struct Fault
{
    const char *kind; // of VESANU_STORAGE_FAULT
    bool found; // the entry is there when the journal is opened again
    const char *why;
};

const Fault kFaults[] = {
    // The log's frames were written, then their sync failed: SQLite replays
    // them at the next open. A write that failed may still be on disk.
    {"fsync", true, "a commit whose sync failed is read back after a reopen"},
    // The first write of the commit failed: nothing of it is in the log.
    {"write", false, "a commit whose first write failed left nothing"},
};

QString runChild(const QString &path, const QString &fault)
{
    QProcess child;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("LD_PRELOAD"), QStringLiteral(VESANU_STORAGE_SHIM));
    environment.insert(QStringLiteral("VESANU_STORAGE_FILE"), QStringLiteral("journal.sqlite"));
    environment.insert(QStringLiteral("VESANU_STORAGE_FAULT"), fault);
#if defined(__SANITIZE_ADDRESS__)
    // The shim comes before AddressSanitizer's run time, which then must not object.
    environment.insert(QStringLiteral("ASAN_OPTIONS"),
                       environment.value(QStringLiteral("ASAN_OPTIONS"))
                           + QStringLiteral(":verify_asan_link_order=0"));
#endif
    child.setProcessEnvironment(environment);
    child.start(QStringLiteral(VESANU_JOURNAL_FAULT_CHILD), {path, QStringLiteral("tx-1")});
    EXPECT_TRUE(child.waitForFinished(30000));
    EXPECT_EQ(child.exitStatus(), QProcess::NormalExit);
    return QString::fromLocal8Bit(child.readAllStandardOutput());
}

} // namespace

TEST(JournalStorageFault, AFailedCommitMayStillBeOnDisk)
{
    for (const Fault &fault : kFaults) {
        SCOPED_TRACE(fault.why);
        bool hitTheInsert = false;
        for (int n = 1; n <= 30 && !hitTheInsert; ++n) {
            QTemporaryDir folder;
            const QString path = folder.filePath(QStringLiteral("journal.sqlite"));
            makeJournal(path);
            const QString output = runChild(path, QStringLiteral("%1:%2").arg(QLatin1String(fault.kind)).arg(n));
            // The fault fell in the open: refused, or in a write the open can do without.
            if (output.contains(QLatin1String("open: failed")) || output.contains(QLatin1String("insert: ok")))
                continue;
            ASSERT_TRUE(output.contains(QLatin1String("insert: failed"))) << qPrintable(output);
            hitTheInsert = true;
            EXPECT_TRUE(output.contains(fault.found ? QLatin1String("reopened: found")
                                                    : QLatin1String("reopened: absent")))
                << qPrintable(output);
            // And this process, opening it afresh, reads the same.
            PaymentJournal journal;
            ASSERT_TRUE(journal.open(path)) << qPrintable(journal.errorString());
            PaymentJournal::Entry read;
            bool found = !fault.found;
            ASSERT_TRUE(journal.find(QStringLiteral("tx-1"), &read, &found));
            EXPECT_EQ(found, fault.found);
        }
        EXPECT_TRUE(hitTheInsert);
    }
}
