#pragma once

#include "vesanu/journal/paymentjournal.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

// Journal files made, read and broken behind the store's back, with SQLite
// itself or plain file calls. Each fails the running test on an error.
namespace journaltest {

using vesanu::journal::PaymentJournal;

// Runs the statements on the database at `path`, made when missing. With
// `keepLog` the connection leaves its write-ahead log unfolded at close.
void execute(const QString &path, const QString &sql, bool keepLog = false);
// The first column of the first row of `sql`, as text ("" when none).
QString value(const QString &path, const QString &sql);
// One column of every row of `sql`, as text.
QStringList column(const QString &path, const QString &sql, int index);

QByteArray contents(const QString &path); // null when there is no file
void replace(const QString &path, const QByteArray &bytes);
QStringList filesIn(const QString &folder); // sorted

// A journal of the first build's format (user_version 1, WAL, no
// application_id) holding `rows`, each "id state created".
void makeVersion1(const QString &path, const QStringList &rows = QStringList());
// A current journal with `count` entries "fill-N" in `state`, made by the
// store and filled by SQLite in one commit; its log folded into the file.
void makeJournal(const QString &path, int count = 0, const QString &state = QStringLiteral("paid"),
                 qint64 created = 100);

PaymentJournal::Entry entry(const QString &id, qint64 created = 100,
                            PaymentJournal::State state = PaymentJournal::State::InFlight);
QStringList ids(const QList<PaymentJournal::Entry> &entries);

} // namespace journaltest
