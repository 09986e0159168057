#pragma once

#include "contract/paymentprocessinganswer.h"

#include <QString>
#include <memory>

class BenchService;
class LoadedPlugin;

// The plug-in loaded and initialised as the host does it, configured for a
// service; for HTTPS the client is told to trust the service's authority.
// One session at a time: each starts from an empty store.
class PluginSession
{
public:
    struct Settings
    {
        int timeoutSeconds = 5;
        int payDurationSeconds = 0;
        int statusRequestIntervalSeconds = 0;
        QString journal; // empty: one in the session's configuration root
    };

    PluginSession(const BenchService &service, const Settings &settings);
    ~PluginSession();

    bool isReady() const;
    QString errorString() const;
    // A payment (request type 1) with the token as the scanned card number.
    PaymentProcessingAnswer pay(const QString &token, int amount = 12345) const;

private:
    std::unique_ptr<LoadedPlugin> m_plugin;
};
