#include "options.h"
#include "simulator.h"

#include <QStringList>
#include <atomic>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <pthread.h>
#include <thread>

namespace {

QStringList argumentsOf(int argc, char **argv)
{
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    return arguments;
}

sigset_t stopSignals()
{
    sigset_t set;
    sigemptyset(&set);
    sigaddset(&set, SIGINT);
    sigaddset(&set, SIGTERM);
    return set;
}

// Stops the simulator on SIGINT or SIGTERM. The signals are blocked in every
// thread and taken here with sigwait, so stopping runs as ordinary code.
void watchSignals(sim::Simulator *simulator, std::atomic<bool> *signalled)
{
    const sigset_t set = stopSignals();
    int signal = 0;
    sigwait(&set, &signal);
    *signalled = true;
    // stop() is lost if it comes before the server loop starts: repeat it.
    while (!simulator->isFinished()) {
        simulator->stop();
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
}

} // namespace

int main(int argc, char **argv)
{
    const sigset_t set = stopSignals();
    pthread_sigmask(SIG_BLOCK, &set, nullptr);
    // A client that goes away mid-answer must not end the process.
    std::signal(SIGPIPE, SIG_IGN);

    sim::Options options;
    QString error;
    if (!sim::Options::parse(argumentsOf(argc, argv), &options, &error)) {
        std::fprintf(stderr, "vesanu-sim: %s (see --help)\n", qPrintable(error));
        return 2;
    }
    if (options.help) {
        std::fputs(qPrintable(sim::Options::helpText()), stdout);
        return 0;
    }
    sim::Simulator simulator(options);
    if (!simulator.bind()) {
        std::fprintf(stderr, "vesanu-sim: %s\n", qPrintable(simulator.errorString()));
        return 1;
    }
    std::printf("listening on %s\n", qPrintable(simulator.url()));
    std::fflush(stdout);

    std::atomic<bool> signalled { false };
    std::thread watcher(watchSignals, &simulator, &signalled);
    simulator.run();
    if (!signalled)
        kill(getpid(), SIGTERM); // wakes the watcher, which finds the server finished
    watcher.join();
    return 0;
}
