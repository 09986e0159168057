// One sample of loading a plug-in, in a process of its own: Qt's loader keeps
// a library it has loaded, so a second load in the same process costs nothing.
// Prints the microseconds from before loading to after the instance is ready
// (for a payment plug-in: created and initialised, as the host does it).
#include "contract/basicpaymentprocessing.h"

#include <QCoreApplication>
#include <QPluginLoader>
#include <cstdio>
#include <time.h>

namespace {

qint64 nowNs()
{
    timespec now {};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return qint64(now.tv_sec) * 1000000000 + now.tv_nsec;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: vesanu-bench-load PLUGIN\n");
        return 2;
    }
    const qint64 start = nowNs();
    QPluginLoader loader(QString::fromLocal8Bit(argv[1]));
    QObject *instance = loader.instance();
    if (!instance) {
        std::fprintf(stderr, "%s\n", qPrintable(loader.errorString()));
        return 1;
    }
    if (auto *processing = qobject_cast<BasicPaymentProcessing *>(instance))
        processing->init();
    const qint64 elapsed = nowNs() - start;
    std::printf("%lld\n", static_cast<long long>(elapsed / 1000));
    return 0;
}
