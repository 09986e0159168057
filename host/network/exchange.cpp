#include "network/exchange.h"

#include <QEventLoop>
#include <QIODevice>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QSslError>
#include <QTimer>
#include <climits>

namespace veltanetwork {

namespace {

// Qt reports an HTTP error status (4xx, 5xx) with these codes once the whole
// answer has been read; every other code means the exchange broke off.
bool isAnswerError(QNetworkReply::NetworkError error)
{
    switch (error) {
    case QNetworkReply::NoError:
    case QNetworkReply::ProtocolInvalidOperationError:
    case QNetworkReply::AuthenticationRequiredError:
    case QNetworkReply::ContentAccessDenied:
    case QNetworkReply::ContentNotFoundError:
    case QNetworkReply::ContentOperationNotPermittedError:
    case QNetworkReply::ProxyAuthenticationRequiredError:
    case QNetworkReply::ContentConflictError:
    case QNetworkReply::ContentGoneError:
    case QNetworkReply::UnknownContentError:
    case QNetworkReply::InternalServerError:
    case QNetworkReply::OperationNotImplementedError:
    case QNetworkReply::ServiceUnavailableError:
    case QNetworkReply::UnknownServerError:
        return true;
    default:
        return false;
    }
}

// Qt quietly sends a request again when the connection closes before any
// answer arrives. For a payment or a reversal that is a second operation
// nobody asked for, so their bodies go through a device that cannot be
// rewound: Qt then reports the broken exchange instead of repeating it, and
// the caller decides what to do about an outcome it does not know.
class OneShotBody : public QIODevice
{
public:
    explicit OneShotBody(const QByteArray &data)
        : m_data(data)
    {
        open(QIODevice::ReadOnly);
    }

    qint64 size() const override { return m_data.size(); }
    // Rewinding is allowed until the first byte has gone out, never after;
    // an empty body is only ever rewound for a repeat.
    bool seek(qint64 position) override
    {
        if (m_sent || m_data.isEmpty() || position != 0)
            return false;
        return QIODevice::seek(position);
    }
    bool reset() override { return seek(0); }

protected:
    qint64 readData(char *data, qint64 maxSize) override
    {
        const qint64 count = qMin(maxSize, qint64(m_data.size()) - pos());
        if (count <= 0)
            return m_data.isEmpty() ? 0 : -1;
        memcpy(data, m_data.constData() + pos(), size_t(count));
        m_sent = true;
        return count;
    }
    qint64 writeData(const char *, qint64) override { return -1; }

private:
    const QByteArray m_data;
    bool m_sent = false;
};

int timerInterval(qint64 timeout)
{
    return int(qBound<qint64>(1, timeout, INT_MAX));
}

} // namespace

Exchange::Exchange(qint64 timeout, qint64 maxBodySize)
    : m_timeout(timeout)
    , m_maxBodySize(maxBodySize)
{
}

Exchange::Outcome Exchange::run(QNetworkAccessManager::Operation operation,
    const QNetworkRequest &request, const QByteArray &payload)
{
    m_outcome = Outcome();
    m_sslErrors.clear();
    m_stopped = false;
    // Declared before the manager, so it outlives every reply that reads it.
    OneShotBody body(payload);
    QNetworkAccessManager manager;
    manager.setRedirectPolicy(QNetworkRequest::ManualRedirectPolicy);
    QEventLoop loop;
    m_loop = &loop;
    QTimer deadline;
    deadline.setSingleShot(true);
    deadline.setTimerType(Qt::PreciseTimer);
    deadline.start(timerInterval(m_timeout));

    // Owned by the manager, which outlives every use of it here.
    QNetworkReply *reply = send(manager, operation, request, body);
    limitReadBuffer(reply);
    QObject::connect(
        &deadline, &QTimer::timeout, &loop, [this, reply] { stop(reply, State::TimedOut); });
    watch(reply);
    if (!reply->isFinished())
        loop.exec(QEventLoop::ExcludeUserInputEvents);
    conclude(reply);
    m_loop = nullptr;
    return m_outcome;
}

QNetworkReply *Exchange::send(QNetworkAccessManager &manager,
    QNetworkAccessManager::Operation operation, QNetworkRequest request, QIODevice &body)
{
    // Only requests that change nothing may be repeated by Qt.
    switch (operation) {
    case QNetworkAccessManager::HeadOperation:
        return manager.head(request);
    case QNetworkAccessManager::GetOperation:
        return manager.get(request);
    default:
        break;
    }
    request.setHeader(QNetworkRequest::ContentLengthHeader, body.size());
    switch (operation) {
    case QNetworkAccessManager::PutOperation:
        return manager.put(request, &body);
    case QNetworkAccessManager::DeleteOperation:
        return manager.sendCustomRequest(request, QByteArrayLiteral("DELETE"), &body);
    default:
        return manager.post(request, &body);
    }
}

// Without a limit Qt's network thread reads an answer of any size into
// memory, however fast the server sends it, before this thread can count it.
// One byte past the size limit is all that is needed to know it was exceeded.
// Qt passes the limit to its thread only once the request has started there,
// which for an upload happens on the next turn of the loop: so it is set
// now, and again then.
void Exchange::limitReadBuffer(QNetworkReply *reply) const
{
    const qint64 limit = m_maxBodySize + 1;
    reply->setReadBufferSize(limit);
    QTimer::singleShot(0, reply, [reply, limit] { reply->setReadBufferSize(limit); });
}

void Exchange::watch(QNetworkReply *reply)
{
    QObject::connect(reply, &QNetworkReply::metaDataChanged, m_loop,
        [this, reply] { checkDeclaredLength(reply); });
    QObject::connect(reply, &QNetworkReply::readyRead, m_loop, [this, reply] { collect(reply); });
    QObject::connect(reply, &QNetworkReply::finished, m_loop, &QEventLoop::quit);
    // Qt's own text says only that the handshake failed; these say why.
    QObject::connect(
        reply, &QNetworkReply::sslErrors, m_loop, [this](const QList<QSslError> &errors) {
            for (const QSslError &error : errors)
                m_sslErrors << error.errorString();
        });
}

// Refuses an oversized answer as soon as its headers announce it.
void Exchange::checkDeclaredLength(QNetworkReply *reply)
{
    const QVariant length = reply->header(QNetworkRequest::ContentLengthHeader);
    if (length.isValid() && length.toLongLong() > m_maxBodySize)
        stop(reply, State::TooLarge);
}

// Reads at most one byte past the limit: enough to know it was exceeded.
void Exchange::collect(QNetworkReply *reply)
{
    if (m_stopped)
        return;
    m_outcome.body += reply->read(m_maxBodySize + 1 - m_outcome.body.size());
    if (m_outcome.body.size() > m_maxBodySize)
        stop(reply, State::TooLarge);
}

void Exchange::stop(QNetworkReply *reply, State state)
{
    if (m_stopped)
        return;
    m_stopped = true;
    m_outcome.state = state;
    reply->abort();
    m_loop->quit();
}

void Exchange::conclude(QNetworkReply *reply)
{
    collect(reply);
    m_outcome.httpStatus = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    if (m_stopped) {
        m_outcome.networkError = m_outcome.state == State::TimedOut
            ? QNetworkReply::TimeoutError
            : QNetworkReply::UnknownContentError;
        m_outcome.body.clear();
        return;
    }
    m_outcome.networkError = reply->error();
    if (m_outcome.httpStatus > 0 && isAnswerError(reply->error())) {
        m_outcome.state = State::Completed;
        return;
    }
    m_outcome.state = State::Failed;
    m_outcome.errorText = reply->errorString();
    if (!m_sslErrors.isEmpty())
        m_outcome.errorText += QStringLiteral(": ") + m_sslErrors.join(QStringLiteral("; "));
    m_outcome.body.clear();
}

} // namespace veltanetwork
