#include "journalcheck.h"

#include "hostconstants.h"
#include "journalcommand.h"
#include "setupcheck.h"

#include "vesanu/journal/paymentjournal.h"

#include <QFileInfo>
#include <QStringList>

#include <sys/stat.h>

namespace vesanuhost {

using vesanu::journal::PaymentJournal;

namespace {

// Owner, group and mode as ls shows them, or nothing for a file not there.
bool describe(const QString &path, QString *text, unsigned *mode, QString *group)
{
    struct stat status = {};
    if (::stat(QFile::encodeName(path).constData(), &status) != 0)
        return false;
    const QFileInfo info(path);
    *mode = status.st_mode & 07777;
    *group = info.group();
    *text = QStringLiteral("%1 %2:%3 %4").arg(path, info.owner(), info.group()).arg(*mode, 4, 8, QLatin1Char('0'));
    return true;
}

} // namespace

void JournalCheck::run(SetupCheck *check, const QString &path, const QString &group)
{
    QString error;
    if (!JournalCommand::canWrite(path, &error)) {
        check->add(SetupCheck::Mark::Failed, QStringLiteral("journal %1 cannot be opened to write: %2").arg(path, error),
                   QStringLiteral("Stop a register that holds it; else give the register's group the folder "
                                  "(chgrp GROUP, chmod 2770) or mend the journal setting."));
        checkModes(check, path, group);
        return;
    }
    check->add(SetupCheck::Mark::Ok,
               QStringLiteral("journal %1 opened to write and closed: no register holds it").arg(path));
    checkModes(check, path, group);
    checkEntries(check, path);
}

void JournalCheck::checkModes(SetupCheck *check, const QString &path, const QString &group)
{
    const QString folder = QFileInfo(path).absolutePath();
    QString text, actualGroup;
    unsigned mode = 0;
    if (!describe(folder, &text, &mode, &actualGroup))
        return;
    if (mode != JournalFolderMode || (!group.isEmpty() && actualGroup != group))
        check->add(SetupCheck::Mark::Warning,
                   QStringLiteral("journal folder %1, not root:%2 2770").arg(text, group),
                   QStringLiteral("chgrp %1 %2 && chmod 2770 %2").arg(group, folder));
    else
        check->add(SetupCheck::Mark::Ok, QStringLiteral("journal folder %1").arg(text));
    QStringList files;
    for (const QString &file : {path, path + QLatin1String(JournalLogSuffix)}) {
        if (!describe(file, &text, &mode, &actualGroup))
            continue;
        if (mode != JournalFileMode)
            check->add(SetupCheck::Mark::Warning, QStringLiteral("journal file %1, not 0660").arg(text),
                       QStringLiteral("chmod 0660 %1").arg(file));
        else
            files << text;
    }
    if (!files.isEmpty())
        check->add(SetupCheck::Mark::Ok, QStringLiteral("journal files %1").arg(files.join(QStringLiteral(", "))));
}

void JournalCheck::checkEntries(SetupCheck *check, const QString &path)
{
    PaymentJournal journal;
    QList<PaymentJournal::Entry> open, abandoned;
    if (!journal.open(path, PaymentJournal::Access::Read) || !journal.select(PaymentJournal::Selection::Due, &open)
        || !journal.select(PaymentJournal::Selection::NeedsPerson, &abandoned)) {
        check->add(SetupCheck::Mark::Failed, QStringLiteral("journal %1 cannot be read: %2").arg(path, journal.errorString()),
                   QStringLiteral("Move the damaged journal aside for support; the plug-in makes a new one."));
        return;
    }
    const int voidPending = int(std::count_if(open.begin(), open.end(), [](const PaymentJournal::Entry &e) {
        return e.state == PaymentJournal::State::VoidPending;
    }));
    const QString counts = QStringLiteral("journal: %1 open (%2 void-pending), %3 abandoned")
                               .arg(open.size())
                               .arg(voidPending)
                               .arg(abandoned.size());
    if (abandoned.isEmpty())
        check->add(SetupCheck::Mark::Ok, counts);
    else
        check->add(SetupCheck::Mark::Failed, counts + QStringLiteral(": each needs a person"),
                   QStringLiteral("Reconcile each with the service, then: vesanu-host journal resolve --rrn ID --note TEXT."));
}

} // namespace vesanuhost
