// Lets the test programs start children under qemu's i386 user-mode emulator.
//
// Qt's QProcess starts a child with clone(CLONE_PIDFD) once waitid(P_PIDFD)
// shows that the kernel knows pidfds. qemu-i386 (7.2, Debian 12) hands that
// waitid to the 64-bit kernel, which knows them, but refuses CLONE_PIDFD
// itself with EINVAL; Qt does not check that failure and takes an unset
// descriptor for the child, so every child is reported as crashed. Qt's other
// way (a SIGCHLD handler) is no way out there: qemu keeps one global
// descriptor table for all threads, so a thread that returns from a signal
// handler goes on with the newest thread's thread-local data.
//
// So the test programs, and only they, wrap libc's syscall(): when a
// fork-like clone with CLONE_PIDFD is refused with EINVAL, the child is
// started without the flag and its pidfd taken with pidfd_open, which the
// emulator carries. Where the kernel itself serves the clone, nothing changes.
#if defined(__linux__) && defined(__i386__)

#include <cerrno>
#include <csignal>
#include <cstdarg>
#include <dlfcn.h>
#include <sched.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#ifndef CLONE_PIDFD
#define CLONE_PIDFD 0x1000
#endif
#ifndef SYS_pidfd_open
#define SYS_pidfd_open 434
#endif

namespace {

using SyscallFunction = long (*)(long, ...);

SyscallFunction libcSyscall()
{
    static const SyscallFunction next
        = reinterpret_cast<SyscallFunction>(dlsym(RTLD_NEXT, "syscall"));
    return next;
}

bool refusedPidfdFork(long number, long result, long flags)
{
    return number == SYS_clone && result == -1 && errno == EINVAL && (flags & CLONE_PIDFD)
        && !(flags & CLONE_VM);
}

} // namespace

extern "C" long syscall(long number, ...) noexcept
{
    // No system call takes more than six arguments; reading unused ones off
    // the stack is what libc's own syscall() does too.
    long a[6];
    va_list list;
    va_start(list, number);
    for (long &argument : a)
        argument = va_arg(list, long);
    va_end(list);

    const SyscallFunction next = libcSyscall();
    const long result = next(number, a[0], a[1], a[2], a[3], a[4], a[5]);
    if (!refusedPidfdFork(number, result, a[0]))
        return result;

    // i386's clone takes (flags, stack, parent_tid, tls, child_tid); with
    // CLONE_PIDFD the pidfd goes where parent_tid points.
    int *pidfd = reinterpret_cast<int *>(a[2]);
    const long pid = next(SYS_clone, a[0] & ~long(CLONE_PIDFD), a[1], a[2], a[3], a[4]);
    if (pid <= 0)
        return pid;
    // The child stays a zombie until it is waited for, so its pid cannot
    // be taken by another process before pidfd_open.
    const long fd = next(SYS_pidfd_open, pid, 0);
    if (fd < 0) {
        // A child that cannot be waited for is not started: Qt reports the
        // -1 in the pidfd as a failure to start.
        const int error = errno;
        kill(static_cast<pid_t>(pid), SIGKILL);
        waitpid(static_cast<pid_t>(pid), nullptr, 0);
        *pidfd = -1;
        errno = error;
        return -1;
    }
    *pidfd = static_cast<int>(fd);
    return pid;
}

#endif
