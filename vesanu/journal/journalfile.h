#pragma once

#include <QByteArray>
#include <QString>

struct sqlite3;

namespace vesanu {
namespace journal {

// The payment journal's file format: how a new file is made, how a file is
// told to be a journal of ours, and how a format-1 file is brought up to
// date. PaymentJournal's helper; nothing else uses it but the tests.
//
// The rules, checked at every open (JournalFile::inspect) before anything is
// written to the file; a refused file is left exactly as it was (the
// connection does not even checkpoint its log when it closes):
//   - It is an SQLite database: else "not an SQLite database".
//   - PRAGMA application_id is ours (ApplicationId) or, for format 1 only,
//     0: format 1 predates the id. Any other id is another program's file.
//   - PRAGMA user_version with our id: 2 (Version) is this build's format;
//     later than 2 is a later build's journal, refused naming both versions
//     and never written; earlier is not a format we wrote. With id 0: 1 is
//     the first build's format (columns transaction_id to next_attempt),
//     anything else (0: a database nobody made a journal of) is not a journal.
//   - The table "payments" has every column of its version, and format 2
//     its table "refunds".
//   - PRAGMA quick_check says "ok" (the file's structure; it does not
//     compare indexes with the table: PaymentJournal reports what a read
//     finds then).
// A writer migrates format 1 in place, in one transaction: the columns of
// format 2 added with their defaults, the indexes and the refunds table
// made, application_id and user_version set. A reader reads format 1 as it is, the new fields
// at their defaults.
//
// A new journal is made complete under a temporary name beside the path and
// only then linked to the path, so that a file at the path is always a
// whole journal, whatever stopped its making (see create()).
class JournalFile
{
public:
    static const int Version = 2;
    static const int ApplicationId = 0x564e4a4c; // "VNJL": VesaNu journal

    // The SQL of the store, here so that its tests can ask SQLite how it
    // runs each one (EXPLAIN QUERY PLAN). "state" holds
    // PaymentJournal::stateName(); the final states are paid, settled,
    // voided, abandoned and resolved, and each WHERE below is word for word
    // the WHERE of its partial index, so that SQLite uses the index.
    static const char ColumnsV2[]; // the columns an Entry is read from, in order
    static const char ColumnsV1[]; // the same of a format-1 file
    static const char WhereDue[];
    static const char WhereNeedsPerson[];
    static const char OrderByAge[];
    static const char WhereTransaction[];
    // ?1 to ?8 in both: transaction_id, state, attempts, next_attempt,
    // acknowledged, questions, voids, reason; Insert's ?9 to ?14: amount,
    // currency, created, shift_number, check_number, document_id.
    static const char Insert[];
    static const char Update[];
    static const char Prune[];
    // The refunds of format 2: RefundColumns in order; InsertRefund's ?1 to
    // ?8 transaction_id, amount, created, state, shift_number, check_number,
    // document_id, reason; UpdateRefund's ?1 id, ?2 state, ?3 reason.
    static const char RefundColumns[];
    static const char InsertRefund[];
    static const char UpdateRefund[];
    static const char PruneRefunds[];

    // Makes a complete journal at `path`, in a folder that exists. True too
    // when another process made one there meanwhile (the caller opens
    // whatever is at the path); false with *error otherwise, nothing left.
    static bool create(const QString &path, QString *error);

    // The format (1 or 2) of the journal open in `db`, which is checked by
    // the rules above and left unwritten; 0 with *error when it is refused.
    static int inspect(sqlite3 *db, QString *error);

    // The open entries found through their index and by reading every row
    // agree: quick_check does not compare an index with its table, and a
    // damaged index would hide an open payment, or name a settled one.
    static bool indexesAgree(sqlite3 *db, QString *error);

    // Brings a format-1 journal to format 2 in one transaction.
    static bool migrate(sqlite3 *db, QString *error);

    // One statement or more, run to the end; false with *error (SQLite's words).
    static bool execute(sqlite3 *db, const char *sql, QString *error);

    // What tells a file from another, and what open() needs to know of it.
    struct Status
    {
        quint64 device = 0;
        quint64 inode = 0;
        bool isFile = false;
        qint64 size = 0;
        quint64 links = 0;
    };
    // Of the file at `name`, or else of the open file `fd`; false with errno set.
    static bool status(const QByteArray *name, int fd, Status *status);

    // The folder's entry of a new file must reach the disk too, or a power
    // cut can take the file with it: SQLite syncs files, not their folder.
    static bool syncFolder(const QString &path, QString *error);
};

} // namespace journal
} // namespace vesanu
