#pragma once

#include <QByteArray>
#include <QStringList>

// Runs a program with posix_spawn: no shell and no copy of this process's
// memory, so the cost measured is the program's own. Its standard input is
// the given bytes; standard output and error are collected together.
class ChildProcess
{
public:
    struct Result
    {
        bool started = false;
        int exitCode = -1;
        QByteArray output;
    };

    static Result run(const QString &program, const QStringList &arguments,
        const QByteArray &input = QByteArray());

private:
    static QByteArray readAll(int fd);
    static void writeAll(int fd, const QByteArray &data);
};
