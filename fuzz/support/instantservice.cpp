#include "instantservice.h"

namespace {

class InstantClient : public RestClient
{
public:
    explicit InstantClient(InstantService *service)
        : m_service(service)
    {
        ++m_service->clientsAlive;
    }
    ~InstantClient() override { --m_service->clientsAlive; }

    bool request(const int &operation, const QUrl &url, const QJsonDocument &body,
        const QHash<QString, QString> &) override
    {
        m_service->calls.append({ operation, url, body });
        m_result = m_service->answer;
        return m_result.completed;
    }

    Result result() const override { return m_result; }

private:
    InstantService *m_service;
    Result m_result;
};

} // namespace

InstantService::InstantService()
{
    MockFactory<RestClient>::creator
        = [this] { return QSharedPointer<RestClient>(new InstantClient(this)); };
}

InstantService::~InstantService()
{
    MockFactory<RestClient>::creator = &MockFactory<RestClient>::defaultCreator;
}

void InstantService::reset(const RestClient::Result &nextAnswer)
{
    answer = nextAnswer;
    calls.clear();
}
