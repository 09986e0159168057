#pragma once

#include <httplib.h>

namespace sim {

// The TCP socket that carries one request, found from the request's
// addresses, so that faults can tell whether the client has gone and can
// end the connection without a single answer byte.
class ConnectionSocket
{
public:
    explicit ConnectionSocket(const httplib::Request &request);

    bool isFound() const { return m_fd >= 0; }
    // True once the client has closed its end (or the socket broke).
    bool isPeerGone() const;
    // Ends the connection in both directions; the answer written later is lost.
    void shutdown() const;

private:
    static int find(const httplib::Request &request);

    int m_fd = -1;
};

} // namespace sim
