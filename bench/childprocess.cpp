#include "childprocess.h"

#include <QFile>
#include <cerrno>
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

extern char **environ;

namespace {

struct Pipe
{
    int read = -1;
    int write = -1;
    bool open()
    {
        int fds[2];
        if (pipe2(fds, O_CLOEXEC) != 0)
            return false;
        read = fds[0];
        write = fds[1];
        return true;
    }
};

void closeFd(int &fd)
{
    if (fd >= 0)
        close(fd);
    fd = -1;
}

} // namespace

QByteArray ChildProcess::readAll(int fd)
{
    QByteArray data;
    char buffer[4096];
    for (;;) {
        const ssize_t count = read(fd, buffer, sizeof buffer);
        if (count > 0)
            data.append(buffer, int(count));
        else if (count == 0 || errno != EINTR)
            return data;
    }
}

void ChildProcess::writeAll(int fd, const QByteArray &data)
{
    qint64 done = 0;
    while (done < data.size()) {
        const ssize_t count = write(fd, data.constData() + done, size_t(data.size() - done));
        if (count < 0 && errno == EINTR)
            continue;
        if (count <= 0)
            return;
        done += count;
    }
}

ChildProcess::Result ChildProcess::run(
    const QString &program, const QStringList &arguments, const QByteArray &input)
{
    Result result;
    Pipe in;
    Pipe out;
    if (!in.open() || !out.open())
        return result;
    std::vector<QByteArray> storage { QFile::encodeName(program) };
    for (const QString &argument : arguments)
        storage.push_back(argument.toLocal8Bit());
    std::vector<char *> argv;
    for (QByteArray &item : storage)
        argv.push_back(item.data());
    argv.push_back(nullptr);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, in.read, 0);
    posix_spawn_file_actions_adddup2(&actions, out.write, 1);
    posix_spawn_file_actions_adddup2(&actions, out.write, 2);
    pid_t pid = -1;
    result.started = posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), environ) == 0;
    posix_spawn_file_actions_destroy(&actions);
    closeFd(in.read);
    closeFd(out.write);
    if (result.started) {
        writeAll(in.write, input);
        closeFd(in.write);
        result.output = readAll(out.read);
        int status = 0;
        while (waitpid(pid, &status, 0) < 0 && errno == EINTR) { }
        result.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }
    closeFd(in.write);
    closeFd(out.read);
    return result;
}
