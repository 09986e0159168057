#pragma once

#include "invocation.h"

#include <QJsonObject>
#include <QString>

namespace vesanuhost {

// "journal" without the plug-in: the listing, its metrics, and a person's
// reconciliation of an abandoned entry. What to print and the exit code;
// the caller prints.
class JournalCommand
{
public:
    struct Result
    {
        int exitCode;
        QString output; // for stdout
        QString error; // for stderr, without the tool's name
    };

    explicit JournalCommand(const Invocation &invocation);

    Result list(qint64 now) const;
    Result resolve() const;

    // Opens the journal to write and closes it again: it can be written and
    // no register holds it. False with *error saying why.
    static bool canWrite(const QString &path, QString *error);

private:
    Result metrics(qint64 now) const;
    QString format(const QJsonObject &json, const QString &text) const;

    Invocation m_invocation;
};

} // namespace vesanuhost
