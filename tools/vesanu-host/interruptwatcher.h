#pragma once

#include <functional>
#include <thread>

#include <signal.h>

namespace vesanuhost {

// SIGINT and SIGTERM as the cash register's cancel key while a payment runs.
// The first asks the plug-in to interrupt the payment, again and again until
// it takes it (the payment may not have opened its wait yet); the plug-in
// then voids it and payment() answers as usual. A second one quits at once.
// The handler only writes a byte to a pipe; a thread of its own does the
// rest. One at a time; the signals' earlier handling is back once it is gone.
class InterruptWatcher
{
public:
    // Called from the watcher's thread; true when the plug-in took it.
    using Interrupt = std::function<bool()>;

    explicit InterruptWatcher(Interrupt interrupt);
    ~InterruptWatcher();
    InterruptWatcher(const InterruptWatcher &) = delete;
    InterruptWatcher &operator=(const InterruptWatcher &) = delete;

private:
    void run();
    bool readPipe(int *received);

    Interrupt m_interrupt;
    int m_pipe[2] = {-1, -1};
    struct sigaction m_previousInt = {};
    struct sigaction m_previousTerm = {};
    std::thread m_thread;
};

} // namespace vesanuhost
