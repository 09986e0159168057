#pragma once

#include "authcheck.h"
#include "faultresponder.h"
#include "ledger.h"
#include "options.h"
#include "requestlog.h"
#include "service.h"
#include "stopsignal.h"

#include <atomic>
#include <functional>
#include <httplib.h>
#include <memory>

namespace sim {

// The simulated service on the network: HTTP or HTTPS routes in front of
// the signature check, the service and the fault responder.
class Simulator
{
public:
    explicit Simulator(const Options &options);
    ~Simulator();

    // False with errorString() when the certificate or the address is unusable.
    bool bind();
    int port() const { return m_port; }
    // "http://127.0.0.1:PORT" and the like.
    QString url() const;
    QString errorString() const { return m_error; }
    // Serves until stop(); returns at once when bind() failed.
    void run();
    // From any thread; waiting faults wake at once. May be called again.
    void stop();
    bool isFinished() const { return m_finished; }

private:
    using Operation = std::function<Answer(const QString &branchId)>;

    void addRoutes();
    void addInspectionRoutes();
    void serveApi(
        const httplib::Request &request, httplib::Response &response, const Operation &operation);
    void serveInspection(
        const httplib::Request &request, httplib::Response &response, const QJsonObject &body);
    void log(const httplib::Request &request, const QString &auth, const Answer &answer,
        qint64 elapsedMs);
    httplib::Server::HandlerResponse answerHttpError(
        const httplib::Request &request, httplib::Response &response);

    Options m_options;
    Ledger m_ledger;
    Service m_service;
    AuthCheck m_auth;
    StopSignal m_stop;
    FaultResponder m_faults;
    RequestLog m_log;
    std::unique_ptr<httplib::Server> m_server;
    int m_port = -1;
    QString m_error;
    std::atomic<bool> m_finished { false };
};

} // namespace sim
