#pragma once

#include <QSet>
#include <QString>
#include <QStringList>

namespace sim {

// The simulator's command line.
class Options
{
public:
    QString listen;
    int port;
    QString certFile;
    QString keyFile;
    QString secret;
    QSet<QString> branches;
    QSet<QString> cashboxes;
    QString basePath;
    int skewSeconds;
    // Added to the simulator's clock when it checks "Auth" timestamps.
    int clockOffsetSeconds = 0;
    QString ledgerFile;
    int threads;
    int keepAliveSeconds;
    bool quiet = false;
    bool help = false;

    Options();

    // arguments[0] is the program name. False with a reason on a bad option.
    static bool parse(const QStringList &arguments, Options *options, QString *error);
    static QString helpText();
    bool isHttps() const { return !certFile.isEmpty(); }

private:
    static QString normalizedBasePath(const QString &path);
};

} // namespace sim
