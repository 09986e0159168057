#include "interruptwatcher.h"

#include "console.h"
#include "hostconstants.h"

#include <cerrno>
#include <cstdlib>

#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

namespace vesanuhost {

namespace {

constexpr char SignalByte = 's';
constexpr char StopByte = 'q';
// How often an interrupt the plug-in refused is offered again.
constexpr int RetryMilliseconds = 50;

volatile sig_atomic_t signalPipe = -1;

// Async-signal-safe: one write, errno as it was.
void onSignal(int)
{
    const int savedErrno = errno;
    const int fd = signalPipe;
    if (fd >= 0) {
        const ssize_t written = write(fd, &SignalByte, 1);
        static_cast<void>(written);
    }
    errno = savedErrno;
}

// A signal ignored when the tool started (a background job's Ctrl-C, nohup)
// stays ignored, as every other program leaves it.
void catchSignal(int number, const struct sigaction &action, struct sigaction *previous)
{
    sigaction(number, nullptr, previous);
    if (previous->sa_handler != SIG_IGN)
        sigaction(number, &action, nullptr);
}

} // namespace

InterruptWatcher::InterruptWatcher(Interrupt interrupt)
    : m_interrupt(std::move(interrupt))
{
    // Non-blocking: the handler must never wait, the thread drains it whole.
    if (pipe2(m_pipe, O_CLOEXEC | O_NONBLOCK) != 0) {
        m_pipe[0] = m_pipe[1] = -1;
        return;
    }
    signalPipe = m_pipe[1];
    m_thread = std::thread(&InterruptWatcher::run, this);

    struct sigaction action = {};
    action.sa_handler = &onSignal;
    sigemptyset(&action.sa_mask);
    sigaddset(&action.sa_mask, SIGINT);
    sigaddset(&action.sa_mask, SIGTERM);
    // The plug-in's calls on the thread the signal lands on carry on.
    action.sa_flags = SA_RESTART;
    catchSignal(SIGINT, action, &m_previousInt);
    catchSignal(SIGTERM, action, &m_previousTerm);
}

InterruptWatcher::~InterruptWatcher()
{
    if (m_pipe[1] < 0)
        return;
    // The earlier handling first: a signal from now on is one outside the payment.
    sigaction(SIGINT, &m_previousInt, nullptr);
    sigaction(SIGTERM, &m_previousTerm, nullptr);
    const ssize_t written = write(m_pipe[1], &StopByte, 1);
    static_cast<void>(written);
    m_thread.join();
    signalPipe = -1;
    close(m_pipe[0]);
    close(m_pipe[1]);
}

void InterruptWatcher::run()
{
    int received = 0;
    bool taken = false;
    for (;;) {
        pollfd readable = {m_pipe[0], POLLIN, 0};
        const int ready = poll(&readable, 1, received > 0 && !taken ? RetryMilliseconds : -1);
        if (ready < 0 && errno != EINTR)
            return;
        if (ready > 0 && !readPipe(&received))
            return;
        if (received > 0 && !taken)
            taken = m_interrupt();
    }
}

// Takes what the pipe holds; false once asked to stop.
bool InterruptWatcher::readPipe(int *received)
{
    char byte = 0;
    while (read(m_pipe[0], &byte, 1) == 1) {
        if (byte == StopByte)
            return false;
        if (++*received == 1) {
            Console::writeLine(QString::fromUtf8(CancellingLine));
            continue;
        }
        // No destructors: the main thread is still inside the plug-in.
        Console::writeLine(QString::fromUtf8(QuitLine));
        std::_Exit(ExitInDoubt);
    }
    return true;
}

} // namespace vesanuhost
