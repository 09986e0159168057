#pragma once

#include "network/restclient.h"

#include <QJsonDocument>
#include <QList>
#include <QUrl>

// Stands in for the service behind the process-wide RestClient creator while
// it lives: every exchange is recorded and answered at once with `answer`,
// so nothing touches the network.
class InstantService
{
public:
    struct Call
    {
        int operation = 0;
        QUrl url;
        QJsonDocument body;
    };

    InstantService();
    ~InstantService();

    // Forgets the calls of the previous input.
    void reset(const RestClient::Result &nextAnswer);

    RestClient::Result answer;
    QList<Call> calls;
    int clientsAlive = 0;
};
