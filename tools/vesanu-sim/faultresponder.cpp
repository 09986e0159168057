#include "faultresponder.h"

#include "connectionsocket.h"
#include "simconstants.h"

#include <QJsonDocument>
#include <QStringList>
#include <algorithm>
#include <memory>

namespace sim {

namespace {

using Kind = Scenario::FaultKind;

std::string jsonOf(const Answer &answer)
{
    return QJsonDocument(answer.body).toJson(QJsonDocument::Compact).toStdString();
}

// The envelope with one more member whose raw text is given: the object's
// closing brace makes room for it.
std::string withMember(const std::string &json, const std::string &member)
{
    return json.substr(0, json.size() - 1) + (json.size() > 2 ? "," : "") + member + "}";
}

// The service failing on its side: its own error code and note on top of the
// envelope, whose status the client must not take for an answer.
std::string serviceError(const Answer &answer)
{
    Answer failed = answer;
    failed.body.insert(QLatin1String(key::ErrorCode), code::ServiceError);
    failed.body.insert(QLatin1String(key::ErrorNote), QLatin1String(note::ServiceError));
    return jsonOf(failed);
}

// The service's answer for a transaction it does not know, though it does.
std::string unknownTransaction(const Answer &answer)
{
    Answer unknown = answer;
    unknown.body = QJsonObject();
    unknown.body.insert(QLatin1String(key::ErrorCode), code::UnknownTransaction);
    unknown.body.insert(QLatin1String(key::ErrorNote), QLatin1String(note::UnknownTransaction));
    unknown.body.insert(QLatin1String(key::TransactionId), answer.body.value(QLatin1String(key::TransactionId)));
    return jsonOf(unknown);
}

// A well-formed answer that says Failed, whatever the payment's state.
std::string saysFailed(const Answer &answer)
{
    Answer failed = answer;
    failed.body.insert(QLatin1String(key::ErrorCode), code::Ok);
    failed.body.insert(QLatin1String(key::PaymentStatus), wire::Failed);
    return jsonOf(failed);
}

const std::string &nestedBody()
{
    static const std::string body
        = std::string(limit::NestingDepth, '[') + std::string(limit::NestingDepth, ']');
    return body;
}

// Bytes [offset, offset + count) of prefix + filler + suffix, made on demand.
std::string slice(const std::string &prefix, size_t fillerSize, const std::string &suffix,
    size_t offset, size_t count)
{
    std::string out;
    out.reserve(count);
    const size_t end = offset + count;
    for (size_t at = offset; at < end;) {
        if (at < prefix.size()) {
            const size_t n = std::min(end, prefix.size()) - at;
            out.append(prefix, at, n);
            at += n;
        } else if (at < prefix.size() + fillerSize) {
            const size_t n = std::min(end, prefix.size() + fillerSize) - at;
            out.append(n, 'x');
            at += n;
        } else {
            const size_t from = at - prefix.size() - fillerSize;
            out.append(suffix, from, end - at);
            at = end;
        }
    }
    return out;
}

} // namespace

FaultResponder::FaultResponder(const StopSignal &stop)
    : m_stop(stop)
{
}

void FaultResponder::respond(
    const httplib::Request &request, httplib::Response &response, const Answer &answer) const
{
    for (const Scenario::Fault &fault : answer.faults) {
        if (fault.kind != Kind::Delay) {
            respondWith(fault.kind, request, response, answer);
            return;
        }
        const ConnectionSocket socket(request);
        m_stop.wait(fault.delayMs, [&socket] { return socket.isPeerGone(); });
    }
    response.status = answer.httpStatus;
    response.set_content(jsonOf(answer), header::Json);
}

QString FaultResponder::describe(const Answer &answer)
{
    QStringList names;
    for (const Scenario::Fault &fault : answer.faults) {
        QString name = Scenario::faultKindName(fault.kind);
        if (fault.kind == Kind::Delay)
            name += QLatin1Char(':') + QString::number(fault.delayMs);
        names << name;
    }
    return names.join(QLatin1Char('+'));
}

void FaultResponder::respondWith(Kind kind, const httplib::Request &request,
    httplib::Response &response, const Answer &answer) const
{
    const std::string json = jsonOf(answer);
    response.status = 200;
    switch (kind) {
    case Kind::Drop:
        return end(ConnectionSocket(request), response);
    case Kind::Silent:
        return silent(request, response);
    case Kind::Cut:
        return cut(response, json);
    case Kind::Drip:
        return drip(response, json);
    case Kind::Huge:
        return huge(response, json);
    case Kind::NonJson:
        return response.set_content("OK\n", header::Text);
    case Kind::Http500:
        response.status = 500;
        return response.set_content("<html><head><title>500 Internal Server Error</title></head>"
                                    "<body><h1>Internal Server Error</h1></body></html>\n",
            header::Html);
    case Kind::Empty:
        return response.set_content(std::string(), header::Json);
    case Kind::BadUtf8:
        return response.set_content(
            withMember(json, "\"note\":\"\xC3\x28\xFF\xFE\""), header::Json);
    case Kind::Array:
        return response.set_content("[" + json + "]", header::Json);
    case Kind::Nested:
        return response.set_content(nestedBody(), header::Json);
    case Kind::Error500:
        response.status = 500;
        return response.set_content(serviceError(answer), header::Json);
    case Kind::NotFound:
        response.status = code::UnknownTransaction;
        return response.set_content(unknownTransaction(answer), header::Json);
    case Kind::Proxy404:
        response.status = 404;
        return response.set_content(note::ProxyNotFound, header::Json);
    case Kind::SaysFailed:
        return response.set_content(saysFailed(answer), header::Json);
    case Kind::Delay:
        break;
    }
    response.set_content(json, header::Json);
}

void FaultResponder::silent(const httplib::Request &request, httplib::Response &response) const
{
    const ConnectionSocket socket(request);
    m_stop.wait(limit::SilentMaxMs, [&socket] { return socket.isPeerGone(); });
    // Whatever ended the wait, the client is never answered.
    end(socket, response);
}

void FaultResponder::end(const ConnectionSocket &socket, httplib::Response &response)
{
    if (socket.isFound()) {
        socket.shutdown();
        return;
    }
    // Without the socket, the nearest thing: headers, then the connection ends.
    response.set_content_provider(
        1, header::Json, [](size_t, size_t, httplib::DataSink &) { return false; });
}

void FaultResponder::cut(httplib::Response &response, const std::string &body) const
{
    // The headers promise the whole body; half of it comes, then the end.
    const auto text = std::make_shared<std::string>(body);
    response.set_content_provider(
        text->size(), header::Json, [text](size_t offset, size_t, httplib::DataSink &sink) {
            const size_t half = text->size() / 2;
            if (offset < half)
                sink.write(text->data() + offset, half - offset);
            return false;
        });
}

void FaultResponder::drip(httplib::Response &response, const std::string &body) const
{
    const auto text = std::make_shared<std::string>(body);
    const StopSignal &stop = m_stop;
    response.set_content_provider(
        text->size(), header::Json, [text, &stop](size_t offset, size_t, httplib::DataSink &sink) {
            if (!stop.wait(limit::DripIntervalMs))
                return false;
            return sink.write(text->data() + offset, 1);
        });
}

void FaultResponder::huge(httplib::Response &response, const std::string &body) const
{
    // The real envelope first, so a client that reads it all sees the truth.
    auto prefix = std::make_shared<std::string>(withMember(body, "\"padding\":\""));
    prefix->pop_back(); // the closing brace: the filler and suffix come first
    const std::string suffix = "\"}";
    const size_t total = static_cast<size_t>(limit::HugeBodyBytes);
    const size_t filler = total - prefix->size() - suffix.size();
    const StopSignal &stop = m_stop;
    response.set_content_provider(total, header::Json,
        [prefix, suffix, filler, &stop](size_t offset, size_t length, httplib::DataSink &sink) {
            if (stop.isStopped())
                return false;
            const size_t count = std::min(length, static_cast<size_t>(limit::HugeChunkBytes));
            const std::string chunk = slice(*prefix, filler, suffix, offset, count);
            return sink.write(chunk.data(), chunk.size());
        });
}

} // namespace sim
