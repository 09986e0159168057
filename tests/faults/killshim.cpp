// Preloaded into vesanu-host (LD_PRELOAD), it kills the process with SIGKILL
// at one point of a payment, from outside the plug-in's code, as a crash or
// a power cut would. VESANU_KILL_AT chooses the point:
//   connect:PORT   the first connect() to PORT: nothing has left yet
//   answered:PORT  the first write to the journal's log (its "-wal" file)
//                  after a connect() to PORT: the service's answer is in and
//                  not yet recorded (nothing else writes the journal then)
#include <arpa/inet.h>
#include <dlfcn.h>
#include <netinet/in.h>
#include <signal.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

const char kConnect[] = "connect:";
const char kAnswered[] = "answered:";

bool requestSent = false;

const char *argumentOf(const char *prefix)
{
    const char *point = std::getenv("VESANU_KILL_AT");
    return point && std::strncmp(point, prefix, std::strlen(prefix)) == 0
        ? point + std::strlen(prefix)
        : nullptr;
}

void die()
{
    kill(getpid(), SIGKILL);
}

bool isJournalLog(int fd)
{
    char link[64];
    std::snprintf(link, sizeof link, "/proc/self/fd/%d", fd);
    char target[4096];
    const ssize_t length = readlink(link, target, sizeof target - 1);
    return length > 4 && std::memcmp(target + length - 4, "-wal", 4) == 0;
}

void beforeWrite(int fd)
{
    if (requestSent && isJournalLog(fd))
        die();
}

int portOf(const sockaddr *address)
{
    if (address->sa_family == AF_INET)
        return ntohs(reinterpret_cast<const sockaddr_in *>(address)->sin_port);
    if (address->sa_family == AF_INET6)
        return ntohs(reinterpret_cast<const sockaddr_in6 *>(address)->sin6_port);
    return -1;
}

template<typename Function> Function real(const char *name)
{
    return reinterpret_cast<Function>(dlsym(RTLD_NEXT, name));
}

} // namespace

extern "C" {

int connect(int fd, const sockaddr *address, socklen_t length)
{
    static const auto next = real<int (*)(int, const sockaddr *, socklen_t)>("connect");
    const int port = address ? portOf(address) : -1;
    const char *killAt = argumentOf(kConnect);
    if (killAt && port == std::atoi(killAt))
        die();
    const char *answeredAt = argumentOf(kAnswered);
    if (answeredAt && port == std::atoi(answeredAt))
        requestSent = true;
    return next(fd, address, length);
}

ssize_t pwrite(int fd, const void *buffer, size_t count, off_t offset)
{
    static const auto next = real<ssize_t (*)(int, const void *, size_t, off_t)>("pwrite");
    beforeWrite(fd);
    return next(fd, buffer, count, offset);
}

ssize_t pwrite64(int fd, const void *buffer, size_t count, off64_t offset)
{
    static const auto next = real<ssize_t (*)(int, const void *, size_t, off64_t)>("pwrite64");
    beforeWrite(fd);
    return next(fd, buffer, count, offset);
}

ssize_t write(int fd, const void *buffer, size_t count)
{
    static const auto next = real<ssize_t (*)(int, const void *, size_t)>("write");
    beforeWrite(fd);
    return next(fd, buffer, count);
}

} // extern "C"
