#pragma once

#include "invocation.h"

#include <QString>
#include <QStringList>

class QCommandLineParser;

namespace vesanuhost {

// Reads "vesanu-host [common options] COMMAND [options]" into an Invocation.
// Common options are accepted before and after the command; every command
// has its own --help.
class CommandLine
{
public:
    bool parse(const QStringList &arguments);

    const Invocation &invocation() const { return m_invocation; }
    QString errorString() const { return m_error; }
    // The command line to ask for help with after an error.
    QString helpHint() const { return m_helpHint; }

    static QString overview();

private:
    bool parseCommand(const QString &program, const QString &command, const QStringList &rest);
    bool readCommandOptions(const QCommandLineParser &parser);
    bool readJournalAction(const QString &action);
    bool readJournalOptions(const QCommandLineParser &parser);
    bool readAmount(const QCommandLineParser &parser);
    bool readCurrency(const QCommandLineParser &parser);
    bool readRequired(const QCommandLineParser &parser, const char *name, QString *value);
    void readCommon(const QCommandLineParser &parser);
    bool checkCommon();
    bool fail(const QString &error);

    Invocation m_invocation;
    QString m_error;
    QString m_helpHint;
};

} // namespace vesanuhost
