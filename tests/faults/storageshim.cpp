// Preloaded (LD_PRELOAD) into a program that writes a payment journal, it
// makes the journal's storage fail, as a failing or full disk would:
//   VESANU_STORAGE_FILE=NAME      the journal's file name (e.g. journal.sqlite):
//                                 only files whose path ends in NAME, NAME-wal
//                                 or NAME-shm are touched, nothing else
//   VESANU_STORAGE_FAULT=fsync:N  the N-th fsync() or fdatasync() of those
//                                 files fails with EIO, without syncing
//   VESANU_STORAGE_FAULT=write:N  the N-th write(), pwrite() or pwrite64() of
//                                 those files fails with ENOSPC, writing nothing
//   ...=fsync:N+ or write:N+      the N-th and every later one fails: a disk
//                                 that has gone for good
//   VESANU_STORAGE_FROM=connect:PORT
//                                 calls are counted only from the first
//                                 connect() to PORT on (the payment has left),
//                                 so that the syncs of opening the journal,
//                                 however many, do not move N
//   VESANU_STORAGE_TRACE=1        each counted call, its number and its file
//                                 on stderr, to find the N of a scenario
// Calls are counted per kind (fsync, write), 1 being the first; every other
// call goes through untouched.
#include <arpa/inet.h>
#include <dlfcn.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <sys/types.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <initializer_list>

namespace {

const char kConnect[] = "connect:";

bool endsWith(const char *text, size_t length, const char *tail)
{
    const size_t tailLength = std::strlen(tail);
    return length >= tailLength && std::memcmp(text + length - tailLength, tail, tailLength) == 0;
}

// Whether `fd` is open on one of the journal's files, whose path goes into `target`.
bool isJournalFile(int fd, char (&target)[4096])
{
    const char *name = std::getenv("VESANU_STORAGE_FILE");
    if (!name || !*name)
        return false;
    char link[64];
    std::snprintf(link, sizeof link, "/proc/self/fd/%d", fd);
    const ssize_t length = readlink(link, target, sizeof target - 1);
    if (length <= 0)
        return false;
    target[length] = '\0';
    char suffixed[512];
    for (const char *suffix : {"", "-wal", "-shm"}) {
        std::snprintf(suffixed, sizeof suffixed, "%s%s", name, suffix);
        if (endsWith(target, size_t(length), suffixed))
            return true;
    }
    return false;
}

bool g_counting = std::getenv("VESANU_STORAGE_FROM") == nullptr;

// True when this call, the count-th of its kind on the journal's files, is to fail.
bool failsNow(const char *kind, int *count, int fd)
{
    const char *fault = std::getenv("VESANU_STORAGE_FAULT");
    const size_t kindLength = std::strlen(kind);
    char target[4096];
    if (!g_counting || !fault || std::strncmp(fault, kind, kindLength) != 0
        || fault[kindLength] != ':' || !isJournalFile(fd, target))
        return false;
    char *end = nullptr;
    const long first = std::strtol(fault + kindLength + 1, &end, 10);
    const bool fails = *end == '+' ? ++*count >= first : ++*count == first;
    if (std::getenv("VESANU_STORAGE_TRACE"))
        std::fprintf(stderr, "storage shim: %s %d%s %s\n", kind, *count, fails ? " fails" : "",
                     target);
    return fails;
}

int portOf(const sockaddr *address)
{
    if (address->sa_family == AF_INET)
        return ntohs(reinterpret_cast<const sockaddr_in *>(address)->sin_port);
    if (address->sa_family == AF_INET6)
        return ntohs(reinterpret_cast<const sockaddr_in6 *>(address)->sin6_port);
    return -1;
}

int g_syncs = 0;
int g_writes = 0;

template<typename Function> Function real(const char *name)
{
    return reinterpret_cast<Function>(dlsym(RTLD_NEXT, name));
}

} // namespace

extern "C" {

int connect(int fd, const sockaddr *address, socklen_t length)
{
    static const auto next = real<int (*)(int, const sockaddr *, socklen_t)>("connect");
    const char *from = std::getenv("VESANU_STORAGE_FROM");
    if (!g_counting && address && std::strncmp(from, kConnect, sizeof kConnect - 1) == 0
        && portOf(address) == std::atoi(from + sizeof kConnect - 1))
        g_counting = true;
    return next(fd, address, length);
}

int fsync(int fd)
{
    static const auto next = real<int (*)(int)>("fsync");
    if (failsNow("fsync", &g_syncs, fd))
        return errno = EIO, -1;
    return next(fd);
}

int fdatasync(int fd)
{
    static const auto next = real<int (*)(int)>("fdatasync");
    if (failsNow("fsync", &g_syncs, fd))
        return errno = EIO, -1;
    return next(fd);
}

ssize_t write(int fd, const void *buffer, size_t count)
{
    static const auto next = real<ssize_t (*)(int, const void *, size_t)>("write");
    if (failsNow("write", &g_writes, fd))
        return errno = ENOSPC, -1;
    return next(fd, buffer, count);
}

ssize_t pwrite(int fd, const void *buffer, size_t count, off_t offset)
{
    static const auto next = real<ssize_t (*)(int, const void *, size_t, off_t)>("pwrite");
    if (failsNow("write", &g_writes, fd))
        return errno = ENOSPC, -1;
    return next(fd, buffer, count, offset);
}

ssize_t pwrite64(int fd, const void *buffer, size_t count, off64_t offset)
{
    static const auto next = real<ssize_t (*)(int, const void *, size_t, off64_t)>("pwrite64");
    if (failsNow("write", &g_writes, fd))
        return errno = ENOSPC, -1;
    return next(fd, buffer, count, offset);
}

} // extern "C"
