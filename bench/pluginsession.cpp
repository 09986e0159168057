#include "pluginsession.h"

#include "benchconstants.h"
#include "benchservice.h"
#include "contract/paymentprocessingrequest.h"
#include "support/loadedplugin.h"

#include <QFile>

namespace {

QString iniFor(const QUrl &service, const PluginSession::Settings &settings)
{
    return QStringLiteral("[VesaNu]\n"
                          "host=%1\n"
                          "path=%2\n"
                          "timeout=%3\n"
                          "payDuration=%4\n"
                          "statusRequestInterval=%5\n"
                          "cashboxCode=%6\n"
                          "branchId=%7\n"
                          "secretKey=%8\n")
        .arg(service.toString(), QLatin1String(bench::ApiPath))
        .arg(settings.timeoutSeconds)
        .arg(settings.payDurationSeconds)
        .arg(settings.statusRequestIntervalSeconds)
        .arg(QLatin1String(BenchService::Cashbox), QLatin1String(BenchService::Branch),
            QLatin1String(BenchService::Secret))
        + (settings.journal.isEmpty() ? QString()
                                      : QStringLiteral("journal=%1\n").arg(settings.journal));
}

} // namespace

PluginSession::PluginSession(const BenchService &service, const Settings &settings)
{
    if (service.transport() == BenchService::Https)
        qputenv(bench::CaFileVariable, QFile::encodeName(service.caFile()));
    m_plugin = std::make_unique<LoadedPlugin>(iniFor(service.baseUrl(), settings));
}

PluginSession::~PluginSession()
{
    m_plugin.reset();
    qunsetenv(bench::CaFileVariable);
}

bool PluginSession::isReady() const
{
    return m_plugin->processing() != nullptr;
}

QString PluginSession::errorString() const
{
    return m_plugin->loader().errorString();
}

PaymentProcessingAnswer PluginSession::pay(const QString &token, int amount) const
{
    PaymentProcessingRequest request;
    request.setRequestType(1);
    request.setAmount(amount);
    request.setCardNumber(token);
    request.setValutCode(398);
    return m_plugin->processing()->payment(request);
}
