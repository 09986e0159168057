#include "support/fakeservice.h"

class FakeRestClient : public RestClient
{
public:
    explicit FakeRestClient(FakeService *service)
        : m_service(service)
    {
        ++m_service->clientsCreated;
        ++m_service->clientsAlive;
    }
    ~FakeRestClient() override { --m_service->clientsAlive; }

    void setTimeout(qint64 milliseconds) override { m_timeout = milliseconds; }

    bool request(const int &operation, const QUrl &url, const QJsonDocument &body,
                 const QHash<QString, QString> &headers) override
    {
        FakeService::Call call;
        call.operation = operation;
        call.url = url;
        call.body = body;
        call.headers = headers;
        call.timeout = m_timeout;
        call.at = std::chrono::steady_clock::now();
        m_service->calls.append(call);
        m_result = m_service->answer(call);
        return m_result.completed;
    }

    Result result() const override { return m_result; }

private:
    FakeService *m_service;
    qint64 m_timeout = -1;
    Result m_result;
};

FakeService::FakeService()
{
    fallback = noAnswer();
    MockFactory<RestClient>::creator = [this] {
        return QSharedPointer<RestClient>(new FakeRestClient(this));
    };
}

FakeService::~FakeService()
{
    MockFactory<RestClient>::creator = &MockFactory<RestClient>::defaultCreator;
}

RestClient::Result FakeService::answer(const Call &call)
{
    if (!answers.isEmpty())
        return answers.takeFirst();
    if (responder)
        return responder(call);
    return fallback;
}

RestClient::Result FakeService::json(const QJsonObject &body, int httpStatus)
{
    RestClient::Result result;
    result.completed = true;
    result.httpStatus = httpStatus;
    result.json = body;
    result.body = QJsonDocument(body).toJson(QJsonDocument::Compact);
    return result;
}

RestClient::Result FakeService::noAnswer()
{
    return RestClient::Result();
}
