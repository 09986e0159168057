#pragma once

#include <QString>
#include <QUrl>
#include <chrono>
#include <condition_variable>
#include <httplib.h>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

// A loopback HTTP or HTTPS server on a thread of its own, for exercising the
// client against real sockets. Tests add their handlers to server() before
// start(). Handlers that stall (a server that never answers, or answers one
// byte at a time) wait on release(), which the destructor calls, so a test
// never waits on them longer than their own bound.
class TestServer
{
public:
    struct Request
    {
        std::string method;
        std::string path;
        httplib::Headers headers;
        std::string body;
    };

    TestServer();
    // HTTPS with the given PEM certificate and private key files.
    TestServer(const QString &certificateFile, const QString &keyFile);
    ~TestServer();

    httplib::Server &server() { return *m_server; }
    void start();
    QUrl url(const QString &path) const;

    // For handlers: keeps what arrived, for the test to look at.
    void record(const httplib::Request &request);
    std::vector<Request> requests() const;

    // For stalling handlers: true once released, false when `limit` passed.
    bool waitForRelease(std::chrono::milliseconds limit);
    void release();

private:
    std::unique_ptr<httplib::Server> m_server;
    std::thread m_thread;
    int m_port = 0;
    QString m_scheme;
    mutable std::mutex m_mutex;
    std::condition_variable m_released;
    bool m_isReleased = false;
    std::vector<Request> m_requests;
};
