#include "simulator.h"

#include "simconstants.h"

#include <QDateTime>
#include <QElapsedTimer>
#include <QJsonDocument>
#include <QRegularExpression>

namespace sim {

namespace {

std::string route(const QString &basePath, const char *path, bool withIdentifier = false)
{
    const QString pattern = QRegularExpression::escape(basePath + QLatin1String(path));
    return (pattern + (withIdentifier ? QStringLiteral("([^/]+)") : QString())).toStdString();
}

QString headerValue(const httplib::Request &request, const char *name)
{
    return QString::fromStdString(request.get_header_value(name));
}

std::string compact(const QJsonObject &object)
{
    return QJsonDocument(object).toJson(QJsonDocument::Compact).toStdString();
}

} // namespace

Simulator::Simulator(const Options &options)
    : m_options(options)
    , m_ledger(options.ledgerFile)
    , m_service(m_ledger, options.cashboxes)
    , m_auth(options.secret.toUtf8(), options.branches, options.skewSeconds)
    , m_faults(m_stop)
    , m_log(options.quiet)
{
    if (options.isHttps())
        m_server.reset(new httplib::SSLServer(
            options.certFile.toLocal8Bit().constData(), options.keyFile.toLocal8Bit().constData()));
    else
        m_server.reset(new httplib::Server);
    const size_t threads = static_cast<size_t>(options.threads);
    m_server->new_task_queue = [threads] { return new httplib::ThreadPool(threads); };
    m_server->set_payload_max_length(static_cast<size_t>(limit::MaxBodyBytes));
    if (options.keepAliveSeconds > 0)
        m_server->set_keep_alive_timeout(options.keepAliveSeconds);
    else
        m_server->set_keep_alive_max_count(1);
    m_server->set_error_handler(httplib::Server::HandlerWithResponse(
        [this](const httplib::Request &request, httplib::Response &response) {
            return answerHttpError(request, response);
        }));
    addRoutes();
    addInspectionRoutes();
}

Simulator::~Simulator()
{
    stop();
}

bool Simulator::bind()
{
    if (!m_server->is_valid()) {
        m_error = QStringLiteral("cannot use the certificate or key");
        return false;
    }
    if (!m_ledger.fileError().isEmpty()) {
        m_error = QStringLiteral("cannot write the ledger file: ") + m_ledger.fileError();
        return false;
    }
    const std::string address = m_options.listen.toStdString();
    m_port = m_options.port == 0
        ? m_server->bind_to_any_port(address)
        : (m_server->bind_to_port(address, m_options.port) ? m_options.port : -1);
    if (m_port <= 0) {
        m_error = QStringLiteral("cannot listen on %1 port %2")
                      .arg(m_options.listen)
                      .arg(m_options.port);
        return false;
    }
    return true;
}

QString Simulator::url() const
{
    const bool ipv6 = m_options.listen.contains(QLatin1Char(':'));
    const QString host
        = ipv6 ? QLatin1Char('[') + m_options.listen + QLatin1Char(']') : m_options.listen;
    return QStringLiteral("%1://%2:%3")
        .arg(m_options.isHttps() ? QStringLiteral("https") : QStringLiteral("http"), host,
            QString::number(m_port));
}

void Simulator::run()
{
    if (m_port > 0 && !m_stop.isStopped())
        m_server->listen_after_bind();
    m_finished = true;
}

void Simulator::stop()
{
    m_stop.stop();
    m_server->stop();
}

void Simulator::addRoutes()
{
    const QString base = m_options.basePath;
    m_server->Post(route(base, path::Payment),
        [this](const httplib::Request &request, httplib::Response &response) {
            serveApi(request, response, [this, &request](const QString &branchId) {
                return m_service.payment(QByteArray::fromStdString(request.body),
                    headerValue(request, header::ContentType), branchId);
            });
        });
    m_server->Get(route(base, path::Status, true),
        [this](const httplib::Request &request, httplib::Response &response) {
            serveApi(request, response, [this, &request](const QString &) {
                return m_service.status(QString::fromStdString(request.matches[1]));
            });
        });
    m_server->Delete(route(base, path::Reversal, true),
        [this](const httplib::Request &request, httplib::Response &response) {
            serveApi(request, response, [this, &request](const QString &) {
                return m_service.reversal(QString::fromStdString(request.matches[1]));
            });
        });
    m_server->Post(route(base, path::OfdData),
        [this](const httplib::Request &request, httplib::Response &response) {
            serveApi(request, response, [this, &request](const QString &) {
                return m_service.submitQrCode(QByteArray::fromStdString(request.body),
                    headerValue(request, header::ContentType));
            });
        });
}

void Simulator::addInspectionRoutes()
{
    m_server->Get(
        path::Ledger, [this](const httplib::Request &request, httplib::Response &response) {
            serveInspection(request, response, m_ledger.toJson());
        });
    m_server->Get(
        path::Health, [this](const httplib::Request &request, httplib::Response &response) {
            QJsonObject health;
            health.insert(QLatin1String(key::Health), QLatin1String(key::HealthOk));
            serveInspection(request, response, health);
        });
}

void Simulator::serveApi(
    const httplib::Request &request, httplib::Response &response, const Operation &operation)
{
    QElapsedTimer timer;
    timer.start();
    const QString authHeader = headerValue(request, header::Auth);
    const AuthCheck::Result auth = m_auth.verify(
        authHeader, QDateTime::currentSecsSinceEpoch() + m_options.clockOffsetSeconds);
    const Answer answer = auth.ok ? operation(auth.branchId)
                                  : Answer::refusal(auth.errorCode, auth.note, auth.httpStatus);
    if (answer.errorCode() != code::Ok)
        m_ledger.noteRefusal(QString::fromStdString(request.method),
            QString::fromStdString(request.path).left(limit::MaxLoggedChars), answer);
    // Logged before the faults play out: a silent answer may take a minute.
    log(request, AuthCheck::masked(authHeader), answer, timer.elapsed());
    m_faults.respond(request, response, answer);
}

void Simulator::serveInspection(
    const httplib::Request &request, httplib::Response &response, const QJsonObject &body)
{
    response.set_content(compact(body), header::Json);
    log(request, QString(), Answer::of(body), 0);
}

void Simulator::log(
    const httplib::Request &request, const QString &auth, const Answer &answer, qint64 elapsedMs)
{
    RequestLog::Entry entry;
    entry.method = QString::fromStdString(request.method);
    entry.path = QString::fromStdString(request.path);
    entry.auth = auth;
    entry.httpStatus = answer.httpStatus;
    entry.errorCode = answer.errorCode();
    entry.detail = answer.detail;
    entry.faults = FaultResponder::describe(answer);
    entry.elapsedMs = elapsedMs;
    m_log.write(entry);
}

httplib::Server::HandlerResponse Simulator::answerHttpError(
    const httplib::Request &request, httplib::Response &response)
{
    // Answers the handlers wrote themselves (refusals, "http500") stay as they are.
    if (!response.body.empty())
        return httplib::Server::HandlerResponse::Unhandled;
    const QString note = response.status == 404
        ? QLatin1String(note::NoSuchAddress)
        : QLatin1String(note::HttpError) + QString::number(response.status);
    const Answer answer = Answer::refusal(response.status, note, response.status);
    response.set_content(compact(answer.body), header::Json);
    log(request, AuthCheck::masked(headerValue(request, header::Auth)), answer, 0);
    return httplib::Server::HandlerResponse::Handled;
}

} // namespace sim
