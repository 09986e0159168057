// Preloaded (LD_PRELOAD) into a program that writes a payment journal, it
// makes the journal's storage fail once, as a failing or full disk would:
//   VESANU_STORAGE_FILE=NAME     the journal's file name (e.g. journal.sqlite):
//                                only files whose path ends in NAME, NAME-wal
//                                or NAME-shm are touched, nothing else
//   VESANU_STORAGE_FAULT=fsync:N the N-th fsync() or fdatasync() of those
//                                files fails with EIO, without syncing
//   VESANU_STORAGE_FAULT=write:N the N-th write(), pwrite() or pwrite64() of
//                                those files fails with ENOSPC, writing nothing
// Calls are counted per kind (fsync, write) from the start of the process,
// 1 being the first; every other call goes through untouched.
#include <dlfcn.h>
#include <sys/types.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <initializer_list>

namespace {

bool endsWith(const char *text, size_t length, const char *tail)
{
    const size_t tailLength = std::strlen(tail);
    return length >= tailLength && std::memcmp(text + length - tailLength, tail, tailLength) == 0;
}

bool isJournalFile(int fd)
{
    const char *name = std::getenv("VESANU_STORAGE_FILE");
    if (!name || !*name)
        return false;
    char link[64];
    std::snprintf(link, sizeof link, "/proc/self/fd/%d", fd);
    char target[4096];
    const ssize_t length = readlink(link, target, sizeof target - 1);
    if (length <= 0)
        return false;
    char suffixed[512];
    for (const char *suffix : {"", "-wal", "-shm"}) {
        std::snprintf(suffixed, sizeof suffixed, "%s%s", name, suffix);
        if (endsWith(target, size_t(length), suffixed))
            return true;
    }
    return false;
}

// True when this call, the count-th of its kind on the journal's files, is to fail.
bool failsNow(const char *kind, int *count, int fd)
{
    const char *fault = std::getenv("VESANU_STORAGE_FAULT");
    const size_t kindLength = std::strlen(kind);
    if (!fault || std::strncmp(fault, kind, kindLength) != 0 || fault[kindLength] != ':'
        || !isJournalFile(fd))
        return false;
    return ++*count == std::atoi(fault + kindLength + 1);
}

int g_syncs = 0;
int g_writes = 0;

template<typename Function> Function real(const char *name)
{
    return reinterpret_cast<Function>(dlsym(RTLD_NEXT, name));
}

} // namespace

extern "C" {

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
