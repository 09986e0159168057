// A second host, built against the test SDK: it installs its own
// configuration store and RestClient creator, loads the plug-in built
// against the same SDK, takes one sale through it against vesanu-sim, and
// checks that the plug-in used the host's store and creator.

#include "checkout.h"
#include "hoststore.h"
#include "simulator.h"

#include "network/restclient.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QTemporaryDir>

#include <cstdio>

namespace {

const char Secret[] = "second-host-secret";
const char Branch[] = "B-SECOND-1";
const char Cashbox[] = "C-SECOND-1";
constexpr int Amount = 12345;
const char Token[] = "pending:2";
const char FiscalQr[] = "t=20240101T1200&s=123.45&fn=9999078900012345&i=1234&fp=2345678901&n=1";
const char IniPath[] = "/tessaroot/cash/paysystems/vesanu/vesanu.ini";

void say(const QString &line)
{
    std::printf("%s\n", qUtf8Printable(line));
    std::fflush(stdout);
}

bool writeIni(const QString &root, const QString &serviceUrl)
{
    const QString path = root + QLatin1String(IniPath);
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    file.write(QStringLiteral("[VesaNu]\nhost=%1\npath=/api/v1\ntimeout=5\npayDuration=30\n"
                              "statusRequestInterval=1\ncashboxCode=%2\nbranchId=%3\nsecretKey=%4\n"
                              "journal=%5/journal.sqlite\n")
                   .arg(serviceUrl, QLatin1String(Cashbox), QLatin1String(Branch), QLatin1String(Secret), root)
                   .toUtf8());
    return true;
}

// Every request the service counted for one sale.
int requestsFor(const QJsonObject &ledgerEntry)
{
    int requests = 0;
    for (const char *counter : {"payment_requests", "status_queries", "reversal_requests", "ofd_requests"})
        requests += ledgerEntry.value(QLatin1String(counter)).toInt();
    return requests;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication application(argc, argv);
    QCommandLineParser parser;
    parser.addOption({QStringLiteral("plugin"), QStringLiteral("The plug-in to load."), QStringLiteral("path")});
    parser.addOption({QStringLiteral("simulator"), QStringLiteral("vesanu-sim."), QStringLiteral("path")});
    parser.addHelpOption();
    parser.process(application);
    if (!parser.isSet(QStringLiteral("plugin")) || !parser.isSet(QStringLiteral("simulator")))
        parser.showHelp(2);

    // The host's own store and creator, in place before any plug-in loads.
    QTemporaryDir root;
    HostStore store(root.path());
    Singleton<Config>::instance = &store;
    int clients = 0;
    MockFactory<RestClient>::creator = [&clients] {
        ++clients;
        return QSharedPointer<RestClient>(new RestClient());
    };

    Simulator service(parser.value(QStringLiteral("simulator")),
                      {QStringLiteral("--secret"), QLatin1String(Secret), QStringLiteral("--branch"),
                       QLatin1String(Branch), QStringLiteral("--cashbox"), QLatin1String(Cashbox),
                       QStringLiteral("--quiet")});
    if (service.url().isEmpty() || !writeIni(root.path(), service.url())) {
        say(QStringLiteral("second host: the simulator did not start: %1").arg(service.errors()));
        return 1;
    }
    say(QStringLiteral("second host: Qt %1, simulator at %2").arg(QLatin1String(qVersion()), service.url()));

    bool passed = false;
    QString rrn;
    {
        Checkout checkout(QFileInfo(parser.value(QStringLiteral("plugin"))).absoluteFilePath(), service);
        passed = checkout.load() && checkout.pay(Amount, QLatin1String(Token))
                 && checkout.sendFiscalData(QLatin1String(FiscalQr)) && checkout.refund();
        rrn = checkout.rrn();
    }
    const QJsonObject ledgerEntry = service.payment(rrn);
    const int requests = requestsFor(ledgerEntry);
    say(QStringLiteral("ledger entry: %1")
            .arg(QString::fromUtf8(QJsonDocument(ledgerEntry).toJson(QJsonDocument::Compact))));

    say(QStringLiteral("host store: still the host's: %1; files loaded: %2; reads: %3")
            .arg(Singleton<Config>::instance == &store ? QStringLiteral("yes") : QStringLiteral("NO"))
            .arg(store.loadedFiles().join(QStringLiteral(", ")))
            .arg(store.reads()));
    say(QStringLiteral("host creator: %1 clients made; requests at the service: %2").arg(clients).arg(requests));
    const bool shared = Singleton<Config>::instance == &store
                        && store.loadedFiles() == QStringList{QLatin1String(IniPath)} && store.reads() > 0
                        && clients > 0 && clients == requests;
    if (!shared)
        say(QStringLiteral("CHECK FAILED: the plug-in used the host's store and creator"));
    Singleton<Config>::instance = nullptr;
    say(passed && shared ? QStringLiteral("second host: all checks passed")
                         : QStringLiteral("second host: FAILED"));
    return passed && shared ? 0 : 1;
}
