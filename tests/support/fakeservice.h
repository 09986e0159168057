#pragma once

#include "network/restclient.h"

#include <QHash>
#include <QJsonDocument>
#include <QJsonObject>
#include <QList>
#include <QUrl>

#include <chrono>
#include <functional>

// A scripted stand-in for the service, installed as the process-wide
// RestClient creator while it lives. Every exchange is recorded; answers
// come from a queue, then from the fallback.
class FakeService
{
public:
    struct Call
    {
        int operation = 0;
        QUrl url;
        QJsonDocument body;
        QHash<QString, QString> headers;
        qint64 timeout = -1;
        bool hasLogger = false;
        std::chrono::steady_clock::time_point at;
    };

    FakeService();
    ~FakeService();

    // Answers handed out in order; when empty, `fallback` (or `responder`).
    QList<RestClient::Result> answers;
    RestClient::Result fallback;
    std::function<RestClient::Result(const Call &)> responder;

    QList<Call> calls;
    int clientsCreated = 0;
    int clientsAlive = 0;

    static RestClient::Result json(const QJsonObject &body, int httpStatus = 200);
    static RestClient::Result noAnswer();

private:
    friend class FakeRestClient;
    RestClient::Result answer(const Call &call);
};
