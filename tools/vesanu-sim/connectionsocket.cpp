#include "connectionsocket.h"

#include <cstdlib>
#include <dirent.h>
#include <netdb.h>
#include <poll.h>
#include <string>
#include <sys/socket.h>
#include <sys/stat.h>

namespace sim {

namespace {

struct Endpoint
{
    std::string address;
    int port = -1;
};

bool endpointOf(int fd, bool peer, Endpoint *endpoint)
{
    sockaddr_storage storage {};
    socklen_t length = sizeof storage;
    auto *address = reinterpret_cast<sockaddr *>(&storage);
    if ((peer ? getpeername(fd, address, &length) : getsockname(fd, address, &length)) != 0)
        return false;
    char host[NI_MAXHOST];
    char service[NI_MAXSERV];
    if (getnameinfo(address, length, host, sizeof host, service, sizeof service,
            NI_NUMERICHOST | NI_NUMERICSERV)
        != 0)
        return false;
    endpoint->address = host;
    endpoint->port = std::atoi(service);
    return true;
}

bool matches(int fd, const httplib::Request &request)
{
    struct stat status
    {
    };
    if (fstat(fd, &status) != 0 || !S_ISSOCK(status.st_mode))
        return false;
    Endpoint local;
    Endpoint remote;
    return endpointOf(fd, false, &local) && endpointOf(fd, true, &remote)
        && local.port == request.local_port && remote.port == request.remote_port
        && local.address == request.local_addr && remote.address == request.remote_addr;
}

} // namespace

ConnectionSocket::ConnectionSocket(const httplib::Request &request)
    : m_fd(find(request))
{
}

bool ConnectionSocket::isPeerGone() const
{
    if (m_fd < 0)
        return false;
    pollfd entry {};
    entry.fd = m_fd;
    entry.events = POLLRDHUP;
    if (poll(&entry, 1, 0) < 0)
        return false;
    return (entry.revents & (POLLRDHUP | POLLHUP | POLLERR | POLLNVAL)) != 0;
}

void ConnectionSocket::shutdown() const
{
    if (m_fd >= 0)
        ::shutdown(m_fd, SHUT_RDWR);
}

int ConnectionSocket::find(const httplib::Request &request)
{
    // The server library does not hand its socket to handlers; the pair of
    // addresses names the connection uniquely among this process's sockets.
    DIR *directory = opendir("/proc/self/fd");
    if (!directory)
        return -1;
    int found = -1;
    while (dirent *entry = readdir(directory)) {
        char *end = nullptr;
        const long fd = std::strtol(entry->d_name, &end, 10);
        if (end == entry->d_name || *end != '\0' || fd == dirfd(directory))
            continue;
        if (matches(static_cast<int>(fd), request)) {
            found = static_cast<int>(fd);
            break;
        }
    }
    closedir(directory);
    return found;
}

} // namespace sim
