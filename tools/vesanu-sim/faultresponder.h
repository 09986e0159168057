#pragma once

#include "answer.h"
#include "stopsignal.h"

#include <httplib.h>
#include <string>

namespace sim {

class ConnectionSocket;

// Writes an answer into the server's response the way its faults say:
// late, cut, dropped, malformed, endless or not at all.
class FaultResponder
{
public:
    explicit FaultResponder(const StopSignal &stop);

    void respond(
        const httplib::Request &request, httplib::Response &response, const Answer &answer) const;
    // "delay:300+drop" and the like, for the log; empty without faults.
    static QString describe(const Answer &answer);

private:
    void respondWith(Scenario::FaultKind kind, const httplib::Request &request,
        httplib::Response &response, const Answer &answer) const;
    void silent(const httplib::Request &request, httplib::Response &response) const;
    // Closes the connection before any answer byte.
    static void end(const ConnectionSocket &socket, httplib::Response &response);
    void cut(httplib::Response &response, const std::string &body) const;
    void drip(httplib::Response &response, const std::string &body) const;
    void huge(httplib::Response &response, const std::string &body) const;

    const StopSignal &m_stop;
};

} // namespace sim
